// The embedded engine on real SQLite files, and the report database contract.
#include "platform/base/Exception.h"
#include "platform/data/ado/ADOConnection.h"
#include "platform/data/ado/ADOStoredProc.h"
#include "tests/platform/data/DataFixtures.h"
#include "tests/support/ExpectMessage.h"

#include <gtest/gtest.h>
#include <QFile>

using namespace Qt::StringLiterals;
using namespace DataFixtures;

using TestSupport::MessageOf;

namespace {

QString ConnectionStringFor(const QString& Path, const QString& Server = u"sqlite"_s) {
  return u"Provider=SQLOLEDB.1;Persist Security Info=True;Password=secret;User ID=someone;Initial Catalog="_s + Path +
         u";Data Source="_s + Server;
}

class SqliteTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FDir.isValid());
    FPath = MakeSqliteFile(FDir, u"report.db"_s,
                           uR"sql(
      CREATE TABLE procedures (name TEXT PRIMARY KEY, body TEXT NOT NULL);
      CREATE TABLE t (i INTEGER, big INTEGER, r REAL, s TEXT, b BLOB, d);
      INSERT INTO t VALUES (42, 5000000000, 2.5, 'Лаборатория №1', x'00FF10', 'x');
      INSERT INTO t VALUES (NULL, NULL, NULL, NULL, NULL, NULL);
      INSERT INTO t VALUES (-7, 1, 0.0, '', x'', 12);
      INSERT INTO procedures VALUES ('Echo', 'SELECT ?1 AS a, ?2 AS b, typeof(?2) AS tb, ?3 AS c');
      INSERT INTO procedures VALUES ('Named',
        'SELECT hex(@MiTypesArray) AS h, typeof(@MiTypesArray) AS th, @year AS y, typeof(@year) AS ty,
                typeof(@SubDivsArray) AS ts, length(@MMStateArray) AS lm');
      INSERT INTO procedures VALUES ('Writer', 'DELETE FROM t');
      INSERT INTO procedures VALUES ('Two', 'SELECT 1; SELECT 2');
      CREATE TABLE lookup (id INTEGER PRIMARY KEY, fname TEXT, parentid INTEGER);
      INSERT INTO lookup VALUES (1, 'Цех № 2', -1), (2, 'Участок Б', 1), (3, 'участок а', 1), (4, 'Цех № 1', -1),
                                (5, 'Участок Б', 4), (6, NULL, 4);
      INSERT INTO procedures VALUES ('rprt_com_get_loockups',
        'SELECT id, fname, parentid FROM lookup WHERE ?1 = ''tSubDivs'' ORDER BY id');
    )sql"_s);
    FConnection.SetConnectionString(ConnectionStringFor(FPath));
    FConnection.SetLoginPrompt(false);
    FConnection.Open();
  }

  std::unique_ptr<TADOQuery> Query(const QString& Sql) { return DataFixtures::OpenQuery(FConnection, Sql); }

  QString ErrorOf(const QString& Sql) {
    return MessageOf([&] { Query(Sql); });
  }

  QTemporaryDir FDir;
  QString FPath;
  TADOConnection FConnection;
};

}  // namespace

