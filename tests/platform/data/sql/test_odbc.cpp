// The ODBC path for real, against the SQLite ODBC driver (no SQL Server can run here): parameters
// of every kind in, the same values out, checked again with SQLite's own reader.
#include "platform/base/Exception.h"
#include "platform/data/ado/ADOConnection.h"
#include "platform/data/cursor/RowStore.h"
#include "platform/data/sql/OdbcDriver.h"
#include "platform/data/sql/SqlServerOdbc.h"
#include "tests/platform/data/DataFixtures.h"
#include "tests/support/ExpectMessage.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;
using namespace DataFixtures;

using TestSupport::MessageOf;

namespace {

// The SQLite ODBC driver takes the path as it stands (it does not read braces); a scratch path
// has no ";" in it.
QString SqliteOdbc(const QString& Path) { return u"Driver={SQLite3};Database="_s + Path; }

// hex(b), s, typeof(...) of a row, read back with SQLite itself.
QString ReadBack(const QString& Path, const char* Sql) {
  sqlite3* db = nullptr;
  sqlite3_open(Path.toUtf8().constData(), &db);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, Sql, -1, &stmt, nullptr);
  QString result;
  if (sqlite3_step(stmt) == SQLITE_ROW)
    result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return result;
}

class OdbcTest : public ::testing::Test {
protected:
  void SetUp() override {
    FPath = MakeSqliteFile(FDir, u"odbc.db"_s,
                           u"CREATE TABLE t (n INTEGER, b BLOB, s TEXT, i INTEGER, big INTEGER, r REAL);"_s);
    FDriver = std::make_unique<TOdbcDriver>(SqliteOdbc(FPath));
  }
  QTemporaryDir FDir;
  QString FPath;
  std::unique_ptr<TOdbcDriver> FDriver;
};

}  // namespace

TEST_F(OdbcTest, BinaryTextIntegerAndNullParametersRoundTrip) {
  const QByteArray bytes("\x00\x00\x00\x05\xff\xfe\x00\x7f", 8);
  const QString cyrillic = u"Лаборатория измерений давления №1 «Ёж»"_s;
  FDriver->ExecParams(u"INSERT INTO t VALUES (?, ?, ?, ?, ?, ?)"_s,
                      {1, bytes, cyrillic, -42, QVariant(qlonglong(5000000000LL)), 2.5});
  FDriver->ExecParams(u"INSERT INTO t VALUES (?, ?, ?, ?, ?, ?)"_s,
                      {2, QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
  EXPECT_EQ(ReadBack(FPath, "SELECT hex(b) FROM t WHERE n = 1"), u"00000005FFFE007F"_s) << "the bytes arrive exactly";
  EXPECT_EQ(ReadBack(FPath, "SELECT s FROM t WHERE n = 1"), cyrillic);
  EXPECT_EQ(ReadBack(FPath, "SELECT typeof(b) || typeof(s) || typeof(i) FROM t WHERE n = 2"), u"nullnullnull"_s);

  TADOConnection connection;
  connection.OpenWithDriver(std::move(FDriver));
  TADOQuery q;
  q.SetConnection(&connection);
  q.SetSQL(u"SELECT n, b, s, i, big, r FROM t ORDER BY n"_s);
  q.Open();
  ASSERT_EQ(q.RecordCount(), 2);
  EXPECT_EQ(q.FieldByName(u"b"_s).Value(), QVariant(bytes));
  EXPECT_EQ(q.FieldByName(u"s"_s).AsString(), cyrillic);
  EXPECT_EQ(q.FieldByName(u"i"_s).AsInteger(), -42);
  EXPECT_EQ(q.FieldByName(u"big"_s).Value().toLongLong(), 5000000000LL);
  EXPECT_EQ(q.FieldByName(u"r"_s).Value().toDouble(), 2.5);
  q.Next();
  for (const char* name : {"b", "s", "i", "big", "r"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(q.FieldByName(QString::fromLatin1(name)).IsNull());
  }
}

TEST_F(OdbcTest, LongValuesArriveWhole) {
  QByteArray bytes;
  for (int i = 0; i < 20000; ++i) bytes.append(static_cast<char>(i % 251));
  QString text;
  for (int i = 0; i < 3000; ++i) text += u"Цех№"_s;
  FDriver->ExecParams(u"INSERT INTO t (n, b, s) VALUES (?, ?, ?)"_s, {1, bytes, text});
  auto store = FDriver->ExecQuery(u"SELECT b, s, length(s) AS n FROM t"_s);
  ASSERT_EQ(store->RowCount(), 1);
  EXPECT_EQ(store->Value(0, 0).toByteArray(), bytes);
  EXPECT_EQ(store->Value(0, 1).toString(), text);
  EXPECT_EQ(store->Value(0, 2).toInt(), 12000);
}

TEST_F(OdbcTest, StatementsWithoutRowsGiveAnEmptyResultAndErrorsCarryTheDriversText) {
  auto store = FDriver->ExecQuery(u"UPDATE t SET n = 1 WHERE n = 99"_s);
  EXPECT_EQ(store->FieldCount(), 0);
  EXPECT_EQ(store->RowCount(), 0);
  {
    const QString message = MessageOf([&] { FDriver->ExecQuery(u"SELECT * FROM nosuch"_s); });
    EXPECT_TRUE(message.contains(u"no such table"_s)) << message.toStdString();
  }
}

TEST(OdbcConnection, AnUnknownDriverFailsToConnect) {
  {
    const QString message = MessageOf([&] { TOdbcDriver driver(u"Driver={No Such Driver};Database={x}"_s); });
    EXPECT_TRUE(message.startsWith(u"ODBC connection failed: "_s)) << message.toStdString();
  }
}
