// The schedule's content pinned: the whole program (--batch) writes the schedule of the demo database and
// of a generated database of 10,000 instruments for a fixed year, and a canonical digest of each workbook,
// as openpyxl reads it (every cell's value and resolved style, row heights, columns, merges, the print
// set-up), must equal the one committed in tests/app/golden. A change made for speed or memory must leave
// them as they are.
//
// After a change that is meant to alter the schedule, write the digests afresh and review their diff:
//   UPDATE_GOLDEN=1 ctest --test-dir build -R ScheduleGolden
// On a mismatch the workbook's full digest (every row spelled out) is left in the build tree to compare.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

QString Golden(const QString& Name) { return TestSupport::SourceDir() + u"/tests/app/golden/"_s + Name; }

// Runs the Python script at Path with Args.
TestSupport::ProcessResult RunScript(const QString& Path, const QStringList& Args) {
  return TestSupport::RunPython(
      u"import runpy, sys\nsys.argv = sys.argv[1:]\nrunpy.run_path(sys.argv[0], run_name='__main__')"_s,
      QStringList{Path} + Args);
}

QString ReadText(const QString& Path) {
  QFile file(Path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool WriteText(const QString& Path, const QString& Text) {
  QFile file(Path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(Text.toUtf8()) >= 0;
}

// The lines of Actual that differ from Expected's at the same place, at most a few, for the failure message.
QString FirstDifferences(const QString& Expected, const QString& Actual) {
  const QStringList want = Expected.split(u'\n'), got = Actual.split(u'\n');
  QStringList shown;
  for (qsizetype i = 0; i < std::max(want.size(), got.size()) && shown.size() < 6; ++i)
    if (want.value(i) != got.value(i))
      shown << u"line %1\n  golden: %2\n  now:    %3"_s.arg(i + 1).arg(want.value(i).left(300), got.value(i).left(300));
  return shown.join(u'\n');
}

struct TPinnedSchedule {
  const char* Golden;  // the digest's file in tests/app/golden
  int Instruments;     // 0: the demo database; else a generated one of that many
  int Block;           // rows per hash in the digest
};

TEST(ScheduleGolden, TheWorkbookKeepsItsPinnedContent) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "python3-openpyxl is not installed";
  const TPinnedSchedule cases[] = {
      {"demo-2024.digest", 0, 20},
      {"generated-10000-2024.digest", 10000, 500},
  };
  const bool update = qEnvironmentVariableIntValue("UPDATE_GOLDEN") == 1;
  for (const TPinnedSchedule& c : cases) {
    SCOPED_TRACE(c.Golden);
    QTemporaryDir dir;
    QString database = TestSupport::BinDir() + u"/demo.db"_s;
    if (c.Instruments > 0) {
      database = dir.filePath(u"report.db"_s);
      const auto made =
          RunScript(TestSupport::SourceDir() + u"/db/make_report_db.py"_s, {database, QString::number(c.Instruments)});
      ASSERT_EQ(made.ExitCode, 0) << made.Stderr.toStdString();
    }
    const QString output = dir.filePath(u"schedule.xlsx"_s);
    QProcess ppr;
    ppr.start(TestSupport::BinDir() + u"/ppr-schedule"_s,
              {u"--batch"_s, u"--output"_s,      output,   u"--year"_s,        u"2024"_s,   u"--types"_s,
               u"all"_s,     u"--states"_s,      u"all"_s, u"--subdivs"_s,     u"all"_s,    u"/RepSqlServer"_s,
               u"sqlite"_s,  u"/RepDBSource"_s,  database, u"/RepUserLogin"_s, u"golden"_s, u"/RepUserPass"_s,
               u""_s,        u"/RepExtraData"_s, u""_s});
    ASSERT_TRUE(ppr.waitForFinished(120000));
    ASSERT_EQ(ppr.exitCode(), 0) << ppr.readAllStandardError().toStdString();

    const auto digest = RunScript(Golden(u"workbook_digest.py"_s), {output, u"--blocks"_s, QString::number(c.Block)});
    ASSERT_EQ(digest.ExitCode, 0) << digest.Stderr.toStdString();
    const QString golden = Golden(QString::fromLatin1(c.Golden));
    if (update) {
      ASSERT_TRUE(WriteText(golden, digest.Stdout)) << golden.toStdString();
      continue;
    }
    const QString expected = ReadText(golden);
    ASSERT_FALSE(expected.isEmpty()) << "no golden digest at " << golden.toStdString()
                                     << "; write it with UPDATE_GOLDEN=1";
    if (digest.Stdout == expected) continue;
    const QString kept = TestSupport::BinaryDir() + u"/golden-mismatch/"_s + QString::fromLatin1(c.Golden);
    QDir().mkpath(TestSupport::BinaryDir() + u"/golden-mismatch"_s);
    const auto full = RunScript(Golden(u"workbook_digest.py"_s), {output});
    WriteText(kept, digest.Stdout);
    WriteText(kept + u".full"_s, full.Stdout);
    ADD_FAILURE() << "the workbook's content changed (digest in " << kept.toStdString() << ", full in .full):\n"
                  << FirstDifferences(expected, digest.Stdout).toStdString();
  }
  if (update) GTEST_SKIP() << "golden digests written afresh: review their diff";
}

}  // namespace
