// Cell values written by us and read back by openpyxl, and the template's values read by us.
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "tests/platform/sheet/SheetFixture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace SheetFixture;
using namespace Qt::StringLiterals;

namespace {

// Each cell of the first rows as [type name, value]; dates in ISO form.
const QString DumpCells = QStringLiteral(
    "ws = openpyxl.load_workbook(sys.argv[1]).active\n"
    "out = {}\n"
    "for row in ws.iter_rows(min_row=1, max_row=6, max_col=8):\n"
    "    for c in row:\n"
    "        v = c.value\n"
    "        if v is None: continue\n"
    "        out[c.coordinate] = [type(v).__name__, v.isoformat() if hasattr(v, 'isoformat') else v]\n"
    "print(json.dumps(out))\n");

}  // namespace

TEST(WorksheetValues, EveryKindOfValueReadsBackInOpenpyxl) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
  QTemporaryDir dir;
  TBook book;
  book.Rows =
      Row(1, {Text("A1", "kept"), Text("B1", "cleared by empty text"), Text("C1", "cleared by null"), Number("D1", 7)});
  book.Write(dir.filePath(QStringLiteral("in.xltx")));
  auto workbook = TWorkbook::Load(dir.filePath(QStringLiteral("in.xltx")));
  auto sheet = workbook->ActiveSheet();
  sheet->SetValue(1, 2, QString());
  sheet->SetValue(1, 3, QVariant());
  const QVariant row[] = {QStringLiteral("a&b<c>\"d\""),
                          QStringLiteral(" leading space"),
                          QStringLiteral("Ёлка №1"),
                          42,
                          2.5,
                          true,
                          QDate(2024, 3, 15),
                          QDateTime(QDate(2024, 3, 15), QTime(13, 30))};
  sheet->SetRowValues(2, 1, row, std::size(row));
  sheet->SetValue(3, 1, qlonglong{-9000000000});
  sheet->SetValue(3, 2, false);
  const QString out = dir.filePath(QStringLiteral("out.xlsx"));
  workbook->SaveAs(out);

  const QJsonObject cells = ReadWithOpenpyxl(out, DumpCells).toObject();
  const QJsonObject expected{
      {u"A1"_s, QJsonArray{u"str"_s, u"kept"_s}},
      {u"D1"_s, QJsonArray{u"int"_s, 7}},
      {u"A2"_s, QJsonArray{u"str"_s, u"a&b<c>\"d\""_s}},
      {u"B2"_s, QJsonArray{u"str"_s, u" leading space"_s}},
      {u"C2"_s, QJsonArray{u"str"_s, u"Ёлка №1"_s}},
      {u"D2"_s, QJsonArray{u"int"_s, 42}},
      {u"E2"_s, QJsonArray{u"float"_s, 2.5}},
      {u"F2"_s, QJsonArray{u"bool"_s, true}},
      {u"G2"_s, QJsonArray{u"datetime"_s, u"2024-03-15T00:00:00"_s}},
      {u"H2"_s, QJsonArray{u"datetime"_s, u"2024-03-15T13:30:00"_s}},
      {u"A3"_s, QJsonArray{u"int"_s, qint64{-9000000000}}},
      {u"B3"_s, QJsonArray{u"bool"_s, false}},
  };
  EXPECT_EQ(Json(cells), Json(expected));
}

TEST(WorksheetValues, TemplateValuesReadAsTheirTypes) {
  QTemporaryDir dir;
  TBook book;
  book.Rows = Row(2, {Text("A2", "inline"), Number("B2", 3), Number("C2", 0.25), "<c r=\"D2\" t=\"b\"><v>1</v></c>",
                      "<c r=\"E2\"><f>B2*2</f><v>6</v></c>", "<c r=\"F2\" s=\"1\"/>"});
  book.Write(dir.filePath(QStringLiteral("in.xltx")));
  auto sheet = TWorkbook::Load(dir.filePath(QStringLiteral("in.xltx")))->ActiveSheet();
  EXPECT_EQ(sheet->Value(2, 1), QVariant(QStringLiteral("inline")));
  EXPECT_EQ(sheet->Value(2, 2), QVariant(qlonglong{3}));
  EXPECT_EQ(sheet->Value(2, 3), QVariant(0.25));
  EXPECT_EQ(sheet->Value(2, 4), QVariant(true));
  EXPECT_EQ(sheet->Value(2, 5), QVariant(QStringLiteral("6")));  // a formula gives its cached value
  EXPECT_FALSE(sheet->Value(2, 6).isValid());
  EXPECT_EQ(sheet->CellStyle(2, 6), 1u);
  EXPECT_FALSE(sheet->Value(9, 9).isValid());
}

TEST(WorksheetValues, SharedStringsOfTheTemplateKeepTheirIndexesAndRichText) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
  QTemporaryDir dir;
  TBook book;
  // As a spreadsheet application writes a template: texts in the shared strings, one of them rich.
  book.SharedStrings =
      "<si><t>#year#</t></si>"
      "<si><r><rPr><b/></rPr><t>Жирный</t></r><r><t xml:space=\"preserve\"> и обычный</t></r></si>"
      "<si><t>#body#</t></si>";
  book.Rows = Row(2, {Shared("A2", 0), Shared("B2", 1)}) + Row(4, {Shared("A4", 2)});
  const QString in = dir.filePath(u"sst.xltx"_s), out = dir.filePath(u"sst.xlsx"_s);
  book.Write(in);
  auto workbook = TWorkbook::Load(in);
  auto sheet = workbook->ActiveSheet();
  ASSERT_TRUE(sheet->Find(u"#BODY#"_s));
  EXPECT_EQ(sheet->Find(u"#body#"_s)->Row, 4);
  EXPECT_EQ(sheet->Value(2, 2), QVariant(u"Жирный и обычный"_s));
  sheet->SetValue(2, 1, u"2024"_s);
  sheet->SetValue(4, 1, u"Жирный и обычный"_s);  // the same text as the rich entry, written plain
  workbook->SaveAs(out);
  const QJsonObject cells = ReadWithOpenpyxl(out, DumpCells).toObject();
  EXPECT_EQ(Json(cells), Json(QJsonObject{{u"A2"_s, QJsonArray{u"str"_s, u"2024"_s}},
                                          {u"B2"_s, QJsonArray{u"str"_s, u"Жирный и обычный"_s}},
                                          {u"A4"_s, QJsonArray{u"str"_s, u"Жирный и обычный"_s}}}));
  // The rich entry is kept as it was written; the plain text got an entry of its own.
  const QByteArray strings = PartBytes(out, u"xl/sharedStrings.xml"_s);
  EXPECT_TRUE(strings.contains("<r><rPr><b/></rPr><t>Жирный</t></r>"));
  EXPECT_TRUE(strings.contains("<si><t>Жирный и обычный</t></si>"));
}
