// The scripted interface end to end on the built executable, as a scheduler would call it: no display,
// no QT_QPA_PLATFORM. Exit codes, usage errors, listings, a selection checked against the demo
// database's own answer, the year's edge cases, an existing file, a SIGTERM, PDF output.
#include "Version.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {

QString Binary() { return TestSupport::BinDir() + u"/ppr-schedule"_s; }
QString DemoDb() { return TestSupport::BinDir() + u"/demo.db"_s; }

const QString kNoData = u"Для выбранной комбинации типов СИ и подразделения отсутствуют данные."_s;

struct TRun {
  int ExitCode = -1;
  bool Crashed = false;
  QString Stdout;
  QString Stderr;
};

// As from a scheduler: no display and no Qt platform given.
QProcessEnvironment PlainEnvironment() {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "PPR_MESSAGES"})
    env.remove(QString::fromLatin1(name));
  return env;
}

TRun Ppr(const QStringList& Args, const QString& WorkingDir = {}) {
  QProcess p;
  p.setProcessEnvironment(PlainEnvironment());
  if (!WorkingDir.isEmpty()) p.setWorkingDirectory(WorkingDir);
  p.start(Binary(), Args);
  p.waitForFinished(120000);
  return {p.exitCode(), p.exitStatus() == QProcess::CrashExit, QString::fromUtf8(p.readAllStandardOutput()),
          QString::fromUtf8(p.readAllStandardError())};
}

QStringList Host(const QString& Database = DemoDb()) {
  return {u"/RepSqlServer"_s, u"sqlite"_s, u"/RepDBSource"_s,  Database, u"/RepUserLogin"_s, u"demo"_s,
          u"/RepUserPass"_s,  u""_s,       u"/RepExtraData"_s, u""_s};
}

QStringList Everything() { return {u"--types"_s, u"all"_s, u"--states"_s, u"all"_s, u"--subdivs"_s, u"all"_s}; }

