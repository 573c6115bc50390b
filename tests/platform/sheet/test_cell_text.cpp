// Cell texts that XML cannot carry as they are: written with the spreadsheet formats' escape, so that the
// file stays well-formed and a reader that applies the escape shows exactly the text stored.
#include "platform/base/Exception.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "tests/platform/sheet/SheetFixture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <QJsonArray>
#include <QTemporaryDir>

using namespace SheetFixture;
using namespace Qt::StringLiterals;

namespace {

struct TTextCase {
  const char* Name;
  QString Text;
  const char* Xml;  // how the shared strings part spells it
};

QString Units(std::initializer_list<char16_t> Units) {
  return QString(reinterpret_cast<const QChar*>(Units.begin()), static_cast<qsizetype>(Units.size()));
}

const std::vector<TTextCase>& Cases() {
  static const std::vector<TTextCase> cases = {
      {"U+FFFF", Units({u'a', 0xFFFF, u'b'}), "a_xFFFF_b"},
      {"U+FFFE", Units({0xFFFE}), "_xFFFE_"},
      {"a C0 control", Units({u'x', 0x0001, 0x001F}), "x_x0001__x001F_"},
      {"NUL", Units({u'n', 0x0000, u'n'}), "n_x0000_n"},
      {"a lone high surrogate", Units({u'a', 0xD800, u'b'}), "a_xD800_b"},
      {"a lone low surrogate at the end", Units({u'a', 0xDC01}), "a_xDC01_"},
      {"a surrogate pair stays a character", Units({0xD83D, 0xDE00}), "\xF0\x9F\x98\x80"},
      {"a text that holds the escape itself", u"_x0041_ and _xffff_"_s, "_x005F_x0041_ and _x005F_xffff_"},
      {"underscores that are no escape", u"_x12_ _x00G1_ a_b"_s, "_x12_ _x00G1_ a_b"},
      {"a carriage return stays one", u"a\rb\r\nc"_s, "a&#13;b&#13;\nc"},
      {"tab and line feed as they are", u"a\tb\nc"_s, "a\tb\nc"},
      {"markup characters", u"<&>\""_s, "&lt;&amp;&gt;\""},
  };
  return cases;
}

// Column A read two ways, each text as its UTF-16 code units: the package's own XML through Python's
// parser with the format's escape applied (the rule every reader is to follow), and openpyxl's values,
// which load only from a well-formed file. openpyxl 3.0 applies the escape only in part (it drops
// "x005F_" and decodes nothing else), so its values are compared for the texts that hold no escape.
const QString ReadUnits =
    uR"py(
import re, zipfile
import xml.etree.ElementTree as ET
ns = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}
z = zipfile.ZipFile(sys.argv[1])
shared = ["".join(t.text or "" for t in si.iter("{%s}t" % ns["m"]))
          for si in ET.fromstring(z.read("xl/sharedStrings.xml")).findall("m:si", ns)]
unescape = lambda s: re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), s)
units = lambda s: list(memoryview(s.encode("utf-16-le", "surrogatepass")).cast("H"))
cells = {c.get("r"): shared[int(c.find("m:v", ns).text)]
         for c in ET.fromstring(z.read("xl/worksheets/sheet1.xml")).iter("{%s}c" % ns["m"]) if c.get("t") == "s"}
ws = openpyxl.load_workbook(sys.argv[1]).active
print(json.dumps([[units(unescape(cells.get("A%d" % r, ""))), units(ws.cell(r, 1).value or "")]
                  for r in range(1, ws.max_row + 1)]))
)py"_s;

QJsonArray UnitsOf(const QString& Text) {
  QJsonArray units;
  for (const QChar ch : Text) units.append(ch.unicode());
  return units;
}

}  // namespace

