// A row insert moves everything below it: cells, heights, styles, merged ranges, the dimension and the
// defined names; the new row takes the format of the row above. Read back by openpyxl.
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "tests/platform/sheet/SheetFixture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace SheetFixture;
using namespace Qt::StringLiterals;

TEST(WorksheetInsert, RowsBelowMoveWithTheirFormatsMergesAndNames) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
  QTemporaryDir dir;
  TBook book;
  book.Rows = Row(2, {Text("A2", "top")}, " ht=\"20\" customHeight=\"1\"") +
              Row(3, {Text("A3", "body", 1), "<c r=\"B3\" s=\"1\"/>"}, " ht=\"30\" customHeight=\"1\"") +
              Row(4, {Text("A4", "below")}, " ht=\"25\" customHeight=\"1\"") + Row(6, {Text("A6", "far")});
  book.Tail =
      "<mergeCells count=\"3\"><mergeCell ref=\"C1:D1\"/><mergeCell ref=\"E2:E5\"/>"
      "<mergeCell ref=\"A4:B4\"/></mergeCells>";
  book.Names =
      "<definedName name=\"_xlnm.Print_Area\" localSheetId=\"0\">'Лист1'!$A$1:$D$6</definedName>"
      "<definedName name=\"_xlnm.Print_Titles\" localSheetId=\"0\">'Лист1'!$2:$2</definedName>";
  const QString in = dir.filePath(u"in.xltx"_s), out = dir.filePath(u"out.xlsx"_s);
  book.Write(in);
  auto workbook = TWorkbook::Load(in);
  auto sheet = workbook->ActiveSheet();
  sheet->InsertRow(4);  // a blank row below row 3

  const QJsonObject got =
      ReadWithOpenpyxl(
          out,
          [&] {
            workbook->SaveAs(out);
            return u"wb = openpyxl.load_workbook(sys.argv[1]); ws = wb.active\n"
                   "print(json.dumps({\n"
                   " 'values': [ws.cell(r, 1).value for r in range(1, 8)],\n"
                   " 'heights': [ws.row_dimensions[r].height for r in range(2, 6)],\n"
                   " 'newRowBold': [ws.cell(4, c).font.b for c in (1, 2)],\n"
                   " 'newRowLeft': ws.cell(4, 1).border.left.style,\n"
                   " 'merges': sorted(str(m) for m in ws.merged_cells.ranges),\n"
                   " 'area': [a if isinstance(a, str) else ','.join(a) for a in [ws.print_area]][0].split('!')[-1],\n"
                   " 'titles': ws.print_title_rows}))\n"_s;
          }())
          .toObject();
  EXPECT_EQ(Json(got[u"values"_s]),
            Json(QJsonArray{QJsonValue(), u"top"_s, u"body"_s, QJsonValue(), u"below"_s, QJsonValue(), u"far"_s}));
  EXPECT_EQ(Json(got[u"heights"_s]), Json(QJsonArray{20, 30, 30, 25}));
  EXPECT_EQ(Json(got[u"newRowBold"_s]), Json(QJsonArray{true, true}));
  EXPECT_EQ(got[u"newRowLeft"_s].toString(), u"medium"_s);
  EXPECT_EQ(Json(got[u"merges"_s]), Json(QJsonArray{u"A5:B5"_s, u"C1:D1"_s, u"E2:E6"_s}));
  EXPECT_TRUE(PartBytes(out, u"xl/worksheets/sheet1.xml"_s).contains("<dimension ref=\"A2:B7\"/>"));
  EXPECT_EQ(got[u"area"_s].toString(), u"$A$1:$D$7"_s);
  EXPECT_EQ(got[u"titles"_s].toString(), u"$2:$2"_s);
}

TEST(WorksheetInsert, ManyInsertsBelowAMovingRowKeepOrderAndNames) {
  QTemporaryDir dir;
  TBook book;
  book.Rows = Row(2, {Text("A2", "#body#")}) + Row(3, {Text("A3", "signature")});
  book.Names = "<definedName name=\"_xlnm.Print_Area\" localSheetId=\"0\">'Лист1'!$A$1:$T$3</definedName>";
  book.Write(dir.filePath(u"in.xltx"_s));
  auto workbook = TWorkbook::Load(dir.filePath(u"in.xltx"_s));
  auto sheet = workbook->ActiveSheet();
  const int rows = 5000;
  for (int i = 0; i < rows; ++i) {
    sheet->SetValue(2 + i, 1, i + 1);
    sheet->InsertRow(3 + i);
  }
  EXPECT_EQ(sheet->Value(2, 1), QVariant(qlonglong{1}));
  EXPECT_EQ(sheet->Value(1 + rows, 1), QVariant(qlonglong{rows}));
  EXPECT_FALSE(sheet->Value(2 + rows, 1).isValid());  // the last inserted blank row
  EXPECT_EQ(sheet->Value(3 + rows, 1), QVariant(u"signature"_s));
  EXPECT_EQ(workbook->DefinedName(u"_xlnm.Print_Area"_s, 0), u"'Лист1'!$A$1:$T$5003"_s);
}