TEST_F(SqliteTest, FetchesEveryRowWithItsTypesAndNulls) {
  auto q = Query(u"SELECT i, big, r, s, b, d FROM t ORDER BY rowid"_s);
  EXPECT_EQ(q->RecordCount(), 3);
  EXPECT_EQ(q->FieldByName(u"i"_s).DataType(), ftInteger);
  EXPECT_EQ(q->FieldByName(u"big"_s).DataType(), ftLargeint) << "a value beyond 32 bits";
  EXPECT_EQ(q->FieldByName(u"r"_s).DataType(), ftFloat);
  EXPECT_EQ(q->FieldByName(u"s"_s).DataType(), ftWideString);
  EXPECT_EQ(q->FieldByName(u"b"_s).DataType(), ftBlob);
  EXPECT_EQ(q->FieldByName(u"i"_s).Value(), QVariant(42));
  EXPECT_EQ(q->FieldByName(u"big"_s).Value(), QVariant(5000000000LL));
  EXPECT_EQ(q->FieldByName(u"r"_s).Value(), QVariant(2.5));
  EXPECT_EQ(q->FieldByName(u"s"_s).AsString(), u"Лаборатория №1"_s);
  EXPECT_EQ(q->FieldByName(u"b"_s).Value(), QVariant(QByteArray("\x00\xff\x10", 3)));
  EXPECT_EQ(q->FieldByName(u"d"_s).AsString(), u"x"_s);
  q->Next();
  for (const char* name : {"i", "big", "r", "s", "b", "d"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(q->FieldByName(QString::fromLatin1(name)).IsNull());
  }
  EXPECT_EQ(q->FieldByName(u"i"_s).Value().typeId(), QMetaType::Int);
  q->Next();
  EXPECT_EQ(q->FieldByName(u"i"_s).AsInteger(), -7);
  EXPECT_FALSE(q->FieldByName(u"s"_s).IsNull()) << "empty text is not NULL";
  EXPECT_FALSE(q->FieldByName(u"b"_s).IsNull()) << "an empty blob is not NULL";
  EXPECT_EQ(q->FieldByName(u"d"_s).AsString(), u"12"_s);

  // A column of mixed kinds (SQLite allows it) is still found by each kind of value.
  EXPECT_TRUE(q->Locate(u"d"_s, u"X"_s));
  EXPECT_EQ(q->RecNo(), 1);
  EXPECT_TRUE(q->Locate(u"d"_s, 12));
  EXPECT_EQ(q->RecNo(), 3);
  EXPECT_TRUE(q->Locate(u"d"_s, QVariant()));
  EXPECT_EQ(q->RecNo(), 2);
  EXPECT_TRUE(q->Locate(u"big"_s, u"5000000000"_s));
  EXPECT_EQ(q->RecNo(), 1);
}

TEST_F(SqliteTest, ALookupFromAFileFiltersSortsAndClones) {
  auto q = Query(u"exec rprt_com_get_loockups 'tSubDivs'"_s);
  ASSERT_EQ(q->RecordCount(), 6);
  std::unique_ptr<TCustomADODataSet> clone(q->NewInstance());
  clone->Clone(*q, ltReadOnly);
  clone->SetFilter(u"parentid=4"_s);
  clone->SetFiltered(true);
  EXPECT_EQ(Ids(*clone), u"5,6"_s);
  q->Locate(u"id"_s, 3);
  const TBookmark third = q->GetBookmark();
  clone->SetSort(u"fname"_s);
  clone->SetFilter(u"parentid <> -1"_s);
  EXPECT_EQ(Ids(*clone), u"6,3,2,5"_s) << "NULL first, then without regard to case, equal names in row order";
  clone->GotoBookmark(third);
  EXPECT_EQ(clone->FieldByName(u"fname"_s).AsString(), u"участок а"_s);
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 3) << "the master did not move";
  EXPECT_EQ(q->RecordCount(), 6);
  EXPECT_TRUE(q->Filter().isEmpty());
}

TEST_F(SqliteTest, TextInAnIntegerColumnStaysText) {
  auto q = Query(u"CREATE TABLE u (i INTEGER); INSERT INTO u VALUES (1), ('abc'); SELECT i FROM u ORDER BY rowid"_s);
  EXPECT_EQ(q->FieldByName(u"i"_s).DataType(), ftInteger);
  EXPECT_EQ(q->FieldByName(u"i"_s).Value(), QVariant(1));
  q->Next();
  EXPECT_EQ(q->FieldByName(u"i"_s).Value(), QVariant(u"abc"_s));
}