TEST(CellText, EveryTextReadsBackExactlyAndTheFileStaysWellFormed) {
  QTemporaryDir dir;
  TBook book;
  book.Write(dir.filePath(u"in.xltx"_s));
  auto workbook = TWorkbook::Load(dir.filePath(u"in.xltx"_s));
  auto sheet = workbook->ActiveSheet();
  for (size_t i = 0; i < Cases().size(); ++i) sheet->SetValue(static_cast<int32_t>(i + 1), 1, Cases()[i].Text);
  const QString out = dir.filePath(u"out.xlsx"_s);
  workbook->SaveAs(out);

  const QByteArray strings = PartBytes(out, u"xl/sharedStrings.xml"_s);
  auto reread = TWorkbook::Load(out);
  for (size_t i = 0; i < Cases().size(); ++i) {
    const TTextCase& c = Cases()[i];
    SCOPED_TRACE(c.Name);
    EXPECT_TRUE(strings.contains(QByteArray(QByteArray("<t>") + c.Xml + "</t>")) ||
                strings.contains(QByteArray(QByteArray("<t xml:space=\"preserve\">") + c.Xml + "</t>")))
        << strings.toStdString();
    EXPECT_EQ(reread->ActiveSheet()->Value(static_cast<int32_t>(i + 1), 1), QVariant(c.Text));
  }
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
  const QJsonArray got = ReadWithOpenpyxl(out, ReadUnits).toArray();
  ASSERT_EQ(got.size(), static_cast<qsizetype>(Cases().size()));
  for (size_t i = 0; i < Cases().size(); ++i) {
    const TTextCase& c = Cases()[i];
    SCOPED_TRACE(c.Name);
    const QJsonArray read = got[static_cast<qsizetype>(i)].toArray();
    EXPECT_EQ(Json(read[0]), Json(UnitsOf(c.Text))) << "the format's rule";
    if (!QByteArray(c.Xml).contains("_x")) {
      EXPECT_EQ(Json(read[1]), Json(UnitsOf(c.Text))) << "openpyxl";
    }
  }
}

// The template's own texts carry the escape too: the engine reads them as a reader shows them, finds and
// replaces in them, and writes them back escaped once, never twice.
TEST(CellText, TemplateTextsAreReadDecodedAndWrittenBackOnce) {
  QTemporaryDir dir;
  TBook book;
  book.SharedStrings = "<si><t>shared_x0001_</t></si><si><t>_x005F_x0041_</t></si><si><t>#body_x0023_</t></si>";
  book.Rows = Row(
      2, {Text("A2", "inline_x0002_"), Shared("B2", 0), Shared("C2", 1), Shared("D2", 2), Text("E2", "_x005F_x00e9_")});
  book.Write(dir.filePath(u"in.xltx"_s));
  auto workbook = TWorkbook::Load(dir.filePath(u"in.xltx"_s));
  auto sheet = workbook->ActiveSheet();
  EXPECT_EQ(sheet->Value(2, 1), QVariant(Units({u'i', u'n', u'l', u'i', u'n', u'e', 0x0002})));
  EXPECT_EQ(sheet->Value(2, 2), QVariant(Units({u's', u'h', u'a', u'r', u'e', u'd', 0x0001})));
  EXPECT_EQ(sheet->Value(2, 3), QVariant(u"_x0041_"_s));
  EXPECT_EQ(sheet->Value(2, 5), QVariant(u"_x00e9_"_s));
  const auto found = sheet->Find(u"#body#"_s);  // the marker as a reader shows it
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->Col, 4);

  const QString out = dir.filePath(u"out.xlsx"_s);
  workbook->SaveAs(out);
  const QByteArray strings = PartBytes(out, u"xl/sharedStrings.xml"_s);
  EXPECT_TRUE(strings.contains("<t>inline_x0002_</t>")) << strings.toStdString();
  EXPECT_TRUE(strings.contains("<t>_x005F_x00e9_</t>")) << strings.toStdString();
  EXPECT_TRUE(strings.contains("<t>shared_x0001_</t>")) << strings.toStdString();  // kept as the template had it
  auto reread = TWorkbook::Load(out);
  for (int col = 1; col <= 5; ++col) EXPECT_EQ(reread->ActiveSheet()->Value(2, col), sheet->Value(2, col)) << col;
}

// A cell holds at most 32,767 characters: a longer text fails naming the cell, and the row it was to go
// into keeps what it had.
TEST(CellText, ATextLongerThanACellHoldsFailsAndChangesNothing) {
  QTemporaryDir dir;
  TBook book;
  book.Rows = Row(3, {Text("A3", "kept"), Text("B3", "kept too")});
  book.Write(dir.filePath(u"in.xltx"_s));
  auto workbook = TWorkbook::Load(dir.filePath(u"in.xltx"_s));
  auto sheet = workbook->ActiveSheet();
  sheet->SetValue(2, 1, QString(32767, u'я'));  // the longest text a cell holds
  EXPECT_EQ(sheet->Value(2, 1).toString().size(), 32767);
  const QVariant row[] = {u"new"_s, QString(32768, u'я')};
  const QString message = MessageOf([&] { sheet->SetRowValues(3, 1, row, std::size(row)); });
  EXPECT_TRUE(message.contains(u"32768"_s) && message.contains(u"B3"_s) && message.contains(u"Лист1"_s))
      << message.toStdString();
  EXPECT_EQ(sheet->Value(3, 1), QVariant(u"kept"_s));
  EXPECT_EQ(sheet->Value(3, 2), QVariant(u"kept too"_s));
}
