// The demo database's report procedure over lookups whose parents loop: it must end, and treat every
// member of a loop as a group above the others. The database is made here from the demo's own schema
// with small hand-written lookups; a hang is caught by the test's timeout (set in CMakeLists.txt).
#include "platform/base/IdArray.h"
#include "platform/data/ado/ADOConnection.h"
#include "platform/data/ado/ADOStoredProc.h"
#include "report/DatabaseContract.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// Each lookup: a loop 1 -> 2 -> 1, a row 3 that is its own parent, 5 under the loop's 1, a plain top 4.
// Instrument N has type, state and subdivision N for N in 1..5.
constexpr const char* kLoopedRows = R"sql(
INSERT INTO tMiTypes VALUES (1, 'T1', 2), (2, 'T2', 1), (3, 'T3', 3), (4, 'T4', -1), (5, 'T5', 1);
INSERT INTO MMState VALUES (1, 'S1', 2), (2, 'S2', 1), (3, 'S3', 3), (4, 'S4', -1), (5, 'S5', 1);
INSERT INTO tSubDivs VALUES (1, 'D1', 2), (2, 'D2', 1), (3, 'D3', 3), (4, 'D4', -1), (5, 'D5', 1);
INSERT INTO tInstruments
  SELECT n, 'Манометр', 'МП', n, n, n, 'L' || n, '0-10', '1,5', '03.2012', 12, '15.03.2012', 'П', 'ЦСМ', 2010
  FROM (SELECT 1 AS n UNION ALL SELECT 2 UNION ALL SELECT 3 UNION ALL SELECT 4 UNION ALL SELECT 5);
)sql";

class ParentLoops : public ::testing::Test {
protected:
  void SetUp() override {
    const QString path = FDir.filePath(u"loops.db"_s);
    QFile schema(TestSupport::SourceDir() + u"/db/schema.sql"_s);
    ASSERT_TRUE(schema.open(QIODevice::ReadOnly));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    char* error = nullptr;
    const QByteArray sql = schema.readAll() + QByteArray(kLoopedRows);
    const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;

    FConnection.SetConnectionString(u"Initial Catalog="_s + path + u";Data Source=sqlite"_s);
    FConnection.Open();
    FSp.SetConnection(&FConnection);
    DatabaseContract::DeclareReportProcedure(FSp);
  }

  // The instruments the report selects when all three arrays are Ids.
  QSet<int> Selected(std::initializer_list<std::int32_t> Ids) {
    FSp.Close();
    const QByteArray array = EncodeIdArray(Ids);
    for (const QString& name : {u"@MiTypesArray"_s, u"@MMStateArray"_s, u"@SubDivsArray"_s})
      FSp.Parameters().ParamByName(name).LoadFromStream(array, ftBlob);
    FSp.Parameters().ParamByName(u"@year"_s).SetValue(u"2024"_s);
    FSp.Open();
    QSet<int> ids;
    for (FSp.First(); !FSp.Eof(); FSp.Next()) ids.insert(FSp.FieldByName(u"IdN"_s).AsInteger());
    return ids;
  }

  QTemporaryDir FDir;
  TADOConnection FConnection;
  TADOStoredProc FSp;
};

TEST_F(ParentLoops, TheReportEndsAndEachMemberOfALoopIsAboveTheOthers) {
  struct TCase {
    const char* Name;
    std::initializer_list<int> Ids;
    QSet<int> Expected;
  };
  const TCase cases[] = {
      {"the loop's 1: itself, 2 above which it stands, 5 under it", {1}, {1, 2, 5}},
      {"the loop's 2: the same three", {2}, {1, 2, 5}},
      {"the row that is its own parent: itself alone", {3}, {3}},
      {"a plain top row beside the loops", {4}, {4}},
      {"5, under the loop: itself alone", {5}, {5}},
      {"an id that names nothing", {99}, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Selected(c.Ids), c.Expected);
  }
}

}  // namespace
