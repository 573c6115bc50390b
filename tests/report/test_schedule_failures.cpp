// Runs that end early: the no-data message, and failures, after which nothing is shown or saved,
// the engine is let go and the cursor is back to the default.
#include "tests/report/ScheduleFixture.h"

#include "platform/base/Exception.h"
#include "platform/base/MessageService.h"
#include "platform/sheet/SheetApplication.h"
#include "report/ExcelCore.h"
#include "tests/platform/sheet/SheetFixture.h"

#include <gtest/gtest.h>
#include <QDir>
#include <new>

using namespace Qt::StringLiterals;
using ScheduleFixture::TBoxRow;

namespace {

struct TFailureCase {
  const char* Name;
  std::vector<TBoxRow> Rows;
  const char* Omit;  // a column left out of the result, or ""
  const char* Message;
};

// Everything in Dir but the database: a failed run must leave no workbook (nor a half-written one).
QStringList LeftBehind(const QTemporaryDir& Dir) {
  QStringList files = QDir(Dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden);
  files.removeAll(u"report.db"_s);
  return files;
}

// A run for 2013 with the engines Factory makes; the default engine comes back afterwards.
ScheduleFixture::TRun DrawWith(ExcelCore::TSheetApplicationFactory Factory, ScheduleFixture::TReport& Report,
                               const QTemporaryDir& Dir) {
  ExcelCore::SetSheetApplicationFactory(std::move(Factory));
  ScheduleFixture::TRun run = ScheduleFixture::Draw(Report.sp1, u"2013"_s, Dir);
  ExcelCore::SetSheetApplicationFactory(nullptr);
  return run;
}

void ExpectNothingShown(const ScheduleFixture::TRun& Run, const QTemporaryDir& Dir) {
  EXPECT_FALSE(Run.Saved);
  EXPECT_EQ(LeftBehind(Dir), QStringList());
  EXPECT_EQ(Run.Cursors, (QStringList{u"hourglass"_s, u"default"_s}));
  EXPECT_EQ(ExcelCore::ExcelApp, nullptr);
  EXPECT_EQ(ExcelCore::ExcelBook, nullptr);
  EXPECT_EQ(ExcelCore::ExcelSheet, nullptr);
}

TEST(ScheduleFailures, FailedRunsShowAndLeaveNothing) {
  static const std::string tooLong(32768, 'x');
  static const std::string longest(32767, 'x');
  const std::vector<TFailureCase> cases = {
      {"a name longer than a cell holds",
       {{.IdN = 1}, {.IdN = 7, .MIname = tooLong.c_str()}},
       "",
       "Значение столбца «MIname» у прибора IdN 7 длиннее, чем вмещает ячейка: 32768 знаков при пределе 32767. "
       "График не сформирован."},
      {"a subdivision caption longer than a cell holds",
       {{.IdN = 3, .Sub = tooLong.c_str()}},
       "",
       "Значение столбца «Sub» у прибора IdN 3 длиннее, чем вмещает ячейка: 32768 знаков при пределе 32767. "
       "График не сформирован."},
      {"a due repair's name longer than a cell holds",
       {{.IdN = 4, .RemPeriod = 6, .RemName = tooLong.c_str(), .MIname = longest.c_str()}},
       "",
       "Значение столбца «RemName» у прибора IdN 4 длиннее, чем вмещает ячейка: 32768 знаков при пределе 32767. "
       "График не сформирован."},
      {"a column missing from the result", {{}}, "CA", "Field 'CA' not found"},
      {"RemName missing, read only for a due repair",
       {{.RemPeriod = 6, .RemName = "Т"}},
       "RemName",
       "Field 'RemName' not found"},
      {"no column to sort by", {{}}, "Sub", "Field 'sub' not found"},
      {"an interval of 0", {{.VrfInterval = 0}}, "", "Division by zero"},
      {"a null interval", {{.VrfInterval = std::nullopt}}, "", "Division by zero"},
      {"an interval whose low 16 bits are 0", {{.VrfInterval = 65536}}, "", "Division by zero"},
      {"a RemPeriod of 0", {{.RemPeriod = 0, .RemName = "Т"}}, "", "Division by zero"},
      {"a one-digit month", {{.VrfDate = "3.2012"}}, "", "''3.'' is not a valid integer value"},
      {"a null date", {{.VrfDate = nullptr}}, "", "'''' is not a valid integer value"},
      {"another date layout", {{.VrfDate = "2012-03"}}, "", "''2-03'' is not a valid integer value"},
      {"a malformed date after rows were written",
       {{.IdN = 1}, {.IdN = 2, .Sid = 20, .Sub = "Цех 2"}, {.IdN = 3, .VrfDate = "03.20x2", .Sid = 20, .Sub = "Цех 2"}},
       "",
       "''20x2'' is not a valid integer value"},
  };
  for (const TFailureCase& c : cases) {
    SCOPED_TRACE(c.Name);
    QTemporaryDir dir;
    ScheduleFixture::TReport report(ScheduleFixture::MakeReportDb(dir, c.Rows, QString::fromUtf8(c.Omit)));
    const ScheduleFixture::TRun run = ScheduleFixture::Draw(report.sp1, u"2013"_s, dir);
    EXPECT_EQ(run.Error, QString::fromUtf8(c.Message));
    EXPECT_EQ(run.Messages, QStringList()) << "the caller shows the failure, not the layout";
    ExpectNothingShown(run, dir);
  }
}

TEST(ScheduleFailures, EngineThatCannotStart) {
  QTemporaryDir dir;
  ScheduleFixture::TReport report(ScheduleFixture::MakeReportDb(dir, {{}}));
  const ScheduleFixture::TRun run =
      DrawWith([]() -> std::shared_ptr<TSheetApplication> { throw Exception(u"нет движка"_s); }, report, dir);
  EXPECT_EQ(run.Error, u"Ошибка открытия Excel.нет движка"_s);
  ExpectNothingShown(run, dir);
}

// The engine's own message, naming the file.
TEST(ScheduleFailures, TemplateThatCannotBeOpened) {
  QTemporaryDir dir;
  ScheduleFixture::TReport report(ScheduleFixture::MakeReportDb(dir, {{}}));
  const QString missing = dir.filePath(u"missing.xltx"_s);
  const ScheduleFixture::TRun run = DrawWith(
      [missing] { return std::make_shared<ScheduleFixture::TFixedTemplateApplication>(missing); }, report, dir);
  EXPECT_TRUE(run.Error.contains(missing)) << run.Error.toStdString();
  ExpectNothingShown(run, dir);
}

// Without "#body#" the body would land where an earlier run left the position; the template is refused.
TEST(ScheduleFailures, TemplateWithoutTheBodyAnchor) {
  QTemporaryDir dir;
  ScheduleFixture::TReport report(ScheduleFixture::MakeReportDb(dir, {{}}));
  SheetFixture::TBook book;
  book.Rows = SheetFixture::Row(6, {SheetFixture::Text("J6", "#year#")});
  const QString path = dir.filePath(u"nobody.xltx"_s);
  book.Write(path);
  const ScheduleFixture::TRun run =
      DrawWith([path] { return std::make_shared<ScheduleFixture::TFixedTemplateApplication>(path); }, report, dir);
  EXPECT_EQ(run.Error,
            u"В шаблоне «"_s + path + u"» нет ячейки с меткой «#body#», с которой начинается тело графика."_s);
  EXPECT_FALSE(run.Saved);
  QStringList left = LeftBehind(dir);
  left.removeAll(u"nobody.xltx"_s);
  EXPECT_EQ(left, QStringList());
}

// Memory running out anywhere in the run reaches the user as a sentence, not as the allocator's word.
TEST(ScheduleFailures, MemoryRunningOut) {
  struct TStarvedApplication : TSheetApplication {
    std::shared_ptr<TWorkbook> AddWorkbook(const QString&) override { throw std::bad_alloc(); }
  };
  QTemporaryDir dir;
  ScheduleFixture::TReport report(ScheduleFixture::MakeReportDb(dir, {{}}));
  const ScheduleFixture::TRun run = DrawWith([] { return std::make_shared<TStarvedApplication>(); }, report, dir);
  EXPECT_EQ(run.Error, u"Недостаточно памяти, чтобы составить график: он не сформирован."_s);
  ExpectNothingShown(run, dir);
}

TEST(ScheduleFailures, NoRowsShowsTheMessageAndStartsNoWorkbook) {
  QTemporaryDir dir;
  ScheduleFixture::TReport report(ScheduleFixture::MakeReportDb(dir, {}));
  int started = 0;
  const ScheduleFixture::TRun run = DrawWith(
      [&started] {
        ++started;
        return std::make_shared<TSheetApplication>();
      },
      report, dir);
  EXPECT_EQ(run.Error, QString());
  EXPECT_EQ(run.Messages, QStringList{ApplicationTitle() +
                                      u": Для выбранной комбинации типов СИ и подразделения отсутствуют данные."_s});
  EXPECT_EQ(started, 0);
  ExpectNothingShown(run, dir);
}

}  // namespace
