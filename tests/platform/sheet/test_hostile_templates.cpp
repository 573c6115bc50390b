// Damaged or hostile templates are refused with a message that names the file and what is wrong: never a
// crash, a hang, a huge allocation, or a copy of the damage into the workbook we write.
#include "platform/base/Exception.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "tests/platform/sheet/SheetFixture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

using namespace SheetFixture;
using namespace Qt::StringLiterals;

namespace {

// Rewrites a good package with python's zipfile (not our writer): "add NAME" adds an entry, "bomb N" adds an
// entry of N MiB of zeros, "declare NAME SIZE" patches the sizes the archive states for NAME's entry.
const QString Rezip =
    uR"py(
import struct, sys, zipfile
src, dst, mode = sys.argv[1], sys.argv[2], sys.argv[3]
with zipfile.ZipFile(src) as zin, zipfile.ZipFile(dst, "w", zipfile.ZIP_DEFLATED) as zout:
    for item in zin.infolist():
        zout.writestr(item.filename, zin.read(item.filename))
    if mode == "add":
        zout.writestr(sys.argv[4], b"<x/>")
    elif mode == "bomb":
        zout.writestr("xl/media/zeros.bin", bytes(int(sys.argv[4]) << 20))
if mode == "declare":
    data = bytearray(open(dst, "rb").read())
    name, size = sys.argv[4].encode(), int(sys.argv[5])
    for sig, size_at, name_at in ((b"PK\x01\x02", 24, 46), (b"PK\x03\x04", 22, 30)):
        at = data.find(sig)
        while at >= 0:
            if data[at + name_at:at + name_at + len(name)] == name:
                struct.pack_into("<I", data, at + size_at, size)
            at = data.find(sig, at + 4)
    open(dst, "wb").write(bytes(data))
)py"_s;

struct TZipCase {
  const char* Name;
  QStringList Args;  // after the two paths
  QString Says;
};

}  // namespace

TEST(HostileTemplates, UnsafeOrOversizedArchivesAreRefusedBeforeUnpacking) {
  QTemporaryDir dir;
  TBook book;
  book.Rows = Row(2, {Text("A2", "#body#")});
  const QString good = dir.filePath(u"good.xltx"_s);
  book.Write(good);
  const TZipCase cases[] = {
      {"an absolute entry name", {u"add"_s, u"/etc/evil.xml"_s}, u"«/etc/evil.xml» ведёт за пределы пакета"_s},
      {"an entry name climbing out", {u"add"_s, u"xl/../../evil.xml"_s}, u"«xl/../../evil.xml» ведёт за пределы"_s},
      {"a backslash path climbing out", {u"add"_s, u"..\\evil.xml"_s}, u"ведёт за пределы пакета"_s},
      {"a drive name", {u"add"_s, u"C:/evil.xml"_s}, u"ведёт за пределы пакета"_s},
      {"a ratio beyond reason", {u"bomb"_s, u"8"_s}, u"сжата в"_s},
      {"more than 256 MiB declared",
       {u"declare"_s, u"xl/styles.xml"_s, QString::number(300 << 20)},
       u"больше 256 МиБ"_s},
      {"an entry longer than declared", {u"declare"_s, u"xl/styles.xml"_s, u"10"_s}, u"xl/styles.xml"_s},
  };
  for (const TZipCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const QString path = dir.filePath(QString::fromUtf8(c.Name).replace(u' ', u'-') + u".xltx"_s);
    const auto made = TestSupport::RunPython(Rezip, QStringList{good, path} + c.Args);
    ASSERT_EQ(made.ExitCode, 0) << made.Stderr.toStdString();
    const QString message = MessageOf([&] { TWorkbook::Load(path); });
    EXPECT_TRUE(message.contains(path)) << message.toStdString();
    EXPECT_TRUE(message.contains(c.Says)) << message.toStdString();
  }
}

