// The demo report database that the build makes: its lookups and its report procedure keep the
// contract the program reads. Expected counts come from plain SQL over the tables.
#include "platform/base/Exception.h"
#include "platform/base/IdArray.h"
#include "platform/data/ado/ADOConnection.h"
#include "platform/data/ado/ADOQuery.h"
#include "platform/data/ado/ADOStoredProc.h"
#include "report/DatabaseContract.h"
#include "tests/platform/data/DataFixtures.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <array>

using namespace Qt::StringLiterals;

namespace {

class DemoDb : public ::testing::Test {
protected:
  void SetUp() override {
    const QString path = TestSupport::BinDir() + u"/demo.db"_s;
    ASSERT_TRUE(QFile::exists(path)) << "the build makes " << path.toStdString();
    FConnection.SetConnectionString(
        u"Provider=SQLOLEDB.1;Persist Security Info=True;Password=;User ID=demo;"
        u"Initial Catalog="_s +
        path + u";Data Source=sqlite"_s);
    FConnection.Open();
    FSp.SetConnection(&FConnection);
    DatabaseContract::DeclareReportProcedure(FSp);
  }

  std::unique_ptr<TADOQuery> Query(const QString& Sql) { return DataFixtures::OpenQuery(FConnection, Sql); }

  QByteArray TopLevelIds(const QString& Lookup) {
    auto q = Query(u"exec rprt_com_get_loockups '"_s + Lookup + u"'"_s);
    QByteArray ids;
    for (q->First(); !q->Eof(); q->Next())
      if (q->FieldByName(u"parentid"_s).AsInteger() == -1)
        ids += EncodeIdArray(std::array{q->FieldByName(u"id"_s).AsInteger()});
    return ids;
  }

  void Run(const QByteArray& Types, const QByteArray& States, const QByteArray& Subs, const QString& Year) {
    FSp.Close();
    FSp.Parameters().ParamByName(u"@MiTypesArray"_s).LoadFromStream(Types, ftBlob);
    FSp.Parameters().ParamByName(u"@MMStateArray"_s).LoadFromStream(States, ftBlob);
    FSp.Parameters().ParamByName(u"@SubDivsArray"_s).LoadFromStream(Subs, ftBlob);
    FSp.Parameters().ParamByName(u"@year"_s).SetValue(Year);
    FSp.Open();
  }

  int Count(const QString& Sql) { return Query(Sql)->Fields(0).AsInteger(); }

  QSet<int> DistinctInstruments() {
    QSet<int> ids;
    for (FSp.First(); !FSp.Eof(); FSp.Next()) ids.insert(FSp.FieldByName(u"IdN"_s).AsInteger());
    return ids;
  }

  TADOConnection FConnection;
  TADOStoredProc FSp;
};

}  // namespace

TEST_F(DemoDb, LookupsAreTreesOfIdFnameParentid) {
  struct {
    const char* Name;
    int Depth;
  } lookups[] = {{"tMiTypes", 3}, {"MMState", 2}, {"tSubDivs", 2}};
  for (const auto& lookup : lookups) {
    SCOPED_TRACE(lookup.Name);
    auto q = Query(u"exec rprt_com_get_loockups '"_s + QString::fromLatin1(lookup.Name) + u"'"_s);
    ASSERT_EQ(q->FieldCount(), 3);
    EXPECT_EQ(q->Fields(0).FieldName(), u"id"_s);
    EXPECT_EQ(q->Fields(1).FieldName(), u"fname"_s);
    EXPECT_EQ(q->Fields(2).FieldName(), u"parentid"_s);
    EXPECT_GT(q->RecordCount(), 3);
    QHash<int, int> parentOf;
    for (q->First(); !q->Eof(); q->Next()) {
      parentOf.insert(q->FieldByName(u"id"_s).AsInteger(), q->FieldByName(u"parentid"_s).AsInteger());
      EXPECT_TRUE(q->FieldByName(u"fname"_s).AsString().contains(QRegularExpression(u"[А-Яа-яЁё]"_s)));
      EXPECT_LE(q->FieldByName(u"fname"_s).AsString().size(), 100);
    }
    int deepest = 0;
    for (auto it = parentOf.begin(); it != parentOf.end(); ++it) {
      int depth = 1;
      for (int parent = it.value(); parent != -1; parent = parentOf.value(parent, -1)) {
        ASSERT_TRUE(parentOf.contains(parent)) << "parent " << parent << " of " << it.key();
        ++depth;
      }
      deepest = std::max(deepest, depth);
    }
    EXPECT_EQ(deepest, lookup.Depth);
  }
  EXPECT_EQ(Query(u"exec rprt_com_get_loockups 'nothing'"_s)->RecordCount(), 0);
}

