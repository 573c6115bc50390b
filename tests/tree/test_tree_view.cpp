#include "TreeDbFixture.h"

#include "platform/base/Exception.h"
#include "platform/data/cursor/MemDataSet.h"
#include "tests/support/ExpectMessage.h"
#include "tree/DBTreeViewCore.h"

#include <gtest/gtest.h>

#include <optional>

using namespace Qt::StringLiterals;

using TestSupport::MessageOf;

namespace {

// A tree bound with the window's settings to a new lookup database (Load); the query is not opened.
class TreeView : public ::testing::Test {
protected:
  void Load(const std::vector<TLookupRow>& Rows) {
    FDb.emplace(Rows);
    Bind(tree, *FDb);
  }
  TTreeDb& Db() { return *FDb; }

  std::optional<TTreeDb> FDb;  // outlives the tree, as the window's queries outlive their trees
  TTestTree tree;
};
class AdoTree : public TreeView {};
class CheckHelpersOnData : public TreeView {};

QStringList Walk(TTestTree& Tree) {
  QStringList captions;
  for (PVirtualNode n = Tree.GetFirst(); n; n = Tree.GetNext(n)) captions << Tree.GetText(n);
  return captions;
}

TEST_F(TreeView, TopLevelFirstThenBranchesOnFirstNeed) {
  Load(AbcdRows());
  EXPECT_EQ(tree.TotalCount(), 0u);
  EXPECT_EQ(tree.FCloneDataSet, nullptr);
  Db().Query.Open();
  ASSERT_NE(tree.FCloneDataSet, nullptr);
  EXPECT_EQ(Shape(tree), (QStringList{u"A+*"_s, u"D"_s}));  // focus on the master's first row
  EXPECT_EQ(tree.IndexKeys(), (QStringList{u"1"_s, u"4"_s}));
  EXPECT_EQ(tree.UpdateCount(), 0);
  tree.SetExpanded(tree.Node(1), true);
  EXPECT_EQ(Shape(tree), (QStringList{u"A+*"_s, u".B"_s, u".C"_s, u"D"_s}));
  EXPECT_EQ(tree.IndexKeys(), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
}

TEST_F(TreeView, AWalkLoadsEveryBranch) {
  Load(AbcdRows());
  Db().Query.Open();
  EXPECT_EQ(Walk(tree), (QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s}));
  EXPECT_EQ(tree.IndexKeys(), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
  EXPECT_FALSE(tree.Node(1)->States & vsExpanded);
}

TEST_F(TreeView, MasterFilterHidingTheChildrenLeavesAButtonThatGoesOnExpansion) {
  Load(AbcdRows());
  Db().Query.SetFilter(u"fname <> 'B' AND fname <> 'C'"_s);
  Db().Query.SetFiltered(true);
  Db().Query.Open();
  EXPECT_EQ(Shape(tree), (QStringList{u"A+*"_s, u"D"_s}));
  tree.SetExpanded(tree.Node(1), true);
  EXPECT_EQ(Shape(tree), (QStringList{u"A*"_s, u"D"_s}));
  EXPECT_EQ(tree.Node(1)->ChildCount, 0u);
  // The master keeps its own filter and rows.
  EXPECT_EQ(Db().Query.RecordCount(), 2);
  EXPECT_EQ(tree.FCloneDataSet->RecordCount(), 4);
}

TEST_F(TreeView, ChildFilterTextsAreExactlyThoseOfTheRule) {
  Load(AbcdRows());
  Db().Query.Open();
  EXPECT_EQ(tree.FCloneDataSet->Filter(), u"parentId=-1"_s);  // the text stays; filtering is off
  EXPECT_FALSE(tree.FCloneDataSet->Filtered());
  tree.SetExpanded(tree.Node(1), true);
  EXPECT_EQ(tree.FCloneDataSet->Filter(), u"parentId=1"_s);
  Db().Query.Close();
  Db().Query.SetFilter(u"fname <> 'B'"_s);
  Db().Query.SetFiltered(true);
  Db().Query.Open();
  EXPECT_EQ(tree.FCloneDataSet->Filter(), u"(fname <> 'B') AND (parentId=-1)"_s);
  tree.SetExpanded(tree.Node(1), true);
  EXPECT_EQ(tree.FCloneDataSet->Filter(), u"(fname <> 'B') AND (parentId=1)"_s);
  EXPECT_EQ(Shape(tree), (QStringList{u"A+*"_s, u".C"_s, u"D"_s}));
}

TEST_F(TreeView, DuplicateKeyStopsTheLoadAndLeavesTheTreeUsable) {
  Load({{1, -1, u"A"_s}, {5, -1, u"E"_s}, {5, -1, u"F"_s}, {6, -1, u"G"_s}});
  EXPECT_EQ(MessageOf([&] { Db().Query.Open(); }), u"Duplicate list ID 5"_s);
  // The load stopped at the second 5: its node stays without an item and shows the default text.
  EXPECT_EQ(Shape(tree), (QStringList{u"A"_s, u"E"_s, u"Node"_s}));
  EXPECT_EQ(tree.NodeItem(tree.GetFirstNoInit()->LastChild), nullptr);
  // Our choices: the update bracket is closed and the clone's filter is off again.
  EXPECT_EQ(tree.UpdateCount(), 0);
  ASSERT_NE(tree.FCloneDataSet, nullptr);
  EXPECT_FALSE(tree.FCloneDataSet->Filtered());
  Db().Query.Close();
  EXPECT_EQ(tree.TotalCount(), 0u);
}

TEST_F(TreeView, DuplicateKeyInABranchReachesTheExpansion) {
  Load({{1, -1, u"A"_s}, {2, 1, u"B"_s}, {2, 1, u"C"_s}});
  Db().Query.Open();
  EXPECT_THROW(tree.SetExpanded(tree.Node(1), true), Exception);
  EXPECT_EQ(tree.UpdateCount(), 0);
  EXPECT_FALSE(tree.FCloneDataSet->Filtered());
}

TEST_F(TreeView, OrphanRowsAreNeverShown) {
  Load({{1, -1, u"A"_s}, {7, 99, u"Orphan"_s}, {2, 1, u"B"_s}, {8, QVariant(), u"No parent"_s}});
  Db().Query.Open();
  tree.FullExpand();
  EXPECT_EQ(Shape(tree), (QStringList{u"A+*"_s, u".B"_s}));
}

TEST_F(TreeView, ClosingEmptiesTheTreeAndReopeningReadsTheNewResult) {
  Load(AbcdRows());
  Db().Query.Open();
  tree.FullExpand();
  Db().Query.Close();
  EXPECT_EQ(tree.TotalCount(), 0u);
  EXPECT_EQ(tree.Nodes().Count(), 0);
  EXPECT_EQ(tree.FCloneDataSet, nullptr);
  Db().Exec(u"INSERT INTO lookups(id, parentid, fname) VALUES(9, 4, 'E')"_s);
  Db().Query.Open();
  EXPECT_EQ(Shape(tree), (QStringList{u"A+*"_s, u"D+"_s}));
  EXPECT_EQ(Walk(tree), (QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s}));
}

TEST_F(TreeView, RewritingAFieldNameRebuildsOnlyWhenTheNameChanges) {
  Load(AbcdRows());
  Db().Exec(u"UPDATE lookups SET parent2 = CASE id WHEN 3 THEN 4 ELSE parentid END"_s);
  Db().Query.Open();
  tree.FullExpand();
  PVirtualNode a = tree.Node(1);
  tree.DBTreeFields().SetParentFieldName(u"parentId"_s);  // the same text: nothing happens
  EXPECT_EQ(tree.Node(1), a);
  EXPECT_TRUE(a->States & vsExpanded);
  tree.DBTreeFields().SetParentFieldName(u"parent2"_s);
  tree.FullExpand();
  EXPECT_EQ(Shape(tree), (QStringList{u"A+*"_s, u".B"_s, u"D+"_s, u".C"_s}));
  // A case change is a change of the stored text, though the field found is the same.
  tree.DBTreeFields().SetParentFieldName(u"PARENT2"_s);
  EXPECT_EQ(tree.TotalCount(), 2u);
  // A name the master lacks: not available, so the tree empties without an error.
  tree.DBTreeFields().SetListFieldName(u"caption"_s);
  EXPECT_EQ(tree.TotalCount(), 0u);
  EXPECT_EQ(tree.FCloneDataSet, nullptr);
}

TEST_F(TreeView, HasChildrenFieldDecidesTheButtonsFromTheNextActivation) {
  // The field disagrees with the data: A says no children, D says it has some.
  Load({{1, -1, u"A"_s, false}, {2, 1, u"B"_s, false}, {4, -1, u"D"_s, true}});
  Db().Query.Open();
  tree.DBTreeFields().SetHasChildrenFieldName(u"HasChildren"_s);
  EXPECT_EQ(Shape(tree), (QStringList{u"A+*"_s, u"D"_s}));  // stored only
  Db().Query.Close();
  Db().Query.Open();
  EXPECT_EQ(Shape(tree), (QStringList{u"A*"_s, u"D+"_s}));
  tree.SetExpanded(tree.Node(1), true);  // no mark: nothing loads
  tree.SetExpanded(tree.Node(4), true);  // the mark, but no rows: the mark goes
  EXPECT_EQ(Shape(tree), (QStringList{u"A*"_s, u"D"_s}));
}

TEST_F(TreeView, ImagesFollowTheMarkUnlessTheApplicationDecides) {
  Load(AbcdRows());
  Db().Query.Open();
  PVirtualNode a = tree.Node(1), d = tree.Node(4);
  EXPECT_EQ(tree.GetImageIndex(a, ikNormal), -1);
  EXPECT_EQ(tree.GetImageIndex(d, ikSelected), -1);
  tree.DBTreeImages().SetHasChildrenImageIndex(3);
  tree.DBTreeImages().SetNoChildrenImageIndex(5);
  tree.DBTreeImages().SetHasChildrenSelectedIndex(7);
  tree.DBTreeImages().SetNoChildrenSelectedIndex(8);
  EXPECT_EQ(tree.GetImageIndex(a, ikNormal), 3);
  EXPECT_EQ(tree.GetImageIndex(d, ikNormal), 5);
  EXPECT_EQ(tree.GetImageIndex(a, ikSelected), 7);
  EXPECT_EQ(tree.GetImageIndex(d, ikSelected), 8);
  EXPECT_EQ(tree.GetImageIndex(a, ikState), -1);
  tree.OnGetImageIndex = [](TVirtualStringTree*, PVirtualNode, TVTImageKind, TColumnIndex, bool&, int& i) { i = 11; };
  EXPECT_EQ(tree.GetImageIndex(d, ikNormal), 11);
}

TEST_F(TreeView, CaptionsKeepTheirBlanksAndNullsShowEmpty) {
  Load({{1, -1, u"  A b  "_s}, {2, -1, QVariant()}});
  tree.OnGetText = [](TVirtualStringTree*, PVirtualNode, TColumnIndex, TVSTTextType, QString& t) { t = u"x"_s; };
  Db().Query.Open();
  EXPECT_EQ(tree.GetText(tree.Node(1)), u"  A b  "_s);  // no OnGetText: the caption as stored
  EXPECT_EQ(tree.GetText(tree.Node(2)), u""_s);
  EXPECT_EQ(tree.GetNodeCaption(tree.Node(1)), u"A b"_s);
}

TEST_F(TreeView, EmptyResultGivesAnEmptyTree) {
  Load({});
  Db().Query.Open();
  EXPECT_NE(tree.FCloneDataSet, nullptr);
  EXPECT_EQ(tree.TotalCount(), 0u);
  EXPECT_EQ(tree.FocusedNode(), nullptr);
  SetAllCheckState(tree, csCheckedNormal);
  QBuffer buffer;
  EXPECT_EQ(WriteCheckedIds(buffer, tree).size(), 0);
  EXPECT_FALSE(tree.NodeHasChildren());
}

TEST_F(TreeView, ClearEmptiesTheIndexAndUnbindingEmptiesTheTree) {
  Load(AbcdRows());
  Db().Query.Open();
  tree.FullExpand();
  tree.Clear();
  EXPECT_EQ(tree.Nodes().Count(), 0);
  EXPECT_EQ(tree.TotalCount(), 0u);
  Db().Query.Close();
  Db().Query.Open();
  auto source = std::make_unique<TDataSource>(&Db().Query);
  tree.SetDataSource(source.get());
  EXPECT_EQ(tree.TotalCount(), 2u);
  source.reset();  // destroying the data source unbinds the tree
  EXPECT_EQ(tree.DataSource(), nullptr);
  EXPECT_EQ(tree.TotalCount(), 0u);
  EXPECT_EQ(tree.FCloneDataSet, nullptr);
}

TEST_F(TreeView, DestroyingTheMasterEmptiesTheTree) {
  Load(AbcdRows());
  auto query = std::make_unique<TADOQuery>();
  query->SetConnection(&Db().Connection);
  query->SetSQL(Db().Query.SQL());
  TDataSource source(query.get());
  tree.SetDataSource(&source);
  query->Open();
  tree.FullExpand();
  ASSERT_EQ(tree.TotalCount(), 4u);
  query.reset();
  EXPECT_EQ(tree.TotalCount(), 0u);
  EXPECT_EQ(tree.FCloneDataSet, nullptr);
}

TEST_F(TreeView, NodeHasChildrenAnswersForTheClonesCurrentRow) {
  Load(AbcdRows());
  Db().Query.Open();
  TTestTree unbound;
  EXPECT_FALSE(unbound.NodeHasChildren());
  ASSERT_TRUE(tree.FCloneDataSet->Locate(u"id"_s, 1));
  EXPECT_TRUE(tree.NodeHasChildren());
  EXPECT_EQ(tree.FCloneDataSet->FieldByName(u"id"_s).AsInteger(), 1);  // back on its row
  ASSERT_TRUE(tree.FCloneDataSet->Locate(u"id"_s, 4));
  EXPECT_FALSE(tree.NodeHasChildren());
}

TEST_F(AdoTree, CloneFiltersWithoutTouchingTheMaster) {
  Load(AbcdRows());
  Db().Query.Open();
  Db().Query.Last();
  TCountingLink watcher;
  watcher.SetDataSource(&Db().Source);
  tree.FCloneDataSet->SetFilter(u"parentid=1"_s);
  tree.FCloneDataSet->SetFiltered(true);
  EXPECT_EQ(tree.FCloneDataSet->RecordCount(), 2);
  EXPECT_EQ(Db().Query.RecordCount(), 4);
  EXPECT_EQ(Db().Query.FieldByName(u"fname"_s).AsString(), u"D"_s);
  EXPECT_EQ(watcher.Scrolled + watcher.Changed, 0);
  EXPECT_THROW(tree.FCloneDataSet->Edit(), Exception);  // read-only
}

TEST_F(AdoTree, AMasterThatIsNotAQueryDatasetIsRefused) {
  TMemDataSet mem({{u"id"_s, ftInteger}, {u"parentid"_s, ftInteger}, {u"fname"_s, ftString}}, {{1, -1, u"A"_s}});
  TDataSource source(&mem);
  tree.DBTreeFields().SetKeyFieldName(u"Id"_s);
  tree.DBTreeFields().SetParentFieldName(u"parentId"_s);
  tree.DBTreeFields().SetListFieldName(u"fname"_s);
  tree.DBTreeFields().SetParentOfRootValue(u"-1"_s);
  tree.SetDataSource(&source);
  EXPECT_EQ(MessageOf([&] { mem.Open(); }), u"DataSource Dataset is not TCustomADODataSet"_s);
  EXPECT_EQ(tree.TotalCount(), 0u);
  EXPECT_EQ(tree.FCloneDataSet, nullptr);
}

TEST_F(CheckHelpersOnData, SelectAllReachesUnopenedBranchesAndTheIdsComeInPreOrder) {
  // 10 (258 (5), 7), 3: keys out of their numeric order, so order errors show.
  Load({{10, -1, u"ten"_s}, {258, 10, u"x"_s}, {3, -1, u"three"_s}, {5, 258, u"five"_s}, {7, 10, u"seven"_s}});
  tree.OnInitNode = [](TVirtualStringTree*, PVirtualNode, PVirtualNode n, TVirtualNodeInitStates&) {
    n->CheckType = ctCheckBox;
  };
  int checkedEvents = 0;
  tree.OnChecked = [&](TVirtualStringTree*, PVirtualNode) { ++checkedEvents; };
  Db().Query.Open();
  SetAllCheckState(tree, csCheckedNormal);
  EXPECT_EQ(tree.TotalCount(), 5u);
  for (int key : {10, 258, 5, 7, 3}) {
    EXPECT_EQ(tree.Node(key)->CheckState, csCheckedNormal);
    EXPECT_EQ(tree.Node(key)->CheckType, ctCheckBox);
  }
  tree.Node(10)->CheckState = csUncheckedNormal;
  tree.Node(7)->CheckState = csUncheckedNormal;
  QBuffer buffer;
  WriteCheckedIds(buffer, tree);  // collapsed branches count; 258 and 5 under an unchecked parent
  EXPECT_EQ(buffer.data(), QByteArray("\0\0\x01\x02\0\0\0\x05\0\0\0\x03", 12));
  tree.ToggleCheckByUser(tree.Node(258));  // the user's click: one node, one event
  EXPECT_EQ(tree.Node(258)->CheckState, csUncheckedNormal);
  EXPECT_EQ(tree.Node(5)->CheckState, csCheckedNormal);
  EXPECT_EQ(checkedEvents, 1);
}

}  // namespace