// Parts whose content a reader would have to repair, each in a template otherwise whole.
TEST(HostileTemplates, DamagedPartsAreRefusedNamingFileAndFault) {
  struct TCase {
    const char* Name;
    TBook Book;
    QString Says;
  };
  auto with = [](std::function<void(TBook&)> Change) {
    TBook book;
    book.Rows = Row(2, {Text("A2", "#body#")});
    Change(book);
    return book;
  };
  const std::string cp1251Sheet =
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<worksheet xmlns=\"http://"
      "schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData><row r=\"1\"><c r=\"A1\" "
      "t=\"inlineStr\"><is><t>\xC3\xF0\xE0\xF4\xE8\xEA</t></is></c></row></sheetData></worksheet>";
  const TCase cases[] = {
      {"columns min above max", with([](TBook& b) { b.Head = "<cols><col min=\"5\" max=\"3\" width=\"9\"/></cols>"; }),
       u"min=\"5\" max=\"3\""_s},
      {"columns beyond the sheet", with([](TBook& b) { b.Head = "<cols><col min=\"1\" max=\"16385\"/></cols>"; }),
       u"max=\"16385\""_s},
      {"overlapping columns",
       with([](TBook& b) { b.Head = "<cols><col min=\"1\" max=\"4\"/><col min=\"3\" max=\"5\"/></cols>"; }),
       u"min=\"3\" max=\"5\""_s},
      {"a merge that does not parse",
       with([](TBook& b) { b.Tail = "<mergeCells><mergeCell ref=\"A1:ZZZZ5\"/></mergeCells>"; }), u"«A1:ZZZZ5»"_s},
      {"a one-cell merge", with([](TBook& b) { b.Tail = "<mergeCells><mergeCell ref=\"B3\"/></mergeCells>"; }),
       u"«B3»"_s},
      {"overlapping merges",
       with([](TBook& b) { b.Tail = "<mergeCells><mergeCell ref=\"A1:B2\"/><mergeCell ref=\"B2:C3\"/></mergeCells>"; }),
       u"A1:B2 и B2:C3 перекрываются"_s},
      {"a dimension that does not parse", with([](TBook& b) {
         b.ExtraParts = {{"xl/worksheets/sheet1.xml",
                          "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                          "<dimension ref=\"everything\"/><sheetData/></worksheet>"}};
       }),
       u"«everything»"_s},
      {"rows out of order", with([](TBook& b) { b.Rows = Row(3, {}) + Row(2, {}); }), u"строка 2"_s},
      {"a cell of another row", with([](TBook& b) { b.Rows = Row(2, {Text("A3", "x")}); }), u"ячейка A3"_s},
      {"cells out of order", with([](TBook& b) {
         b.Rows = Row(2, {Text("C2", "x"), Text("B2", "y")});
       }),
       u"ячейка B2"_s},
      {"a format that does not exist", with([](TBook& b) { b.Rows = Row(2, {Text("A2", "x", 7)}); }),
       u"нет формата 7"_s},
      {"a shared string that does not exist", with([](TBook& b) {
         b.SharedStrings = "<si><t>one</t></si>";
         b.Rows = Row(2, {Shared("A2", 3)});
       }),
       u"строку 3"_s},
      {"a shared formula without its master",
       with([](TBook& b) { b.Rows = Row(2, {"<c r=\"A2\"><f t=\"shared\" si=\"4\"/></c>"}); }), u"общую формулу 4"_s},
      {"a part in an encoding we cannot read", with([&](TBook& b) {
         b.ExtraParts = {{"xl/worksheets/sheet1.xml", cp1251Sheet}};
       }),
       u"windows-1251"_s},
  };
  QTemporaryDir dir;
  int n = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const QString path = dir.filePath(u"damaged-%1.xltx"_s.arg(++n));
    c.Book.Write(path);
    const QString message = MessageOf([&] { TWorkbook::Load(path)->ActiveSheet(); });
    EXPECT_TRUE(message.contains(path)) << message.toStdString();
    EXPECT_TRUE(message.contains(c.Says)) << message.toStdString();
  }
}

// A part in another encoding that the reader knows is read in it and written back as UTF-8.
TEST(HostileTemplates, APartInLatin1OrUtf16IsTranscoded) {
  QTemporaryDir dir;
  const std::string head =
      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
      "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>";
  const std::string tail = "</t></is></c></row></sheetData></worksheet>";
  const std::string latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n" + head + "caf\xE9" + tail;
  const QString utf16Text = QString::fromUtf8("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n" + head + "Ёлка" + tail);
  std::string utf16 = "\xFF\xFE";
  for (const QChar ch : utf16Text) {
    utf16.push_back(static_cast<char>(ch.unicode() & 0xFF));
    utf16.push_back(static_cast<char>(ch.unicode() >> 8));
  }
  const std::pair<std::string, QString> cases[] = {{latin1, u"café"_s}, {utf16, u"Ёлка"_s}};
  for (const auto& [part, text] : cases) {
    SCOPED_TRACE(text.toStdString());
    TBook book;
    book.ExtraParts = {{"xl/worksheets/sheet1.xml", part}};
    const QString in = dir.filePath(u"in.xltx"_s), out = dir.filePath(u"out.xlsx"_s);
    QFile::remove(out);
    book.Write(in);
    auto workbook = TWorkbook::Load(in);
    EXPECT_EQ(workbook->ActiveSheet()->Value(1, 1), QVariant(text));
    workbook->SaveAs(out);
    const QByteArray saved = PartBytes(out, u"xl/worksheets/sheet1.xml"_s);
    EXPECT_TRUE(saved.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << saved.left(60).toStdString();
  }
}
