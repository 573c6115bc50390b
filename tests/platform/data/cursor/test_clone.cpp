// A clone: a second, read-only cursor over its master's rows.
#include "platform/base/Exception.h"
#include "platform/data/cursor/DataSource.h"
#include "tests/platform/data/DataFixtures.h"
#include "tests/support/ExpectMessage.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace DataFixtures;

using TestSupport::MessageOf;

namespace {

std::unique_ptr<TADOQuery> Master() {
  return OpenLookup({{1, -1, "A"}, {2, 1, "B"}, {3, 1, "C"}, {4, -1, "D"}, {5, 4, "E"}});
}

std::unique_ptr<TCustomADODataSet> CloneOf(TCustomADODataSet& Master) {
  std::unique_ptr<TCustomADODataSet> clone(Master.NewInstance());
  clone->Clone(Master, ltReadOnly);
  return clone;
}

int Id(TDataSet& D) { return D.FieldByName(u"id"_s).AsInteger(); }

}  // namespace

TEST(Clone, IsANewDatasetOfTheMastersClassOverTheSameRows) {
  auto master = Master();
  std::unique_ptr<TCustomADODataSet> fresh(master->NewInstance());
  EXPECT_NE(dynamic_cast<TADOQuery*>(fresh.get()), nullptr);
  EXPECT_FALSE(fresh->Active());
  fresh->Clone(*master, ltReadOnly);
  EXPECT_TRUE(fresh->Active());
  EXPECT_EQ(Ids(*fresh), u"1,2,3,4,5"_s);
  EXPECT_EQ(fresh->FieldByName(u"FName"_s).FieldName(), u"fname"_s);
  EXPECT_TRUE(fresh->Filter().isEmpty());
}

TEST(Clone, FilteringOrMovingTheCloneNeverFiltersOrMovesTheMaster) {
  auto master = Master();
  master->SetFilter(u"id <> 5"_s);
  master->SetFiltered(true);
  master->Locate(u"id"_s, 3);
  auto clone = CloneOf(*master);
  EXPECT_EQ(clone->RecordCount(), 5) << "the clone does not take the master's filter";

  clone->SetFilter(u"(" + master->Filter() + u") AND (parentid=1)"_s);
  clone->SetFiltered(true);
  EXPECT_EQ(Ids(*clone), u"2,3"_s);
  clone->Last();
  clone->SetFilter(u"parentid=-1"_s);
  EXPECT_EQ(Id(*clone), 1);
  EXPECT_EQ(master->RecordCount(), 4);
  EXPECT_EQ(Id(*master), 3);
  EXPECT_EQ(master->Filter(), u"id <> 5"_s);

  master->First();
  EXPECT_EQ(Id(*clone), 1);
  clone->Next();
  EXPECT_EQ(Id(*clone), 4);
  EXPECT_EQ(Id(*master), 1) << "moving the clone leaves the master";
}

TEST(Clone, CannotWrite) {
  auto master = Master();
  auto clone = CloneOf(*master);
  for (auto write : {+[](TDataSet& d) { d.Edit(); }, +[](TDataSet& d) { d.Insert(); }, +[](TDataSet& d) { d.Append(); },
                     +[](TDataSet& d) { d.Delete(); }}) {
    EXPECT_EQ(MessageOf([&] { write(*clone); }), u"Cannot modify a read-only dataset"_s);
    EXPECT_EQ(clone->State(), dsBrowse);
  }
  EXPECT_EQ(master->RecordCount(), 5);
}

