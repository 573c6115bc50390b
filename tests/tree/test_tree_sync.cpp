#include "TreeDbFixture.h"

#include "platform/base/Exception.h"
#include "platform/base/MessageService.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// 1 A ( 2 B ( 5 E ), 3 C ), 4 D ( 6 F ), 9 G
std::vector<TLookupRow> Rows() {
  return {{1, -1, u"A"_s}, {2, 1, u"B"_s}, {3, 1, u"C"_s}, {4, -1, u"D"_s},
          {5, 2, u"E"_s},  {6, 4, u"F"_s}, {9, -1, u"G"_s}};
}

class TreeSync : public ::testing::Test {
protected:
  explicit TreeSync(const std::vector<TLookupRow>& R = Rows()) : Db(R) {
    Bind(Tree, Db);
    Watcher.SetDataSource(&Db.Source);
    Tree.OnFocusChanged = [this](TVirtualStringTree*, PVirtualNode n, TColumnIndex) { Focus << Tree.KeyOf(n); };
    Db.Query.Open();
  }
  int MasterKey() { return Db.Query.FieldByName(u"id"_s).AsInteger(); }
  QString Focused() { return Tree.KeyOf(Tree.FocusedNode()); }
  void Expand(int Key) { Tree.SetExpanded(Tree.Node(Key), true); }

  TMessageRecorder Boxes;
  QStringList Focus;  // keys focused, in order
  TTreeDb Db;
  TTestTree Tree;
  TCountingLink Watcher;
};

TEST_F(TreeSync, FocusFollowsTheMasterAndTheMasterFollowsTheFocusOnce) {
  EXPECT_EQ(Focused(), u"1"_s);
  Expand(1);
  Watcher.Scrolled = 0;
  Tree.UserSelect(Tree.Node(3));
  EXPECT_EQ(MasterKey(), 3);
  EXPECT_EQ(Watcher.Scrolled, 1);  // the tree's own echo does not move it again
  EXPECT_EQ(Focused(), u"3"_s);
  ASSERT_TRUE(Db.Query.Locate(u"id"_s, 9));
  EXPECT_EQ(Focused(), u"9"_s);
  EXPECT_EQ(MasterKey(), 9);
  EXPECT_EQ(Watcher.Scrolled, 2);
  EXPECT_TRUE(Boxes.Shown.empty());
}

TEST_F(TreeSync, MovingTheMasterIntoANeverExpandedBranchLoadsItFromTheTop) {
  ASSERT_EQ(Tree.Node(5), nullptr);
  ASSERT_TRUE(Db.Query.Locate(u"id"_s, 5));
  EXPECT_EQ(Shape(Tree), (QStringList{u"A+"_s, u".B+"_s, u"..E*"_s, u".C"_s, u"D+"_s, u"G"_s}));
  EXPECT_TRUE(Tree.Node(1)->States & vsExpanded);
  EXPECT_TRUE(Tree.Node(2)->States & vsExpanded);
  EXPECT_TRUE(Tree.Selected(Tree.Node(5)));
  EXPECT_EQ(MasterKey(), 5);
}

class TreeSyncMissingParent : public TreeSync {
protected:
  TreeSyncMissingParent()
      : TreeSync({{1, -1, u"A"_s}, {7, 99, u"X"_s}, {20, 21, u"L1"_s}, {21, 22, u"L2"_s}, {22, 20, u"L3"_s}}) {}
};

TEST_F(TreeSyncMissingParent, ARowUnderAMissingParentNamesIt) {
  ASSERT_TRUE(Db.Query.Locate(u"id"_s, 7));
  ASSERT_EQ(Boxes.Shown.size(), 1u);
  EXPECT_EQ(Boxes.Shown[0].Text, u"Can not find parent (Id=99). Wrong database."_s);
  EXPECT_EQ(Boxes.Shown[0].Caption, u"Information"_s);
  EXPECT_EQ(Boxes.Shown[0].Icon, TMessageIcon::Information);
  EXPECT_EQ(Boxes.Shown[0].Buttons, TMessageButtons::Ok);
  EXPECT_EQ(Tree.FocusedNode(), nullptr);
}

TEST_F(TreeSyncMissingParent, AParentChainThatLoopsEndsAsAMissingParentOnce) {
  ASSERT_TRUE(Db.Query.Locate(u"id"_s, 20));
  ASSERT_EQ(Boxes.Shown.size(), 1u);
  EXPECT_EQ(Boxes.Shown[0].Text, u"Can not find parent (Id=20). Wrong database."_s);
  EXPECT_EQ(Tree.FocusedNode(), nullptr);
  EXPECT_EQ(Tree.TotalCount(), 1u);
}

