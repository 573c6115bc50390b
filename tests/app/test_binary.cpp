// End to end on the built executable: the incomplete-parameters stop, a failed start and the
// identification record. The scripted runs have their own file (test_scripted_runs.cpp).
#include "Version.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString Binary() { return TestSupport::BinDir() + u"/ppr-schedule"_s; }

TEST(Binary, IncompleteCommandLineShowsMessageAndExitsZero) {
  struct Row {
    const char* Name;
    QStringList Args;
  } rows[] = {
      {"no arguments", {}},
      {"login equals server",
       {u"/RepSqlServer"_s, u"same"_s, u"/RepDBSource"_s, u"db"_s, u"/RepUserLogin"_s, u"same"_s, u"/RepUserPass"_s,
        u""_s, u"/RepExtraData"_s, u""_s}},
      {"lower-case switches", {u"/repsqlserver"_s, u"s"_s, u"/repdbsource"_s, u"d"_s, u"/repuserlogin"_s, u"u"_s}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    const auto result = TestSupport::Run(Binary(), row.Args, {u"PPR_MESSAGES=stderr"_s}, 30000);
    EXPECT_EQ(result.ExitCode, 0) << result.Stderr.toStdString();
    EXPECT_TRUE(result.Stderr.contains(u"Приложение будет закрыто: Не полный список параметров."_s))
        << result.Stderr.toStdString();
  }
}

QStringList HostArgs(const QString& Database) {
  return {u"/RepSqlServer"_s, u"sqlite"_s, u"/RepDBSource"_s,  Database, u"/RepUserLogin"_s, u"demo"_s,
          u"/RepUserPass"_s,  u""_s,       u"/RepExtraData"_s, u""_s};
}

TEST(Binary, FailedConnectionAtStartShowsTheErrorAndExitsZero) {
  QTemporaryDir dir;
  // Without a display the window's platform is offscreen; the error ends the program before any loop.
  const auto result = TestSupport::Run(Binary(), HostArgs(dir.filePath(u"absent.db"_s)),
                                       {u"PPR_MESSAGES=stderr"_s, u"QT_QPA_PLATFORM=offscreen"_s}, 30000);
  EXPECT_EQ(result.ExitCode, 0) << result.Stderr.toStdString();
  EXPECT_TRUE(result.Stderr.contains(u"Приложение будет закрыто: Ошибка выполнения отчета: "_s))
      << result.Stderr.toStdString();
  EXPECT_TRUE(result.Stderr.contains(u"absent.db"_s)) << result.Stderr.toStdString();
  EXPECT_FALSE(QFile::exists(dir.filePath(u"absent.db"_s)));
}

TEST(Binary, IdentificationRecordIsReadableWithoutRunning) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString out = dir.filePath(u"record.bin"_s);
  const auto dump =
      TestSupport::Run(u"objcopy"_s, {u"-O"_s, u"binary"_s, u"--only-section=.ppr_version"_s, Binary(), out});
  ASSERT_EQ(dump.ExitCode, 0) << dump.Stderr.toStdString();
  QFile file(out);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QByteArray raw = file.readAll();
  ASSERT_TRUE(raw.endsWith('\0'));
  raw.chop(1);
  QMap<QString, QString> record;
  for (const QString& line : QString::fromUtf8(raw).split(u'\n', Qt::SkipEmptyParts)) {
    const qsizetype eq = line.indexOf(u'=');
    ASSERT_GT(eq, 0) << line.toStdString();
    record.insert(line.left(eq), line.mid(eq + 1));
  }
  const QMap<QString, QString> expected{
      {u"Language"_s, u"0419"_s},
      {u"CodePage"_s, u"1251"_s},
      {u"FileDescription"_s, u"График ППР"_s},
      {u"InternalName"_s, u"График ППР"_s},
      {u"FileVersion"_s, u"" PPR_VERSION ""_s},
      {u"ReportName"_s, u"Form11.1"_s},
      {u"ReportDescription"_s, u"График ППР"_s},
      {u"ReportVersion"_s, u"" PPR_VERSION ""_s},
      {u"ReportParametersEntity"_s, u""_s},
      {u"IsMultiParameter"_s, u"false"_s},
  };
  EXPECT_EQ(record, expected);
}

}  // namespace
