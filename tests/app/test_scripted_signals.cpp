// A batch run ended by SIGTERM, SIGINT or SIGHUP leaves no temporary file beside its output: killed while
// it reads and lays out 100,000 instruments, nothing is there; killed while it saves, the save finishes
// first and the workbook is whole.
#include "tests/support/TestSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {

// The demo database grown to 100,000 instruments by copying its own rows.
class BigDemoDb : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    Dir = new QTemporaryDir;
    Path = Dir->filePath(u"big.db"_s);
    ASSERT_TRUE(QFile::copy(TestSupport::BinDir() + u"/demo.db"_s, Path));
    const auto grow = TestSupport::RunPython(
        uR"PY(
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
cols = [r[1] for r in db.execute("PRAGMA table_info(tInstruments)") if r[1] != "id"]
n = db.execute("SELECT count(*) FROM tInstruments").fetchone()[0]
db.execute(f"""INSERT INTO tInstruments (id, {",".join(cols)})
  WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < {100000 // n + 1})
  SELECT t.id + k.i * 1000000, {",".join("t." + c for c in cols)} FROM tInstruments t, k
  LIMIT {100000 - n}""")
db.commit()
print(db.execute("SELECT count(*) FROM tInstruments").fetchone()[0])
)PY"_s,
        {Path});
    ASSERT_EQ(grow.ExitCode, 0) << grow.Stderr.toStdString();
    ASSERT_EQ(grow.Stdout.trimmed(), u"100000"_s);
  }
  static void TearDownTestSuite() { delete Dir; }
  static QTemporaryDir* Dir;
  static QString Path;
};
QTemporaryDir* BigDemoDb::Dir = nullptr;
QString BigDemoDb::Path;

TEST_F(BigDemoDb, ASignalLeavesNoTemporaryFile) {
  struct Row {
    const char* Name;
    int Signal;
    bool WhileSaving;  // else soon after the start, while the data is read
  } rows[] = {
      {"SIGTERM while reading", SIGTERM, false},
      {"SIGTERM while saving", SIGTERM, true},
      {"SIGINT while saving", SIGINT, true},
      {"SIGHUP while saving", SIGHUP, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    QTemporaryDir out;
    const QString file = out.filePath(u"big.xlsx"_s);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"QT_QPA_PLATFORM"_s);
    p.setProcessEnvironment(env);
    p.start(TestSupport::BinDir() + u"/ppr-schedule"_s,
            {u"--batch"_s, u"--output"_s,      file,     u"--year"_s,        u"2024"_s, u"--types"_s,
             u"all"_s,     u"--states"_s,      u"all"_s, u"--subdivs"_s,     u"all"_s,  u"/RepSqlServer"_s,
             u"sqlite"_s,  u"/RepDBSource"_s,  Path,     u"/RepUserLogin"_s, u"demo"_s, u"/RepUserPass"_s,
             u""_s,        u"/RepExtraData"_s, u""_s});
    ASSERT_TRUE(p.waitForStarted());
    bool saving = false;
    if (row.WhileSaving) {
      // The save has begun once a temporary name shows beside the output.
      QDeadlineTimer deadline(300000);
      while (!saving && !deadline.hasExpired() && p.state() == QProcess::Running) {
        saving = !QDir(out.path()).entryList({u"big.xlsx.*"_s}, QDir::Files | QDir::Hidden).isEmpty();
        if (!saving) QThread::msleep(2);
      }
      ASSERT_TRUE(saving) << "the run ended before its save was seen: " << p.readAllStandardError().toStdString();
    } else {
      QThread::msleep(300);
    }
    ::kill(static_cast<pid_t>(p.processId()), row.Signal);
    ASSERT_TRUE(p.waitForFinished(300000));
    EXPECT_EQ(p.exitStatus(), QProcess::CrashExit) << "ended by the signal";
    const QStringList left = QDir(out.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    if (row.WhileSaving) {
      EXPECT_EQ(left, QStringList{u"big.xlsx"_s}) << "the save in progress finishes, its temporary file goes";
      const auto whole = TestSupport::RunPython(
          u"import sys, zipfile; assert zipfile.ZipFile(sys.argv[1]).testzip() is None"_s, {file});
      EXPECT_EQ(whole.ExitCode, 0) << whole.Stderr.toStdString();
    } else {
      EXPECT_EQ(left, QStringList());
    }
  }
}

}  // namespace
