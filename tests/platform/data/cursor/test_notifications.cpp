// What a data link hears from its dataset, and in which order.
#include "platform/data/cursor/DataSource.h"
#include "platform/data/cursor/MemDataSet.h"
#include "tests/platform/data/DataFixtures.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace DataFixtures;

namespace {

std::unique_ptr<TADOQuery> Rows() { return OpenLookup({{1, -1, "A"}, {2, 1, "B"}, {3, 1, "C"}}); }

QStringList Take(TRecordingLink& Link) {
  QStringList events = Link.Events;
  Link.Events.clear();
  return events;
}

// Notes the dataset's state when it is told that the data changed.
class TStateLink : public TDataLink {
public:
  QList<TDataSetState> States;

protected:
  void DataSetChanged() override { States << DataSet()->State(); }
};

// A link bound to a source over three open rows, with what it heard so far taken.
class ALinkOnThreeRows : public ::testing::Test {
protected:
  void SetUp() override {
    link.SetDataSource(&source);
    Take(link);
  }
  std::unique_ptr<TADOQuery> q = Rows();
  TDataSource source{q.get()};
  TRecordingLink link;
};

}  // namespace

TEST(Notifications, OpenCloseAndBinding) {
  auto q = Rows();
  q->Close();
  TDataSource source(q.get());
  TRecordingLink link;
  link.SetDataSource(&source);
  EXPECT_TRUE(Take(link).isEmpty()) << "binding to a closed dataset";
  EXPECT_FALSE(link.Active());
  q->Open();
  EXPECT_EQ(Take(link), QStringList{u"active"_s});
  EXPECT_TRUE(link.Active());
  q->Close();
  EXPECT_EQ(Take(link), QStringList{u"active"_s});
  EXPECT_FALSE(link.Active());

  q->Open();
  TRecordingLink late;
  late.SetDataSource(&source);
  EXPECT_EQ(Take(late), QStringList{u"active"_s}) << "binding to an open dataset";
  late.SetDataSource(nullptr);
  EXPECT_EQ(Take(late), QStringList{u"active"_s});

  auto other = Rows();
  TDataSource otherSource(other.get());
  Take(link);
  link.SetDataSource(&otherSource);
  EXPECT_EQ(Take(link), QStringList{u"active"_s}) << "moving between two open sources";
  source.SetEnabled(false);
  link.SetDataSource(&source);
  EXPECT_EQ(Take(link), QStringList{u"active"_s});
  EXPECT_FALSE(link.Active()) << "a disabled source keeps its links inactive";
  q->Next();
  EXPECT_TRUE(Take(link).isEmpty());
}

TEST_F(ALinkOnThreeRows, MovingTheCurrentRow) {
  q->Next();
  q->Next();
  q->Next();  // at the end: no move
  q->First();
  q->First();  // already there
  q->Last();
  q->Prior();
  EXPECT_TRUE(q->Locate(u"id"_s, 1));
  EXPECT_TRUE(q->Locate(u"id"_s, 1));
  EXPECT_FALSE(q->Locate(u"id"_s, 9));
  const TBookmark third = [&] {
    q->Last();
    return q->GetBookmark();
  }();
  q->First();
  q->GotoBookmark(third);
  (void)q->Lookup(u"id"_s, 2, u"fname"_s);
  EXPECT_EQ(Take(link),
            (QStringList{u"scrolled 1"_s, u"scrolled 1"_s, u"scrolled -2"_s, u"scrolled 2"_s, u"scrolled -1"_s,
                         u"scrolled -1"_s, u"scrolled 2"_s, u"scrolled -2"_s, u"scrolled 2"_s}));
}