TEST(TreeSyncDelete, DeletingTheFocusedRowMovesTheFocusToANeighbour) {
  struct Row {
    const char* Name;
    int Deleted;
    const char16_t* FocusedFirst;  // the neighbour the focus goes to
    QStringList ShapeAfter;
  } rows[] = {
      {"middle child: next sibling", 2, u"3", {u"A+"_s, u".C*"_s, u"D+"_s, u".F"_s, u"G"_s}},
      {"last child: previous sibling", 3, u"2", {u"A+"_s, u".B+*"_s, u"D+"_s, u".F"_s, u"G"_s}},
      {"only child: parent", 6, u"4", {u"A+"_s, u".B+"_s, u".C"_s, u"D*"_s, u"G"_s}},
      {"last top-level node: previous sibling", 9, u"4", {u"A+"_s, u".B+"_s, u".C"_s, u"D+*"_s, u".F"_s}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    TTreeDb db(Rows());
    TTestTree tree;
    Bind(tree, db);
    db.Query.Open();
    tree.SetExpanded(tree.Node(1), true);
    tree.SetExpanded(tree.Node(4), true);
    tree.UserSelect(tree.Node(row.Deleted));
    ASSERT_EQ(db.Query.FieldByName(u"id"_s).AsInteger(), row.Deleted);
    QStringList focus;
    tree.OnFocusChanged = [&](TVirtualStringTree*, PVirtualNode n, TColumnIndex) { focus << tree.KeyOf(n); };
    db.Query.Delete();
    focus.removeAll(u"none"_s);  // the deleted node's own focus goes first
    ASSERT_FALSE(focus.isEmpty());
    EXPECT_EQ(focus.front(), QString::fromUtf16(row.FocusedFirst));
    EXPECT_EQ(tree.Node(row.Deleted), nullptr);
    // In the end the focus sits on the master's current row.
    EXPECT_EQ(tree.KeyOf(tree.FocusedNode()), db.Query.FieldByName(u"id"_s).AsString());
    EXPECT_EQ(Shape(tree), row.ShapeAfter);
  }
}

TEST(TreeSyncDelete, DeletingTheOnlyTopLevelRowLeavesNoFocus) {
  TTreeDb db({{1, -1, u"A"_s}});
  TTestTree tree;
  Bind(tree, db);
  db.Query.Open();
  db.Query.Delete();
  EXPECT_EQ(tree.TotalCount(), 0u);
  EXPECT_EQ(tree.FocusedNode(), nullptr);
}

TEST_F(TreeSync, DeletingAFocusedBranchTakesItsSubtree) {
  Expand(1);
  Expand(2);
  Tree.UserSelect(Tree.Node(2));
  Db.Query.Delete();  // only the row 2 goes; its child row 5 stays in the data, orphaned
  EXPECT_EQ(Tree.Node(5), nullptr);
  EXPECT_EQ(Tree.Nodes().Count(), static_cast<int>(Tree.TotalCount()));
}

void InsertRow(TADOQuery& Query, int Id, int Parent, const QString& Caption) {
  Query.Append();
  Query.FieldByName(u"id"_s).SetValue(Id);
  Query.FieldByName(u"parentid"_s).SetValue(Parent);
  Query.FieldByName(u"fname"_s).SetValue(Caption);
  Query.Post();
}

TEST_F(TreeSync, InsertUnderALoadedParentAddsItsLastChildFocused) {
  Expand(1);
  InsertRow(Db.Query, 30, 1, u"New"_s);
  EXPECT_EQ(Shape(Tree), (QStringList{u"A+"_s, u".B+"_s, u".C"_s, u".New*"_s, u"D+"_s, u"G"_s}));
  EXPECT_EQ(Tree.IndexKeys().count(u"30"_s), 1);
}

TEST_F(TreeSync, InsertUnderANeverLoadedParentGivesExactlyOneNode) {
  InsertRow(Db.Query, 31, 6, u"New"_s);  // 6 lies in D's branch, never opened
  EXPECT_EQ(Shape(Tree), (QStringList{u"A+"_s, u"D+"_s, u".F+"_s, u"..New*"_s, u"G"_s}));
  EXPECT_EQ(Tree.IndexKeys().count(u"31"_s), 1);
  EXPECT_TRUE(Boxes.Shown.empty());
}

TEST_F(TreeSync, InsertUnderALeafAndAtTheTopLevel) {
  Expand(1);
  InsertRow(Db.Query, 32, 3, u"Under C"_s);
  InsertRow(Db.Query, 33, -1, u"Top"_s);
  EXPECT_EQ(Shape(Tree), (QStringList{u"A+"_s, u".B+"_s, u".C+"_s, u"..Under C"_s, u"D+"_s, u"G"_s, u"Top*"_s}));
}

void SetParent(TADOQuery& Query, int Id, int NewParent) {
  ASSERT_TRUE(Query.Locate(u"id"_s, Id));
  Query.Edit();
  Query.FieldByName(u"parentid"_s).SetValue(NewParent);
  Query.Post();
}

TEST_F(TreeSync, ReparentingToALoadedNodeMovesTheNodeWithItsButton) {
  Expand(1);
  Expand(4);
  Expand(2);  // 5 exists under 2
  SetParent(Db.Query, 2, 4);
  EXPECT_EQ(Shape(Tree), (QStringList{u"A+"_s, u".C"_s, u"D+"_s, u".F"_s, u".B+*"_s, u"G"_s}));
  EXPECT_EQ(Tree.Node(5), nullptr);  // the old subtree is gone, reloaded on first expansion
  Expand(2);
  EXPECT_EQ(Shape(Tree), (QStringList{u"A+"_s, u".C"_s, u"D+"_s, u".F"_s, u".B+*"_s, u"..E"_s, u"G"_s}));
}

TEST_F(TreeSync, ReparentingToANeverLoadedNodeLoadsItOnce) {
  Expand(1);
  SetParent(Db.Query, 3, 6);
  EXPECT_EQ(Shape(Tree), (QStringList{u"A+"_s, u".B+"_s, u"D+"_s, u".F+"_s, u"..C*"_s, u"G"_s}));
  EXPECT_EQ(Tree.IndexKeys().count(u"3"_s), 1);
}

TEST_F(TreeSync, ReparentingToTheRootValueBringsTheNodeBackAtTheEnd) {
  Expand(1);
  ASSERT_TRUE(Db.Query.Locate(u"id"_s, 2));
  Db.Query.Edit();
  Db.Query.FieldByName(u"parentid"_s).SetValue(-1);
  EXPECT_EQ(Tree.Node(2), nullptr);  // gone until the post
  Db.Query.Post();
  EXPECT_EQ(Shape(Tree), (QStringList{u"A+"_s, u".C"_s, u"D+"_s, u"G"_s, u"B+*"_s}));
}

TEST_F(TreeSync, ReparentingUnderItsOwnDescendantLeavesNoNodeAndNoDanglingFocus) {
  Expand(1);
  Expand(2);
  SetParent(Db.Query, 1, 5);  // a cycle in the data: 1 -> 5 -> 2 -> 1
  EXPECT_EQ(Tree.Node(1), nullptr);
  EXPECT_EQ(Tree.Node(5), nullptr);
  EXPECT_EQ(Shape(Tree), (QStringList{u"D+"_s, u"G"_s}));
  EXPECT_EQ(Boxes.Shown.size(), 1u);  // following the row meets the loop once
}

TEST_F(TreeSync, ReparentingWhenTheCloneAlreadyShowsTheChangeMakesNoSecondNode) {
  // A data layer whose clone shows the change before the tree hears of it: post with the
  // notifications held back, then deliver the field notice. The new parent B has its mark but its
  // branch is not loaded yet, so expanding it meets the moved row C.
  Expand(1);
  ASSERT_TRUE(Db.Query.Locate(u"id"_s, 3));
  Db.Query.DisableControls();
  Db.Query.Edit();
  Db.Query.FieldByName(u"parentid"_s).SetValue(2);
  Db.Query.Post();
  ASSERT_EQ(Tree.FCloneDataSet->Lookup(u"id"_s, 3, u"parentid"_s).toInt(), 2);
  Db.Query.EnableControls();  // a DataSetChanged; the focus stays on the old node
  EXPECT_NO_THROW(Tree.DataRecordChanged(&Db.Query.FieldByName(u"parentid"_s)));
  EXPECT_EQ(Tree.IndexKeys().count(u"3"_s), 1);
  EXPECT_EQ(Shape(Tree), (QStringList{u"A+"_s, u".B+"_s, u"..C"_s, u"..E"_s, u"D+"_s, u"G"_s}));
}

TEST_F(TreeSync, CaptionEditIsPostedToTheMaster) {
  Expand(1);
  Tree.UserSelect(Tree.Node(3));
  Tree.SetText(Tree.Node(3), NoColumn, u" Renamed "_s);
  EXPECT_EQ(Db.Query.State(), dsBrowse);
  ASSERT_TRUE(Db.Query.Locate(u"id"_s, 3));
  EXPECT_EQ(Db.Query.FieldByName(u"fname"_s).AsString(), u" Renamed "_s);
  EXPECT_EQ(Tree.GetText(Tree.Node(3)), u" Renamed "_s);
  EXPECT_EQ(Tree.GetText(Tree.Node(2)), u"B"_s);
  // With an application handler the handler owns the edit.
  QString handled;
  Tree.OnNewText = [&](TVirtualStringTree*, PVirtualNode, TColumnIndex, const QString& t) { handled = t; };
  Tree.SetText(Tree.Node(3), NoColumn, u"Other"_s);
  EXPECT_EQ(handled, u"Other"_s);
  EXPECT_EQ(Db.Query.FieldByName(u"fname"_s).AsString(), u" Renamed "_s);
}

TEST_F(TreeSync, CaptionChangedInTheMasterShowsOnTheFocusedNodeOnly) {
  ASSERT_TRUE(Db.Query.Locate(u"id"_s, 4));
  Db.Query.Edit();
  Db.Query.FieldByName(u"fname"_s).SetValue(u"Dee"_s);
  EXPECT_EQ(Tree.GetText(Tree.Node(4)), u"Dee"_s);  // shown while editing
  Db.Query.FieldByName(u"fname"_s).SetValue(QVariant());
  EXPECT_EQ(Tree.GetText(Tree.Node(4)), u""_s);
  Db.Query.Cancel();
}

class TreeDrop : public TreeSync {
protected:
  TreeDrop() {
    Expand(1);
    Expand(4);
  }
  // Drags the node of From onto the node of To, answering the question with Answer.
  void Drop(int From, int To, TMessageAnswer Answer = TMessageAnswer::Yes) {
    Tree.UserSelect(Tree.Node(From));
    Tree.StartDrag();
    ASSERT_TRUE(Tree.DragOver(&Tree, Tree.GetNodePoint(Tree.Node(To))));
    Boxes.Answers.push_back(Answer);
    EXPECT_EQ(Tree.DragDrop(&Tree, Tree.GetNodePoint(Tree.Node(To))), std::uint32_t(deNone));
    Boxes.Answers.clear();
  }
  int ParentOf(int Id) { return Db.Query.Lookup(u"id"_s, Id, u"parentid"_s).toInt(); }
};

TEST_F(TreeDrop, AnsweredYesTheRowGetsTheTargetAsParent) {
  Drop(3, 6);
  ASSERT_EQ(Boxes.Shown.size(), 1u);
  EXPECT_EQ(Boxes.Shown[0].Text, u"Move node C into node F?"_s);
  EXPECT_EQ(Boxes.Shown[0].Caption, u"Question"_s);
  EXPECT_EQ(Boxes.Shown[0].Buttons, TMessageButtons::YesNo);
  EXPECT_EQ(ParentOf(3), 6);
  EXPECT_EQ(Shape(Tree), (QStringList{u"A+"_s, u".B+"_s, u"D+"_s, u".F+"_s, u"..C*"_s, u"G"_s}));
}

TEST_F(TreeDrop, AnsweredNoNothingChanges) {
  Drop(3, 6, TMessageAnswer::No);
  EXPECT_EQ(Boxes.Shown.size(), 1u);
  EXPECT_EQ(ParentOf(3), 1);
  EXPECT_EQ(Shape(Tree), (QStringList{u"A+"_s, u".B+"_s, u".C*"_s, u"D+"_s, u".F"_s, u"G"_s}));
}

TEST_F(TreeDrop, OntoItselfOrItsOwnDescendantNothingIsAsked) {
  Drop(1, 1);
  Expand(2);
  Drop(1, 5);  // would make 1 -> 5 -> 2 -> 1
  Drop(1, 3);
  EXPECT_TRUE(Boxes.Shown.empty());
  EXPECT_EQ(ParentOf(1), -1);
  EXPECT_EQ(Tree.TotalCount(), 7u);
}

TEST_F(TreeDrop, CaptionsInTheQuestionAreTrimmed) {
  Db.Query.Close();
  Db.Exec(u"UPDATE lookups SET fname = '  ' || fname || ' ' "_s);
  Db.Query.Open();
  Expand(4);
  Drop(9, 4, TMessageAnswer::No);
  ASSERT_EQ(Boxes.Shown.size(), 1u);
  EXPECT_EQ(Boxes.Shown[0].Text, u"Move node G into node D?"_s);
}

TEST_F(TreeDrop, ADragFromAnotherTreeIsRefused) {
  TTestTree other;
  Tree.UserSelect(Tree.Node(3));
  Tree.StartDrag();
  EXPECT_FALSE(Tree.DragOver(&other, Tree.GetNodePoint(Tree.Node(6))));
  EXPECT_FALSE(Tree.DragOver(nullptr, Tree.GetNodePoint(Tree.Node(6))));
  Tree.DragDrop(&other, Tree.GetNodePoint(Tree.Node(6)));  // even if a view delivered it
  EXPECT_TRUE(Boxes.Shown.empty());
  EXPECT_EQ(ParentOf(3), 1);
}

TEST_F(TreeDrop, ADraggedNodeThatWentAwayIsForgotten) {
  Tree.UserSelect(Tree.Node(3));
  Tree.StartDrag();
  Db.Query.Delete();
  Tree.DragDrop(&Tree, Tree.GetNodePoint(Tree.Node(6)));
  EXPECT_TRUE(Boxes.Shown.empty());
}

}  // namespace