TEST(Clone, SeesPostedChangesButNotTheMastersEditBuffer) {
  auto master = Master();
  auto clone = CloneOf(*master);
  clone->Locate(u"id"_s, 4);

  master->Locate(u"id"_s, 2);
  master->Edit();
  master->FieldByName(u"parentid"_s).SetValue(4);
  EXPECT_EQ(clone->Lookup(u"id"_s, 2, u"parentid"_s), QVariant(1)) << "not posted yet";
  clone->SetFilter(u"parentid=4"_s);
  clone->SetFiltered(true);
  EXPECT_EQ(Ids(*clone), u"5"_s);
  master->Post();
  EXPECT_EQ(Ids(*clone), u"2,5"_s) << "a filtered clone refilters after the post";

  clone->SetFiltered(false);
  clone->Locate(u"id"_s, 4);
  master->Locate(u"id"_s, 1);
  master->Insert();  // goes before row 1
  master->FieldByName(u"id"_s).SetValue(9);
  master->FieldByName(u"parentid"_s).SetValue(-1);
  master->Post();
  EXPECT_EQ(Id(*clone), 4) << "the clone stays on its row while rows are added before it";
  EXPECT_EQ(Ids(*clone), u"9,1,2,3,4,5"_s);
  EXPECT_EQ(clone->Lookup(u"parentid"_s, -1, u"id"_s), QVariant(9)) << "the shared index was rebuilt";

  clone->Locate(u"id"_s, 3);
  master->Locate(u"id"_s, 3);
  master->Delete();
  EXPECT_EQ(clone->RecordCount(), 5);
  EXPECT_FALSE(clone->Locate(u"id"_s, 3));
}

TEST(Clone, SharesBookmarksAndOutlivesItsMastersRows) {
  auto master = Master();
  auto clone = CloneOf(*master);
  master->Locate(u"id"_s, 5);
  clone->GotoBookmark(master->GetBookmark());
  EXPECT_EQ(Id(*clone), 5);
  master->Close();
  EXPECT_EQ(Ids(*clone), u"1,2,3,4,5"_s) << "the rows live while a clone uses them";
  EXPECT_EQ(MessageOf([&] { clone->Clone(*master, ltReadOnly); }),
            u"Cannot perform this operation on a closed dataset"_s);
}

TEST(Clone, NeverNotifiesTheMastersLinks) {
  auto master = Master();
  TDataSource source(master.get());
  TRecordingLink link;
  link.SetDataSource(&source);
  link.Events.clear();
  auto clone = CloneOf(*master);
  clone->Last();
  clone->SetFilter(u"parentid=1"_s);
  clone->SetFiltered(true);
  clone->Locate(u"id"_s, 3);
  clone->Close();
  EXPECT_TRUE(link.Events.isEmpty()) << link.Events.join(u", "_s).toStdString();
}

TEST(Clone, BranchWalkWithChildLookupsVisitsEachBranchInRowOrder) {
  // The tree's way of loading a branch: filter the clone by parent, and for each child look up
  // (filter off) whether it has children of its own, then come back to it (filter on, bookmark).
  auto master = OpenLookup({{1, -1, "A"}, {2, 1, "B"}, {3, 1, "C"}, {4, -1, "D"}, {5, 3, "E"}, {6, 1, "F"}});
  master->SetFilter(u"id <> 6"_s);
  master->SetFiltered(true);
  auto clone = CloneOf(*master);
  QStringList seen;
  for (const char* parent : {"-1", "1", "3", "4"}) {
    clone->SetFilter(u"("_s + master->Filter() + u") AND (parentid="_s + QString::fromLatin1(parent) + u")"_s);
    clone->SetFiltered(true);
    QStringList branch;
    for (clone->First(); !clone->Eof(); clone->Next()) {
      const QString key = clone->FieldByName(u"id"_s).AsString();
      const TBookmark here = clone->GetBookmark();
      clone->SetFiltered(false);
      const bool hasChildren = !clone->Lookup(u"parentid"_s, key, u"parentid"_s).isNull();
      clone->SetFiltered(true);
      clone->GotoBookmark(here);
      branch << key + (hasChildren ? u"+"_s : u""_s);
    }
    clone->SetFiltered(false);
    seen << QString::fromLatin1(parent) + u":"_s + branch.join(u',');
  }
  EXPECT_EQ(seen, (QStringList{u"-1:1+,4"_s, u"1:2,3+"_s, u"3:5"_s, u"4:"_s}))
      << "6 is hidden by the master's filter; the child lookup runs unfiltered";
  EXPECT_EQ(master->RecordCount(), 5);
}