TEST_F(ALinkOnThreeRows, EditingPostingAndDeleting) {
  q->Edit();
  EXPECT_EQ(Take(link), QStringList{u"record"_s});
  q->FieldByName(u"fname"_s).SetValue(u"Z"_s);
  EXPECT_EQ(Take(link), QStringList{u"record fname"_s});
  q->Post();
  EXPECT_EQ(Take(link), (QStringList{u"changed"_s, u"record"_s})) << "the base DataSetChanged reports a record change";
  q->Insert();
  EXPECT_EQ(Take(link), (QStringList{u"changed"_s, u"record"_s}));
  q->FieldByName(u"id"_s).SetValue(7);
  q->Cancel();
  EXPECT_EQ(Take(link), (QStringList{u"record id"_s, u"changed"_s, u"record"_s}));
  q->Delete();
  EXPECT_EQ(Take(link), (QStringList{u"changed"_s, u"record"_s}));
  q->SetFilter(u"parentid=1"_s);
  EXPECT_TRUE(Take(link).isEmpty()) << "not filtered yet";
  q->SetFiltered(true);
  EXPECT_EQ(Take(link), (QStringList{u"changed"_s, u"record"_s}));
  q->SetSort(u"fname"_s);
  EXPECT_EQ(Take(link), (QStringList{u"changed"_s, u"record"_s}));

  TStateLink states;
  states.SetDataSource(&source);
  q->Edit();
  q->Post();
  q->Append();
  q->Cancel();
  EXPECT_EQ(states.States, (QList<TDataSetState>{dsBrowse, dsInsert, dsBrowse}))
      << "Post and Cancel notify after leaving the edit state; Append notifies in it";
}

TEST_F(ALinkOnThreeRows, DisabledControlsHoldEverythingBack) {
  q->DisableControls();
  q->DisableControls();
  EXPECT_TRUE(q->ControlsDisabled());
  q->Next();
  q->Edit();
  q->FieldByName(u"fname"_s).SetValue(u"Z"_s);
  q->Post();
  q->EnableControls();
  EXPECT_TRUE(Take(link).isEmpty()) << "still disabled once";
  q->EnableControls();
  EXPECT_FALSE(q->ControlsDisabled());
  EXPECT_EQ(Take(link), (QStringList{u"changed"_s, u"record"_s})) << "one change for all that was held back";

  q->DisableControls();
  q->EnableControls();
  EXPECT_TRUE(Take(link).isEmpty()) << "nothing happened";

  q->DisableControls();
  q->Close();
  EXPECT_TRUE(Take(link).isEmpty());
  q->EnableControls();
  EXPECT_EQ(Take(link), QStringList{u"active"_s});
  EXPECT_FALSE(link.Active());
}

TEST(Notifications, DestroyingTheDatasetOrTheSourceDetachesLinks) {
  TRecordingLink link;
  {
    auto q = Rows();
    TDataSource source(q.get());
    link.SetDataSource(&source);
    Take(link);
    q.reset();
    EXPECT_EQ(Take(link), QStringList{u"active"_s});
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_EQ(link.DataSet(), nullptr);
  }
  EXPECT_EQ(link.DataSource(), nullptr);
  EXPECT_TRUE(Take(link).isEmpty()) << "an inactive link hears nothing when its source goes";

  TMemDataSet ds({{u"id"_s, ftInteger}}, {{1}});
  ds.Open();
  {
    TDataSource source(&ds);
    link.SetDataSource(&source);
    Take(link);
  }
  EXPECT_EQ(Take(link), QStringList{u"active"_s});
  EXPECT_EQ(link.DataSource(), nullptr);
  ds.Next();  // the dataset no longer knows the source
  EXPECT_TRUE(Take(link).isEmpty());
}

TEST(Notifications, AHandlerMayUnbindOtherLinks) {
  auto q = Rows();
  TDataSource source(q.get());
  TRecordingLink second;
  struct TUnbinder : TDataLink {
    TDataLink* Victim = nullptr;
    void DataSetScrolled(int) override { Victim->SetDataSource(nullptr); }
  } first;
  first.Victim = &second;
  first.SetDataSource(&source);
  second.SetDataSource(&source);
  Take(second);
  q->Next();
  EXPECT_EQ(Take(second), QStringList{u"active"_s}) << "unbound before its turn: no scroll notice";
}

TEST(Notifications, AHandlerThatMovesTheCursorIsNotUndone) {
  auto q = Rows();
  TDataSource source(q.get());
  struct TMover : TDataLink {
    bool Moved = false;
    void DataSetScrolled(int) override {
      if (Moved) return;
      Moved = true;
      DataSet()->Next();
    }
  } mover;
  mover.SetDataSource(&source);
  q->Last();
  mover.Moved = false;
  q->First();  // the handler moves on to row 2 while First is still being told
  EXPECT_EQ(q->FieldByName(u"id"_s).AsInteger(), 2);
  EXPECT_FALSE(q->Bof()) << "First's own state must not overwrite where the handler went";
  EXPECT_FALSE(q->Eof());
}
