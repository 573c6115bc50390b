// Reading the connection string, and what reaches SQL Server's ODBC driver (as text: no server here).
#include "platform/base/Exception.h"
#include "platform/data/ado/ADOConnection.h"
#include "platform/data/sql/ConnectionParams.h"
#include "platform/data/sql/SqlServerOdbc.h"
#include "tests/support/ExpectMessage.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

using TestSupport::MessageOf;

namespace {

QString Build(const QString& Pass, const QString& Login, const QString& Db, const QString& Server) {
  return u"Provider=SQLOLEDB.1;Persist Security Info=True;Password="_s + Pass + u";User ID="_s + Login +
         u";Initial Catalog="_s + Db + u";Data Source="_s + Server;
}

}  // namespace

TEST(ConnectionString, NoValueCanChangeAnotherKey) {
  struct {
    const char* Name;
    QString Server, Db, Login, Pass;
  } cases[] = {
      {"plain", u"srv01\\SQLEXPRESS"_s, u"Metrology"_s, u"report"_s, u"p@ss"_s},
      {"empty password", u"srv"_s, u"db"_s, u"sa"_s, u""_s},
      {"password naming another catalog", u"srv"_s, u"db"_s, u"sa"_s, u";Initial Catalog=x"_s},
      {"password naming every key", u"srv"_s, u"db"_s, u"sa"_s, u"a;User ID=b;Initial Catalog=c;Data Source=d"_s},
      {"values with blanks and Cyrillic", u"сервер 1"_s, u"База ППР"_s, u"Иванов И.И."_s, u"пароль с пробелом"_s},
      {"equals signs and semicolons", u"srv"_s, u"db=1"_s, u"a=b"_s, u"=;=;"_s},
      {"sqlite path", u"sqlite"_s, u"/srv/data/demo.db"_s, u""_s, u""_s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TConnectionParams params = TConnectionParams::Parse(Build(c.Pass, c.Login, c.Db, c.Server));
    EXPECT_EQ(params.Server, c.Server);
    EXPECT_EQ(params.Database, c.Db);
    EXPECT_EQ(params.Login, c.Login);
    EXPECT_EQ(params.Password, c.Pass);
  }
}

TEST(ConnectionString, OtherLayoutsAreReadAsPairs) {
  const TConnectionParams params = TConnectionParams::Parse(u"Data Source=SQLite;Initial Catalog=/tmp/a.db"_s);
  EXPECT_TRUE(params.IsSqlite());
  EXPECT_EQ(params.Database, u"/tmp/a.db"_s);
  EXPECT_TRUE(params.Login.isEmpty());
  EXPECT_FALSE(TConnectionParams::Parse(Build(u""_s, u"sa"_s, u"db"_s, u"sqlite-host"_s)).IsSqlite());
}

TEST(SqlServerOdbc, DriverConnectionStringQuotesEveryValue) {
  const TConnectionParams params{u"db.example.org,1433"_s, u"Metrology"_s, u"report"_s, u"p}w;Server=evil"_s};
  EXPECT_EQ(TSqlServerOdbc::DriverConnectionString(params, u"FreeTDS"_s),
            u"Driver={FreeTDS};Server={db.example.org};Port={1433};Database={Metrology};UID={report};"
            u"PWD={p}}w;Server=evil};TDS_Version=7.4;ClientCharset=UTF-8"_s);
  EXPECT_EQ(TSqlServerOdbc::DriverConnectionString(params, u"ODBC Driver 18 for SQL Server"_s),
            u"Driver={ODBC Driver 18 for SQL Server};Server={db.example.org,1433};Database={Metrology};"
            u"UID={report};PWD={p}}w;Server=evil}"_s);
  EXPECT_EQ(TSqlServerOdbc::DriverConnectionString({u"srv\\INST"_s, u"db"_s, u"sa"_s, u""_s}, u"FreeTDS"_s),
            u"Driver={FreeTDS};Server={srv\\INST};Database={db};UID={sa};PWD={};TDS_Version=7.4;ClientCharset=UTF-8"_s);
}

TEST(SqlServerOdbc, DriverComesFromTheEnvironment) {
  const QByteArray saved = qgetenv("PPR_ODBC_DRIVER");
  qunsetenv("PPR_ODBC_DRIVER");
  EXPECT_EQ(TSqlServerOdbc::DefaultDriver(), u"FreeTDS"_s);
  qputenv("PPR_ODBC_DRIVER", "ODBC Driver 18 for SQL Server");
  EXPECT_EQ(TSqlServerOdbc::DefaultDriver(), u"ODBC Driver 18 for SQL Server"_s);
  if (saved.isNull())
    qunsetenv("PPR_ODBC_DRIVER");
  else
    qputenv("PPR_ODBC_DRIVER", saved);
}

TEST(SqlServerOdbc, ProcedureCallNamesEachParameter) {
  EXPECT_EQ(TSqlServerOdbc::ProcedureCall(u"rprt_get_PPR_box"_s,
                                          {u"@MiTypesArray"_s, u"@MMStateArray"_s, u"@SubDivsArray"_s, u"year"_s}),
            u"exec rprt_get_PPR_box @MiTypesArray=?, @MMStateArray=?, @SubDivsArray=?, @year=?"_s);
  EXPECT_EQ(TSqlServerOdbc::ProcedureCall(u"p"_s, {}), u"exec p"_s);
}

TEST(SqlServerOdbc, AnyOtherDataSourceGoesToFreeTdsWithItsQuotedSettings) {
  // Port 1 on the loopback refuses at once. FreeTDS's own log (TDSDUMP) shows what it read from
  // the quoted connection string: host, port, protocol and client charset.
  QTemporaryDir dir;
  const QString log = dir.filePath(u"tds.log"_s);
  const QByteArray savedDriver = qgetenv("PPR_ODBC_DRIVER");
  qunsetenv("PPR_ODBC_DRIVER");
  qputenv("TDSDUMP", QFile::encodeName(log));
  TADOConnection connection;
  connection.SetConnectionString(Build(u"p}w;Port=2"_s, u"sa"_s, u"/tmp/nosuch.db"_s, u"127.0.0.1,1"_s));
  {
    const QString message = MessageOf([&] { connection.Open(); });
    EXPECT_TRUE(message.startsWith(u"ODBC connection failed: [FreeTDS]"_s)) << message.toStdString();
  }
  qunsetenv("TDSDUMP");
  if (!savedDriver.isNull()) qputenv("PPR_ODBC_DRIVER", savedDriver);
  QFile file(log);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "FreeTDS wrote no log";
  const QString text = QString::fromUtf8(file.readAll());
  EXPECT_TRUE(text.contains(u"Connecting with protocol version 7.4"_s));
  EXPECT_TRUE(text.contains(u"Connecting to 127.0.0.1 port 1\n"_s)) << "a password holding ;Port=2 changed nothing";
  EXPECT_TRUE(text.contains(u"client charset \"UTF-8\""_s));
}
