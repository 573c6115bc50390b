// The shape of a finished schedule: subdivision headers, numbering across subdivisions, instruments
// dropped and split, the template rows the headers write over, merges, framing and the year.
#include "tests/report/ScheduleFixture.h"

#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "report/ExcelCore.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using ScheduleFixture::TBoxRow;

namespace {

// A copy of the shipped template whose rows 12 to 19, the rows below the anchor, are marked "tpl12" ...
// "tpl19" in column A: where the markers end up shows which template rows the body wrote over. Returns
// the copy's path; Rows gets the texts of its rows 12 to 19, columns A to U.
QString MakeMarkedTemplate(const QTemporaryDir& Dir, QMap<int, QStringList>& Rows) {
  const QString path = Dir.filePath(u"marked.xlsx"_s);
  auto book = TWorkbook::Load(TestSupport::BinDir() + u"/PPR.xltx"_s);
  const auto sheet = book->ActiveSheet();
  for (int row = 12; row <= 19; ++row) {
    sheet->SetValue(row, 1, QString(u"tpl"_s + QString::number(row)));
    for (int col = 1; col <= 21; ++col) Rows[row] << sheet->Value(row, col).toString();
  }
  book->SaveAs(path);
  return path;
}

QStringList Blank() { return QStringList(21, QString()); }
QStringList Header(const QString& Caption) {
  QStringList cells = Blank();
  cells[1] = Caption;
  return cells;
}
// An instrument row: number, name, IdN, VrfDate and the due months "3=П,9=Т".
QStringList Instrument(int Number, const QString& Name, int IdN, const QString& VrfDate, const QString& Due) {
  QStringList cells = Blank();
  cells[0] = u"#"_s + QString::number(Number);
  cells[1] = Name;
  cells[2] = u"T"_s + QString::number(IdN);
  cells[3] = u"#"_s + QString::number(1000 + IdN);
  cells[4] = u"0-10"_s;
  cells[5] = u"1,5"_s;
  cells[6] = u"15."_s + VrfDate;
  for (const QString& entry : Due.split(u',', Qt::SkipEmptyParts))
    cells[6 + entry.section(u'=', 0, 0).toInt()] = entry.section(u'=', 1);
  return cells;
}
QString Borders(const QString& Format) { return Format.section(u'|', 0, 0); }
QString Flags(const QString& Format) { return Format.section(u'|', 1); }

TEST(ScheduleSheet, HeadersNumberingDropsAndTemplateRows) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "python3-openpyxl is not installed";
  QTemporaryDir dir;
  // In the procedure's order; the layout sorts by "sub" and keeps this order within one caption.
  ScheduleFixture::TReport report(ScheduleFixture::MakeReportDb(
      dir, {
               {.IdN = 7, .RemPeriod = 6, .RemName = "Т", .Sid = 30, .Sub = "Цех 3", .MIname = "Термометр"},
               {.IdN = 8, .Sid = 30, .Sub = "Цех 3"},
               // IdN 7 again, not next to its first row: a second instrument row, numbered on.
               {.IdN = 7, .RemPeriod = 3, .RemName = "К", .Sid = 30, .Sub = "Цех 3", .MIname = "Термометр"},
               {.IdN = 1},
               {.IdN = 2, .VrfDate = "12.2012"},
               {.IdN = 3, .Sid = std::nullopt},                           // joins the subdivision above, no header
               {.IdN = 4, .VrfDate = "12.2010"},                          // Sid 10 again: no new header
               {.IdN = 5, .VrfInterval = 24, .Sid = 20, .Sub = "Цех 2"},  // dropped
               {.IdN = 6, .VrfInterval = 24, .Sid = 20, .Sub = "Цех 2"},  // dropped; the header stays
           }));
  QMap<int, QStringList> templateRows;
  const QString marked = MakeMarkedTemplate(dir, templateRows);
  ExcelCore::SetSheetApplicationFactory(
      [marked] { return std::make_shared<ScheduleFixture::TFixedTemplateApplication>(marked); });
  const ScheduleFixture::TRun run = ScheduleFixture::Draw(report.sp1, u"2013"_s, dir);
  ExcelCore::SetSheetApplicationFactory(nullptr);
  ASSERT_EQ(run.Error, QString());
  ASSERT_TRUE(run.Saved);
  EXPECT_EQ(run.Cursors, (QStringList{u"hourglass"_s, u"default"_s}));
  EXPECT_EQ(run.Messages, QStringList());
  EXPECT_TRUE(report.sp1.Active());
  EXPECT_TRUE(report.sp1.Eof());
  EXPECT_EQ(report.sp1.Sort(), u"sub"_s);

  const ScheduleFixture::TSheetDump sheet = ScheduleFixture::ReadWorkbook(run.Output);
  ASSERT_EQ(sheet.Error, QString());
  EXPECT_EQ(sheet.Cell(6, 10), u"2013"_s) << "the year goes in as the field's text";

