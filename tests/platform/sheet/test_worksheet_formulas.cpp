// Template formulas after row inserts: their references move (shared formulas and other sheets' too),
// their cached results go, and the reader is asked to recalculate.
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

namespace {

std::string Formula(const std::string& Ref, const std::string& F, const std::string& Cached,
                    const std::string& FAttrs = {}) {
  return "<c r=\"" + Ref + "\"><f" + FAttrs + ">" + F + "</f><v>" + Cached + "</v></c>";
}

// Rows 11-13 hold numbers, B11:B13 a shared formula, A15 a total, A16 an array formula over the numbers;
// "Итог" points at the total; a conditional format tests the numbers.
TBook FormulaBook() {
  TBook book;
  book.Rows = Row(11, {Number("A11", 1), Formula("B11", "A11*2", "2", " t=\"shared\" ref=\"B11:B13\" si=\"0\"")}) +
              Row(12, {Number("A12", 2), Formula("B12", "", "4", " t=\"shared\" si=\"0\"")}) +
              Row(13, {Number("A13", 3), Formula("B13", "", "6", " t=\"shared\" si=\"0\"")}) +
              Row(15, {Formula("A15", "COUNT(A11:A13)", "3"), Formula("B15", "\"A11:A13\"&$A$11", "A11:A131")}) +
              Row(16, {Formula("A16", "SUM(A11:A13*2)", "12", " t=\"array\" ref=\"A16\"")});
  book.Tail =
      "<conditionalFormatting sqref=\"A11:A13\"><cfRule type=\"expression\" priority=\"1\">"
      "<formula>A11&gt;$A$15</formula></cfRule></conditionalFormatting>";
  book.MoreSheets = {{"Итог", Row(1, {Formula("A1", "Лист1!A15+'Лист1'!B12", "7")})}};
  return book;
}

}  // namespace

TEST(WorksheetFormulas, RowInsertsMoveEveryReferenceAndDropCachedResults) {
  QTemporaryDir dir;
  FormulaBook().Write(dir.filePath(u"in.xltx"_s));
  auto workbook = TWorkbook::Load(dir.filePath(u"in.xltx"_s));
  auto sheet = workbook->ActiveSheet();
  sheet->InsertRow(12);  // inside the numbers: ranges over them grow
  sheet->InsertRow(20);  // below everything: nothing moves
  const QString out = dir.filePath(u"out.xlsx"_s);
  workbook->SaveAs(out);

  const QByteArray sheet1 = PartBytes(out, u"xl/worksheets/sheet1.xml"_s);
  EXPECT_FALSE(sheet1.contains("</f><v>")) << "no formula keeps a stale result: " << sheet1.toStdString();
  EXPECT_FALSE(sheet1.contains("shared")) << sheet1.toStdString();
  EXPECT_TRUE(sheet1.contains("<formula>A11&gt;$A$16</formula>")) << sheet1.toStdString();
  EXPECT_TRUE(sheet1.contains("<f t=\"array\" ref=\"A17\">SUM(A11:A14*2)</f>")) << sheet1.toStdString();
  EXPECT_TRUE(PartBytes(out, u"xl/workbook.xml"_s).contains("<calcPr fullCalcOnLoad=\"1\"/>"));
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
  const QJsonObject got =
      ReadWithOpenpyxl(out,
                       u"wb = openpyxl.load_workbook(sys.argv[1])\n"
                       "ws, total = wb['Лист1'], wb['Итог']\n"
                       "print(json.dumps({'B': [ws.cell(r, 2).value for r in (11, 12, 13, 14)],\n"
                       " 'totals': [ws['A16'].value, ws['B16'].value], 'other': total['A1'].value}))\n"_s)
          .toObject();
  EXPECT_EQ(Json(got[u"B"_s]), Json(QJsonArray{u"=A11*2"_s, QJsonValue(), u"=A13*2"_s, u"=A14*2"_s}));
  EXPECT_EQ(Json(got[u"totals"_s]), Json(QJsonArray{u"=COUNT(A11:A14)"_s, u"=\"A11:A13\"&$A$11"_s}));
  EXPECT_EQ(got[u"other"_s].toString(), u"=Лист1!A16+'Лист1'!B13"_s);
}

TEST(WorksheetFormulas, AWorkbookWithoutFormulasIsNotAskedToRecalculate) {
  QTemporaryDir dir;
  TBook book;
  book.Rows = Row(2, {Number("A2", 1)});
  book.Write(dir.filePath(u"in.xltx"_s));
  auto workbook = TWorkbook::Load(dir.filePath(u"in.xltx"_s));
  workbook->ActiveSheet()->InsertRow(1);
  workbook->SaveAs(dir.filePath(u"out.xlsx"_s));
  EXPECT_FALSE(PartBytes(dir.filePath(u"out.xlsx"_s), u"xl/workbook.xml"_s).contains("calcPr"));
}