TEST_F(SqliteTest, ExecRunsAProcedureBodyWithItsLiterals) {
  struct {
    const char* Sql;
    const char* A;
    const char* B;
    const char* TypeOfB;
    const char* C;
  } cases[] = {
      {"exec Echo 'tMiTypes'", "tMiTypes", "", "null", ""},
      {"EXEC echo 'it''s, ok', 42", "it's, ok", "42", "integer", ""},
      {"  exec ECHO 'Цех', -3 , 'x';  ", "Цех", "-3", "integer", "x"},
      {"execute dbo.Echo N'a', '12'", "a", "12", "text", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Sql);
    auto q = Query(QString::fromUtf8(c.Sql));
    EXPECT_EQ(q->FieldByName(u"a"_s).AsString(), QString::fromUtf8(c.A));
    EXPECT_EQ(q->FieldByName(u"b"_s).AsString(), QString::fromUtf8(c.B));
    EXPECT_EQ(q->FieldByName(u"tb"_s).AsString(), QString::fromUtf8(c.TypeOfB));
    EXPECT_EQ(q->FieldByName(u"c"_s).AsString(), QString::fromUtf8(c.C));
  }
}

TEST_F(SqliteTest, StoredProcedureBindsDeclaredParametersByName) {
  TADOStoredProc sp;
  sp.SetConnection(&FConnection);
  sp.SetProcedureName(u"named"_s);
  sp.Parameters().CreateParameter(u"@MiTypesArray"_s, ftBlob, pdInput, 2147483647);
  sp.Parameters().CreateParameter(u"@MMStateArray"_s, ftBlob, pdInput, 2147483647);
  sp.Parameters().CreateParameter(u"@SubDivsArray"_s, ftBlob, pdInput, 2147483647);
  sp.Parameters().CreateParameter(u"@year"_s, ftString, pdInput, 4);
  sp.Parameters()
      .ParamByName(u"@MiTypesArray"_s)
      .LoadFromStream(QByteArray("\x00\x00\x00\x05\x00\x00\x01\x02", 8), ftBlob);
  sp.Parameters().ParamByName(u"@mmstatearray"_s).LoadFromStream(QByteArray(), ftBlob);
  sp.Parameters().ParamByName(u"@year"_s).SetValue(u"2013"_s);
  sp.Open();
  EXPECT_EQ(sp.FieldByName(u"h"_s).AsString(), u"0000000500000102"_s);
  EXPECT_EQ(sp.FieldByName(u"th"_s).AsString(), u"blob"_s);
  EXPECT_EQ(sp.FieldByName(u"y"_s).AsString(), u"2013"_s);
  EXPECT_EQ(sp.FieldByName(u"ty"_s).AsString(), u"text"_s) << "the year goes as text, not a number";
  EXPECT_EQ(sp.FieldByName(u"ts"_s).AsString(), u"null"_s) << "a parameter without a value is NULL";
  EXPECT_EQ(sp.FieldByName(u"lm"_s).AsInteger(), 0);
  sp.Close();
  sp.Parameters().ParamByName(u"@year"_s).SetValue(2014);
  sp.Open();
  EXPECT_EQ(sp.FieldByName(u"y"_s).AsString(), u"2014"_s);
  EXPECT_EQ(sp.FieldByName(u"ty"_s).AsString(), u"text"_s) << "a text parameter sends text whatever it was given";
  EXPECT_EQ(sp.FieldByName(u"h"_s).AsString(), u"0000000500000102"_s) << "parameters keep their values";

  EXPECT_EQ(MessageOf([&] { sp.Parameters().ParamByName(u"@nope"_s); }), u"Parameter '@nope' not found"_s);
}

TEST_F(SqliteTest, IdArrayContainsReadsBigEndianSigned32BitElements) {
  struct {
    const char* Array;
    const char* Id;
    int Expected;
  } cases[] = {
      {"x'0000000500000102'", "5", 1},
      {"x'0000000500000102'", "258", 1},
      {"x'0000000500000102'", "6", 0},
      {"x'0000000500000102'", "1280", 0},  // 00 00 05 00 would be little-endian misreading
      {"x'FFFFFFFF'", "-1", 1},
      {"x'FFFFFFFF'", "4294967295", 0},
      {"x'7FFFFFFF80000000'", "2147483647", 1},
      {"x'7FFFFFFF80000000'", "-2147483648", 1},
      {"x'00000005'", "NULL", 0},
      {"NULL", "5", 0},
      {"x''", "0", 0},
      {"x'000000050000'", "0", 0},  // a trailing part-element is not an element
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Array) + " " + c.Id);
    auto q = Query(u"SELECT idarray_contains("_s + QString::fromLatin1(c.Array) + u", "_s + QString::fromLatin1(c.Id) +
                   u") AS hit"_s);
    EXPECT_EQ(q->FieldByName(u"hit"_s).AsInteger(), c.Expected);
  }
}