QByteArray Bytes(const QString& Path) {
  QFile f(Path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(ScriptedRun, ExitCodes) {
  QTemporaryDir dir;
  struct Row {
    const char* Name;
    QStringList Args;
    int ExitCode;
    QString StderrHas;  // one line of it, or empty: nothing on stderr
    bool Written;
  } rows[] = {
      {"written", QStringList{u"--batch"_s, u"--year"_s, u"2024"_s} + Everything() + Host(), 0, {}, true},
      {"demo written", QStringList{u"--demo"_s, u"--batch"_s} + Everything(), 0, {}, true},
      {"a tree not named has nothing checked",
       {u"--demo"_s, u"--batch"_s, u"--types"_s, u"all"_s, u"--states"_s, u"all"_s},
       1,
       u"Выберите подразделение"_s,
       false},
      {"no data for the selection", QStringList{u"--demo"_s, u"--batch"_s, u"--year"_s, u"1900"_s} + Everything(), 3,
       kNoData, false},
      {"the year's integer conversion", QStringList{u"--demo"_s, u"--batch"_s, u"--year"_s, u"20-1"_s} + Everything(),
       1, u"''20-1'' is not a valid integer value"_s, false},
      {"failure at start", QStringList{u"--batch"_s} + Everything() + Host(dir.filePath(u"absent.db"_s)), 1,
       u"Ошибка выполнения отчета: "_s, false},
      {"incomplete host switches", QStringList{u"--batch"_s} + Everything() + QStringList{u"/RepSqlServer"_s, u"s"_s},
       1, u"Не полный список параметров."_s, false},
      {"usage error", {u"--demo"_s, u"--batch"_s, u"--colour"_s}, 2, u"Usage:"_s, false},
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    const QString out = dir.filePath(u"out%1.xlsx"_s.arg(++n));
    const TRun run = Ppr(QStringList{u"--output"_s, out} + row.Args);
    EXPECT_FALSE(run.Crashed);
    EXPECT_EQ(run.ExitCode, row.ExitCode) << run.Stderr.toStdString();
    EXPECT_EQ(QFileInfo::exists(out), row.Written);
    EXPECT_EQ(run.Stdout, row.Written ? out + u'\n' : QString()) << run.Stderr.toStdString();
    if (row.StderrHas.isEmpty()) {
      EXPECT_EQ(run.Stderr, QString());
    } else {
      EXPECT_TRUE(run.Stderr.contains(row.StderrHas)) << run.Stderr.toStdString();
    }
    // The window's messages, as text: no caption before them.
    if (row.ExitCode == 1 || row.ExitCode == 3) {
      EXPECT_TRUE(run.Stderr.startsWith(row.StderrHas.left(8))) << run.Stderr.toStdString();
    }
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{u"out1.xlsx"_s, u"out2.xlsx"_s}))
      << "nothing else is left in the output's folder";
}

TEST(ScriptedRun, EachUsageErrorNamesItsCauseAndShowsTheUsage) {
  QTemporaryDir dir;
  const QString out = dir.filePath(u"o.xlsx"_s);
  struct Row {
    const char* Name;
    QStringList Args;
    QString Names;
  } rows[] = {
      {"unknown option", {u"--demo"_s, u"--batch"_s, u"--output"_s, out, u"--colour"_s}, u"--colour"_s},
      {"missing value", {u"--demo"_s, u"--batch"_s, u"--output"_s}, u"--output"_s},
      {"batch without output", QStringList{u"--demo"_s, u"--batch"_s} + Everything(), u"--output"_s},
      {"year of 5 characters", QStringList{u"--demo"_s, u"--batch"_s, u"--output"_s, out, u"--year"_s, u"20271"_s},
       u"20271"_s},
      {"list of an unknown tree", {u"--demo"_s, u"--list"_s, u"years"_s}, u"years"_s},
      {"id that is no node",
       QStringList{u"--demo"_s, u"--batch"_s, u"--output"_s, out, u"--subdivs"_s, u"3,999999"_s, u"--types"_s, u"all"_s,
                   u"--states"_s, u"all"_s},
       u"999999"_s},
      {"id that is no number", {u"--demo"_s, u"--batch"_s, u"--output"_s, out, u"--types"_s, u"1;2"_s}, u"1;2"_s},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    const TRun run = Ppr(row.Args);
    EXPECT_EQ(run.ExitCode, 2) << run.Stderr.toStdString();
    const QString first = run.Stderr.section(u'\n', 0, 0);
    EXPECT_TRUE(first.contains(row.Names)) << first.toStdString();
    EXPECT_TRUE(run.Stderr.contains(u"Usage:"_s));
    EXPECT_TRUE(run.Stdout.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(out));
  }
}

TEST(ScriptedRun, HelpAndVersion) {
  const TRun help = Ppr({u"--help"_s});
  EXPECT_EQ(help.ExitCode, 0);
  EXPECT_TRUE(help.Stdout.contains(u"--batch --output FILE"_s));
  const TRun version = Ppr({u"--version"_s});
  EXPECT_EQ(version.ExitCode, 0);
  EXPECT_EQ(version.Stdout, u"ppr-schedule " PPR_VERSION "\n"_s);
}

TEST(ScriptedRun, ListingsFollowTheDemoDatabasesTrees) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "python3 is needed";
  for (const QString& tree : {u"types"_s, u"states"_s, u"subdivs"_s}) {
    SCOPED_TRACE(tree.toStdString());
    const TRun run = Ppr({u"--demo"_s, u"--list"_s, tree});
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    // The tree worked out from the table itself: pre-order by row order, children under their parent,
    // rows that never hang from the top level left out.
    const auto expected = TestSupport::RunPython(
        uR"PY(
import sqlite3, sys
table = {"types": "tMiTypes", "states": "MMState", "subdivs": "tSubDivs"}[sys.argv[2]]
rows = sqlite3.connect(sys.argv[1]).execute(f"SELECT id, fname, parentid FROM {table}").fetchall()
def walk(parent, depth, seen):
    for i, name, p in rows:
        if p == parent and i not in seen:
            sys.stdout.write("\t" * depth + f"{i}\t{name}\n")
            walk(i, depth + 1, seen | {i})
walk(-1, 0, frozenset())
)PY"_s,
        {DemoDb(), tree});
    ASSERT_EQ(expected.ExitCode, 0) << expected.Stderr.toStdString();
    EXPECT_EQ(run.Stdout, expected.Stdout);
    EXPECT_GT(run.Stdout.count(u'\n'), 2);
  }
}

TEST(ScriptedRun, DemoFromAnotherWorkingDirectoryWithARelativeOutput) {
  QTemporaryDir dir;
  const TRun run = Ppr(QStringList{u"--demo"_s, u"--batch"_s, u"--output"_s, u"rel.xlsx"_s} + Everything(), dir.path());
  EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
  EXPECT_EQ(run.Stdout, dir.filePath(u"rel.xlsx"_s) + u'\n');
  EXPECT_TRUE(QFileInfo::exists(dir.filePath(u"rel.xlsx"_s)));
}

