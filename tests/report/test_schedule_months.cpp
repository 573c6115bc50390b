// The month rule through the whole road: a report database, ExcelDraw, the saved workbook read back
// by openpyxl. One instrument under one subdivision: the header lands on the anchor row 11, the
// instrument (when it is written) on row 12.
#include "tests/report/ScheduleFixture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using ScheduleFixture::TBoxRow;

namespace {

struct TMonthCase {
  const char* Name;
  const char* Year;
  std::vector<TBoxRow> Rows;
  const char* Due;  // nullptr: the instrument is dropped
};

TEST(ScheduleMonths, DueMonthsReachTheSavedWorkbook) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "python3-openpyxl is not installed";
  // The rule's every edge is tabled in process (test_due_months); these rows check what the layout adds:
  // reading "VrfDate", the names the cells show, and dropping an instrument with nothing due.
  const std::vector<TMonthCase> cases = {
      {"nothing due: the instrument is dropped", "2013", {{.VrfInterval = 24}}, nullptr},
      {"a repair and the verification in one month", "2013", {{.RemPeriod = 6, .RemName = "Т"}}, "3=П,9=Т"},
      {"the later repair row's name; rows without a period add nothing",
       "2013",
       {{.VrfInterval = 24, .RemPeriod = 3, .RemName = "К"},
        {.VrfInterval = 24, .RemName = "X"},
        {.VrfInterval = 24, .RemPeriod = 6, .RemName = "Т"}},
       "3=Т,6=К,9=Т,12=К"},
      {"only characters 1-2 and 4-7 of VrfDate count", "2013", {{.VrfDate = "03.2012 г."}}, "3=П"},
  };
  for (const TMonthCase& c : cases) {
    SCOPED_TRACE(c.Name);
    QTemporaryDir dir;
    ScheduleFixture::TReport report(ScheduleFixture::MakeReportDb(dir, c.Rows));
    const ScheduleFixture::TRun run = ScheduleFixture::Draw(report.sp1, QString::fromUtf8(c.Year), dir);
    ASSERT_EQ(run.Error, QString());
    ASSERT_TRUE(run.Saved);
    const ScheduleFixture::TSheetDump sheet = ScheduleFixture::ReadWorkbook(run.Output);
    ASSERT_EQ(sheet.Error, QString());
    EXPECT_EQ(sheet.Cell(11, 2), u"Цех 1"_s);
    if (!c.Due) {
      EXPECT_EQ(sheet.Cells.value(12).join(u""_s), QString()) << "a dropped instrument writes nothing";
      continue;
    }
    EXPECT_EQ(sheet.Due(12), QString::fromUtf8(c.Due));
    const QStringList expected{u"#1"_s,
                               u"Манометр"_s,
                               u"T1"_s,
                               u"#1001"_s,
                               u"0-10"_s,
                               u"1,5"_s,
                               u"15."_s + QString::fromUtf8(c.Rows.front().VrfDate)};
    EXPECT_EQ(sheet.Cells.value(12).mid(0, 7), expected);
  }
}

}  // namespace
