// The month rule through the whole road: a report database, ExcelDraw, the saved workbook read back
// by openpyxl. One instrument under one subdivision: the header lands on the anchor row 11, the
// instrument (when it is written) on row 12.
#include "tests/report/test_schedule_fixture.h"
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

TEST(ScheduleMonths, DueMonthsForwardsAndBackwards) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "python3-openpyxl is not installed";
  const std::vector<TMonthCase> cases = {
      {"interval 12, the year before", "2011", {{}}, "3=П"},
      {"interval 12, the verification year itself", "2012", {{}}, "3=П"},
      {"interval 12, the year after", "2013", {{}}, "3=П"},
      {"interval 24, one year after: nothing due", "2013", {{.VrfInterval = 24}}, nullptr},
      {"interval 24, two years before", "2010", {{.VrfInterval = 24}}, "3=П"},
      {"interval 24, only a repair falls in the year", "2013",
       {{.VrfInterval = 24, .RemPeriod = 6, .RemName = "Т"}}, "3=Т,9=Т"},
      {"a repair and the verification in one month", "2013",
       {{.RemPeriod = 6, .RemName = "Т"}}, "3=П,9=Т"},
      {"two repairs in one month: the later row's name", "2013",
       {{.VrfInterval = 24, .RemPeriod = 3, .RemName = "К"}, {.VrfInterval = 24, .RemPeriod = 6, .RemName = "Т"}},
       "3=Т,6=К,9=Т,12=К"},
      {"null RemPeriod rows add nothing", "2013",
       {{.VrfInterval = 24, .RemName = "X"},
        {.VrfInterval = 24, .RemPeriod = 6, .RemName = "Т"},
        {.VrfInterval = 24, .RemName = "Y"}},
       "3=Т,9=Т"},
      {"interval 1: every month", "2013", {{.VrfInterval = 1}},
       "1=П,2=П,3=П,4=П,5=П,6=П,7=П,8=П,9=П,10=П,11=П,12=П"},
      // |(2013 - 2015) * 12 + i - 11| = 35 - i: multiples of 5 at May (30) and October (25).
      {"backwards over two years, interval 5", "2013", {{.VrfDate = "11.2015", .VrfInterval = 5}}, "5=П,10=П"},
      {"the interval is kept as its low 16 bits (65548 is 12)", "2011", {{.VrfInterval = 65548}}, "3=П"},
      {"only characters 1-2 and 4-7 of VrfDate count", "2013", {{.VrfDate = "03.2012 г."}}, "3=П"},
      // RemPeriod is a full 32-bit period: 65542 is not 6, so only distance 0 (March 2012) is due.
      {"the repair period is not cut to 16 bits", "2012",
       {{.VrfInterval = 24, .RemPeriod = 65542, .RemName = "Т"}}, "3=П"},
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
    const QStringList expected{u"#1"_s, u"Манометр"_s, u"T1"_s, u"#1001"_s, u"0-10"_s, u"1,5"_s,
                               u"15."_s + QString::fromUtf8(c.Rows.front().VrfDate)};
    EXPECT_EQ(sheet.Cells.value(12).mid(0, 7), expected);
  }
}

}  // namespace