TEST(ScriptedRun, ASelectionGivesExactlyTheDatabasesInstruments) {
  if (!TestSupport::HaveOpenpyxl()) GTEST_SKIP() << "openpyxl is not installed";
  QTemporaryDir dir;
  const QString out = dir.filePath(u"sel.xlsx"_s);
  const TRun run = Ppr({u"--demo"_s, u"--batch"_s, u"--output"_s, out, u"--year"_s, u"2027"_s, u"--types"_s, u"all"_s,
                        u"--states"_s, u"1,2"_s, u"--subdivs"_s, u"3,7"_s});
  ASSERT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
  // The database's own answer: its report procedure run with the same arrays (only nodes 3 and 7 and
  // states 1 and 2 checked, every type), then the instruments with a month due in 2027 by the rule
  // "months since the last verification, or since it for a repair, a multiple of the interval".
  const auto check = TestSupport::RunPython(
      uR"PY(
import sqlite3, struct, sys, openpyxl
db = sqlite3.connect(sys.argv[1])
def contains(array, i):
    return int(array is not None and i in struct.unpack(f">{len(array)//4}i", array))
db.create_function("idarray_contains", 2, contains)
arr = lambda ids: struct.pack(f">{len(ids)}i", *ids)
types = [i for (i,) in db.execute("SELECT id FROM tMiTypes")]
body = db.execute("SELECT body FROM procedures WHERE name = 'rprt_get_PPR_box'").fetchone()[0]
rows = db.execute(body.replace("@", ":"), {"MiTypesArray": arr(types), "MMStateArray": arr([1, 2]),
                  "SubDivsArray": arr([3, 7]), "year": "2027"}).fetchall()
due = set()
for r in rows:
    m, y = map(int, r[0].split("."))
    for month in range(1, 13):
        d = (2027 * 12 + month) - (y * 12 + m)
        if d % r[1] == 0 or (r[13] and d % r[13] == 0):
            due.add((r[7], r[9]))
ws = openpyxl.load_workbook(sys.argv[2]).active
got = sorted((r[1], str(r[3])) for r in ws.iter_rows(values_only=True) if isinstance(r[0], int))
want = sorted((n, str(l)) for n, l in due)
assert got == want, (len(got), len(want), got[:5], want[:5])
print(len(got))
)PY"_s,
      {DemoDb(), out});
  EXPECT_EQ(check.ExitCode, 0) << check.Stderr.toStdString();
  EXPECT_GT(check.Stdout.trimmed().toInt(), 0) << check.Stdout.toStdString();
}

TEST(ScriptedRun, AnExistingFileIsLeftAsItWas) {
  QTemporaryDir dir;
  const QString out = dir.filePath(u"kept.xlsx"_s);
  {
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("the user's own file\n");
  }
  for (const QString& name : {out, dir.filePath(u"kept.pdf"_s)}) {
    if (name.endsWith(u".pdf"_s)) QFile::link(out, name);  // a link counts as taken, too
    const TRun run = Ppr(QStringList{u"--demo"_s, u"--batch"_s, u"--output"_s, name} + Everything());
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Stderr.contains(name)) << run.Stderr.toStdString();
    EXPECT_EQ(run.Stderr.count(u'\n'), 1) << "refused before anything runs";
    EXPECT_EQ(Bytes(out), QByteArray("the user's own file\n"));
  }
}

TEST(ScriptedRun, WindowWithoutADisplaySaysWhatToRunInstead) {
  const TRun run = Ppr({u"--demo"_s});
  EXPECT_FALSE(run.Crashed);
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Stderr.count(u'\n'), 1) << run.Stderr.toStdString();
  EXPECT_TRUE(run.Stderr.contains(u"--demo"_s) && run.Stderr.contains(u"--batch --output"_s))
      << run.Stderr.toStdString();
}

TEST(ScriptedRun, PdfWithoutLibreOfficeIsRefusedBeforeTheRun) {
  QTemporaryDir dir;
  QProcess p;
  QProcessEnvironment env = PlainEnvironment();
  env.insert(u"PATH"_s, dir.path());  // nothing to be found
  p.setProcessEnvironment(env);
  const QString out = dir.filePath(u"schedule.pdf"_s);
  p.start(Binary(), QStringList{u"--demo"_s, u"--batch"_s, u"--output"_s, out} + Everything());
  ASSERT_TRUE(p.waitForFinished(60000));
  const QString err = QString::fromUtf8(p.readAllStandardError());
  EXPECT_EQ(p.exitCode(), 1);
  EXPECT_TRUE(err.contains(u"LibreOffice"_s)) << err.toStdString();
  EXPECT_EQ(err.count(u'\n'), 1);
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(ScriptedRun, PdfOutputIsThePrintedSchedule) {
  if (QStandardPaths::findExecutable(u"soffice"_s).isEmpty() ||
      QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
    GTEST_SKIP() << "LibreOffice (soffice) or pdftotext is not installed";
  QTemporaryDir dir;
  const QString out = dir.filePath(u"schedule.pdf"_s);
  const TRun run = Ppr({u"--demo"_s, u"--batch"_s, u"--output"_s, out, u"--year"_s, u"2027"_s, u"--types"_s, u"all"_s,
                        u"--states"_s, u"all"_s, u"--subdivs"_s, u"3"_s});
  ASSERT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
  EXPECT_EQ(run.Stdout, out + u'\n');
  const auto text = TestSupport::Run(u"pdftotext"_s, {out, u"-"_s});
  ASSERT_EQ(text.ExitCode, 0);
  EXPECT_TRUE(text.Stdout.contains(u"2027"_s)) << text.Stdout.left(400).toStdString();
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{u"schedule.pdf"_s}));
}

}  // namespace