TEST_F(SqliteTest, ErrorsSayWhatWentWrong) {
  EXPECT_EQ(ErrorOf(u"exec nosuch 'a'"_s), u"Procedure 'nosuch' not found"_s);
  EXPECT_EQ(ErrorOf(u"exec Echo 'a', 'b', 'c', 'd'"_s), u"Procedure 'Echo' has too many arguments specified"_s);
  EXPECT_EQ(ErrorOf(u"exec Writer"_s), u"Procedure 'Writer': its body must be one SELECT statement"_s);
  EXPECT_EQ(ErrorOf(u"exec Two"_s), u"Procedure 'Two': its body must be one SELECT statement"_s);
  EXPECT_EQ(ErrorOf(u"exec Echo 'unterminated"_s), u"Invalid exec statement 'exec Echo 'unterminated'"_s);
  EXPECT_EQ(ErrorOf(u"SELECT * FROM nosuch"_s), u"no such table: nosuch"_s);
  auto q = Query(u"SELECT 1 AS one"_s);
  EXPECT_EQ(MessageOf([&] { q->FieldByName(u"two"_s); }), u"Field 'two' not found"_s);
  EXPECT_EQ(Query(u"SELECT count(*) AS n FROM t"_s)->FieldByName(u"n"_s).AsInteger(), 3)
      << "the refused procedure wrote nothing";
}

TEST(SqliteConnection, AMissingFileIsAnErrorAndIsNotCreated) {
  QTemporaryDir dir;
  const QString missing = dir.filePath(u"missing.db"_s);
  TADOConnection connection;
  connection.SetConnectionString(ConnectionStringFor(missing, u"SQLite"_s));
  EXPECT_EQ(MessageOf([&] { connection.Open(); }),
            u"Cannot open database '"_s + missing + u"': the file does not exist"_s);
  EXPECT_FALSE(connection.Connected());
  EXPECT_FALSE(QFile::exists(missing));

  const QString notADatabase = dir.filePath(u"text.db"_s);
  QFile file(notADatabase);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("this is not a database, only some text that is long enough to be read as a header\n");
  file.close();
  connection.SetConnectionString(ConnectionStringFor(notADatabase, u"SQLITE"_s));
  EXPECT_EQ(MessageOf([&] { connection.Open(); }),
            u"Cannot open database '"_s + notADatabase + u"': file is not a database"_s);
}

TEST(SqliteConnection, QueryOpensItsConnectionAndNeedsOne) {
  QTemporaryDir dir;
  const QString path = MakeSqliteFile(dir, u"a.db"_s, u"CREATE TABLE x (v); INSERT INTO x VALUES (1);"_s);
  TADOConnection connection;
  connection.SetParams({u"sqlite"_s, path, QString(), QString()});
  TADOQuery q;
  EXPECT_EQ(MessageOf([&] { q.Open(); }), u"Missing Connection or ConnectionString"_s);
  q.SetConnection(&connection);
  q.SetSQL(u"SELECT v FROM x"_s);
  q.Open();
  EXPECT_TRUE(connection.Connected());
  EXPECT_EQ(q.FieldByName(u"v"_s).AsInteger(), 1);
  connection.Close();
  EXPECT_EQ(q.FieldByName(u"v"_s).AsInteger(), 1) << "fetched rows stay after the connection closes";

  TADOQuery given;
  given.OpenOnRows({{u"v"_s, ftInteger}}, {{7}});
  given.Close();
  given.Open();
  EXPECT_EQ(given.FieldByName(u"v"_s).AsInteger(), 7) << "reopens on the rows it was given";
  given.Close();
  given.SetConnection(&connection);
  given.SetSQL(u"SELECT v FROM x"_s);
  given.Open();
  EXPECT_EQ(given.FieldByName(u"v"_s).AsInteger(), 1) << "a statement set afterwards runs";
}