TEST_F(DemoDb, ReportReturnsTheColumnsTheLayoutReadsWithRowsOfAnInstrumentTogether) {
  Run(TopLevelIds(u"tMiTypes"_s), TopLevelIds(u"MMState"_s), TopLevelIds(u"tSubDivs"_s), u"2026"_s);
  const QStringList columns = {u"VrfDate"_s, u"VrfInterval"_s, u"IdN"_s,      u"CA"_s,        u"VrfType"_s,
                               u"Sid"_s,     u"Sub"_s,         u"MIname"_s,   u"MItype"_s,    u"LocN"_s,
                               u"Limits"_s,  u"PrecisClass"_s, u"VrfDateF"_s, u"RemPeriod"_s, u"RemName"_s};
  ASSERT_EQ(FSp.FieldCount(), columns.size());
  for (int i = 0; i < columns.size(); ++i) EXPECT_EQ(FSp.Fields(i).FieldName(), columns[i]);

  EXPECT_EQ(DistinctInstruments().size(), Count(u"SELECT count(*) FROM tInstruments"_s))
      << "every group checked at the top selects every instrument in service";
  EXPECT_EQ(FSp.RecordCount(), Count(u"SELECT count(*) FROM tInstruments mi LEFT JOIN tInstrumentRepairs r "
                                     u"ON r.InstrumentId = mi.id"_s))
      << "one row per repair kind, one row for an instrument without repairs";
  const QRegularExpression monthYear(u"^(0[1-9]|1[0-2])\\.20[0-9][0-9]$"_s);
  QSet<int> finished;
  int current = -1, sid = 0, withRepair = 0, withoutRepair = 0;
  for (FSp.First(); !FSp.Eof(); FSp.Next()) {
    const int idn = FSp.FieldByName(u"IdN"_s).AsInteger();
    if (idn != current) {
      ASSERT_FALSE(finished.contains(idn)) << "rows of instrument " << idn << " are split";
      finished.insert(current);
      current = idn;
      sid = FSp.FieldByName(u"Sid"_s).AsInteger();
    }
    EXPECT_EQ(FSp.FieldByName(u"Sid"_s).AsInteger(), sid);
    EXPECT_TRUE(monthYear.match(FSp.FieldByName(u"VrfDate"_s).AsString()).hasMatch());
    EXPECT_TRUE(QList<int>({6, 12, 24, 36}).contains(FSp.FieldByName(u"VrfInterval"_s).AsInteger()));
    EXPECT_FALSE(FSp.FieldByName(u"Sub"_s).AsString().isEmpty());
    if (FSp.FieldByName(u"RemPeriod"_s).IsNull()) {
      ++withoutRepair;
      EXPECT_TRUE(FSp.FieldByName(u"RemName"_s).IsNull());
    } else {
      ++withRepair;
      EXPECT_GT(FSp.FieldByName(u"RemPeriod"_s).AsInteger(), 0);
      EXPECT_FALSE(FSp.FieldByName(u"RemName"_s).AsString().isEmpty());
    }
  }
  EXPECT_GT(withRepair, 0);
  EXPECT_GT(withoutRepair, 0);

  FSp.SetSort(u"sub"_s);  // what the layout does; an instrument's rows stay together
  finished.clear();
  current = -1;
  for (FSp.First(); !FSp.Eof(); FSp.Next()) {
    const int idn = FSp.FieldByName(u"IdN"_s).AsInteger();
    if (idn == current) continue;
    ASSERT_FALSE(finished.contains(idn)) << "sorting split instrument " << idn;
    finished.insert(current);
    current = idn;
  }
}

TEST_F(DemoDb, ReportSelectsByTheThreeListsAndTheYear) {
  const QByteArray types = TopLevelIds(u"tMiTypes"_s), states = TopLevelIds(u"MMState"_s);
  const QByteArray subs = TopLevelIds(u"tSubDivs"_s);
  const int unit = Query(u"SELECT id FROM tSubDivs WHERE parentid <> -1 ORDER BY id LIMIT 1"_s)->Fields(0).AsInteger();
  Run(types, states, EncodeIdArray(std::array{unit}), u"2026"_s);
  EXPECT_EQ(DistinctInstruments().size(),
            Count(u"SELECT count(*) FROM tInstruments WHERE SubDivId = "_s + QString::number(unit)));
  for (FSp.First(); !FSp.Eof(); FSp.Next()) EXPECT_EQ(FSp.FieldByName(u"Sid"_s).AsInteger(), unit);

  const int leafType =
      Query(u"SELECT TypeId FROM tInstruments GROUP BY TypeId ORDER BY count(*) DESC LIMIT 1"_s)->Fields(0).AsInteger();
  Run(EncodeIdArray(std::array{leafType}), states, subs, u"2026"_s);
  EXPECT_EQ(DistinctInstruments().size(),
            Count(u"SELECT count(*) FROM tInstruments WHERE TypeId = "_s + QString::number(leafType)));

  Run(types, states, subs, u"2012"_s);
  EXPECT_EQ(DistinctInstruments().size(), Count(u"SELECT count(*) FROM tInstruments WHERE InServiceYear <= 2012"_s));

  Run(EncodeIdArray(std::array{999999}), states, subs, u"2026"_s);
  EXPECT_EQ(FSp.RecordCount(), 0) << "an id that names nothing selects nothing";
  EXPECT_TRUE(FSp.IsEmpty());
}