  const std::vector<std::pair<int, QStringList>> expected = {
      {11, Header(u"Цех 1"_s)},                                       // on the anchor row
      {12, Instrument(1, u"Манометр"_s, 1, u"03.2012"_s, u"3=П"_s)},  // over template row 12
      {13, Instrument(2, u"Манометр"_s, 2, u"12.2012"_s, u"12=П"_s)},
      {14, Instrument(3, u"Манометр"_s, 3, u"03.2012"_s, u"3=П"_s)},
      {15, Instrument(4, u"Манометр"_s, 4, u"12.2010"_s, u"12=П"_s)},
      // Its buffer still held instrument 4's cells, December included; the merge leaves the caption.
      {16, Header(u"Цех 2"_s)},
      {17, Header(u"Цех 3"_s)},                                            // over template row 13
      {18, Instrument(5, u"Термометр"_s, 7, u"03.2012"_s, u"3=П,9=Т"_s)},  // over template row 14
      {19, Instrument(6, u"Манометр"_s, 8, u"03.2012"_s, u"3=П"_s)},
      {20, Instrument(7, u"Термометр"_s, 7, u"03.2012"_s, u"3=П,6=К,9=К,12=К"_s)},
      {21, Blank()},  // inserted after the last instrument
      // Template rows 12 to 14 are gone; 15 to 19 follow the body unchanged.
      {22, templateRows[15]},
      {23, templateRows[16]},
      {24, templateRows[17]},
      {25, templateRows[18]},
      {26, templateRows[19]},
      {27, Blank()},
  };
  for (const auto& [row, cells] : expected) EXPECT_EQ(sheet.Cells.value(row), cells) << "row " << row;
  EXPECT_EQ(sheet.MaxRow, 26);
  EXPECT_EQ(sheet.MergedFrom(11), (QStringList{u"B11:U11"_s, u"B16:U16"_s, u"B17:U17"_s}));

  for (int row : {11, 16, 17}) {
    EXPECT_TRUE(Flags(sheet.Format(row, 2)).contains(u'b')) << "header row " << row << " bold";
    EXPECT_TRUE(Flags(sheet.Format(row, 2)).contains(u'c')) << "header row " << row << " centred";
    EXPECT_EQ(Borders(sheet.Format(row, 1)), u"LRTB"_s) << "header row " << row;
  }
  for (int row : {12, 13, 14, 15, 18, 19, 20}) {
    for (int col = 1; col <= 20; ++col)
      EXPECT_EQ(Borders(sheet.Format(row, col)), u"LRTB"_s) << "body cell " << row << "," << col;
    EXPECT_EQ(Borders(sheet.Format(row, 21)), QString()) << "column U is outside the body, row " << row;
    EXPECT_FALSE(Flags(sheet.Format(row, 1)).contains(u'b')) << "instrument row " << row << " not bold";
  }
  for (int row = 22; row <= 26; ++row)
    EXPECT_EQ(Borders(sheet.Format(row, 1)), QString()) << "template row below the body, row " << row;
  // Shrink-to-fit: the anchor column from the row above the anchor to the row after the body, off
  // elsewhere in the body.
  // (A10 lies in the template's merged heading A9:A10, whose cell formats openpyxl does not read.)
  for (int row : {12, 20, 21}) EXPECT_TRUE(Flags(sheet.Format(row, 1)).contains(u's')) << "A" << row;
  EXPECT_FALSE(Flags(sheet.Format(12, 2)).contains(u's'));
}

TEST(ScheduleSheet, EveryInstrumentDroppedWithoutSubdivisionsStillShowsTheSheet) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "python3-openpyxl is not installed";
  QTemporaryDir dir;
  ScheduleFixture::TReport report(ScheduleFixture::MakeReportDb(
      dir, {{.IdN = 1, .VrfInterval = 24, .Sid = std::nullopt}, {.IdN = 2, .VrfInterval = 24, .Sid = std::nullopt}}));
  const ScheduleFixture::TRun run = ScheduleFixture::Draw(report.sp1, u"2013"_s, dir);
  ASSERT_EQ(run.Error, QString());
  ASSERT_TRUE(run.Saved);
  const ScheduleFixture::TSheetDump sheet = ScheduleFixture::ReadWorkbook(run.Output);
  ASSERT_EQ(sheet.Error, QString());
  EXPECT_EQ(sheet.Cells.value(11), Blank()) << "the anchor is emptied, nothing written";
  EXPECT_EQ(sheet.MergedFrom(11), QStringList());
  // The frame then covers the anchor row and the row above it.
  EXPECT_EQ(Borders(sheet.Format(11, 1)), u"LRTB"_s);
  EXPECT_EQ(Borders(sheet.Format(11, 20)), u"LRTB"_s);
  EXPECT_EQ(Borders(sheet.Format(12, 1)), QString());
}

}  // namespace
