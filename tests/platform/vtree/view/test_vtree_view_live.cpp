// The view following a data-bound tree live: a real SQLite lookup read through the data layer,
// the master moved and changed in code, the view's rows, current row and expansion checked.
#include "platform/vtree/view/TVirtualTreeView.h"
#include "tests/tree/TreeDbFixture.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Captions of Parent's rows as the view's model has them.
QStringList Children(TVirtualTreeModel& Model, const QModelIndex& Parent = {}) {
  QStringList rows;
  for (int r = 0; r < Model.rowCount(Parent); ++r) rows << Model.index(r, 0, Parent).data().toString();
  return rows;
}

// Every node of Tree gets a check box.
void CheckEveryNode(TTestTree& Tree) {
  Tree.TreeOptions.MiscOptions |= toCheckSupport;
  Tree.OnInitNode = [](TVirtualStringTree*, PVirtualNode, PVirtualNode n, TVirtualNodeInitStates&) {
    n->CheckType = ctCheckBox;
  };
}

// Shows View, binds Tree to Db with the window's settings and opens the query; the events are handled.
void ShowAndOpen(TVirtualTreeView& View, TTestTree& Tree, TTreeDb& Db) {
  View.resize(300, 300);
  View.show();
  Bind(Tree, Db);
  Db.Query.Open();
  QApplication::processEvents();
}

TEST(TreeViewLive, TheViewFollowsTheMastersMovesAndPostedChanges) {
  // A (B, C (E, F)), D.
  TTreeDb db({{1, -1, u"A"_s}, {2, 1, u"B"_s}, {3, 1, u"C"_s}, {5, 3, u"E"_s}, {6, 3, u"F"_s}, {4, -1, u"D"_s}});
  TTestTree tree;
  CheckEveryNode(tree);
  TVirtualTreeView view(tree);
  ShowAndOpen(view, tree, db);
  TVirtualTreeModel& model = view.Model();
  auto index = [&](int Key) { return model.IndexOf(tree.Node(Key)); };
  EXPECT_EQ(Children(model), (QStringList{u"A"_s, u"D"_s}));
  EXPECT_EQ(view.currentIndex(), index(1));  // the master's first row
  EXPECT_EQ(index(1).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));

  // Moved in code into a branch never expanded: loaded, opened from the top, focused.
  ASSERT_TRUE(db.Query.Locate(u"id"_s, 5));
  ASSERT_NE(tree.Node(5), nullptr);
  EXPECT_EQ(view.currentIndex(), index(5));
  EXPECT_TRUE(view.isExpanded(index(1)));
  EXPECT_TRUE(view.isExpanded(index(3)));
  EXPECT_FALSE(view.visualRect(index(5)).isEmpty());
  EXPECT_EQ(Children(model, index(1)), (QStringList{u"B"_s, u"C"_s}));
  EXPECT_EQ(Children(model, index(3)), (QStringList{u"E"_s, u"F"_s}));
  EXPECT_LT(view.visualRect(index(3)).top(), view.visualRect(index(5)).top());
  const QImage shown = view.grab().toImage();
  EXPECT_FALSE(shown.isNull());
  EXPECT_EQ(shown.size(), view.size());

  // The focused row deleted and posted: its row goes; the master's next row (F) is current.
  db.Query.Delete();
  EXPECT_EQ(tree.Node(5), nullptr);
  EXPECT_EQ(Children(model, index(3)), QStringList{u"F"_s});
  EXPECT_EQ(view.currentIndex(), index(6));
  EXPECT_EQ(db.Query.FieldByName(u"id"_s).AsInteger(), 6);

  // A new row under A, whose branch is loaded: the last row under A, current.
  db.Query.Append();
  db.Query.FieldByName(u"id"_s).SetValue(7);
  db.Query.FieldByName(u"parentid"_s).SetValue(1);
  db.Query.FieldByName(u"fname"_s).SetValue(u"G"_s);
  db.Query.Post();
  EXPECT_EQ(Children(model, index(1)), (QStringList{u"B"_s, u"C"_s, u"G"_s}));
  EXPECT_EQ(view.currentIndex(), index(7));
  EXPECT_FALSE(view.visualRect(index(7)).isEmpty());

  // Re-parented to C and posted: the row moves to C's end and stays current.
  db.Query.Edit();
  db.Query.FieldByName(u"parentid"_s).SetValue(3);
  db.Query.Post();
  EXPECT_EQ(Children(model, index(1)), (QStringList{u"B"_s, u"C"_s}));
  EXPECT_EQ(Children(model, index(3)), (QStringList{u"F"_s, u"G"_s}));
  EXPECT_EQ(view.currentIndex(), index(7));
  EXPECT_GT(view.visualRect(index(7)).top(), view.visualRect(index(6)).top());

  // A caption changed and posted shows at once.
  db.Query.Edit();
  db.Query.FieldByName(u"fname"_s).SetValue(u"Gee"_s);
  db.Query.Post();
  EXPECT_EQ(index(7).data().toString(), u"Gee"_s);

  // The user's click on a row moves the master.
  view.setCurrentIndex(index(2));
  EXPECT_EQ(db.Query.FieldByName(u"id"_s).AsInteger(), 2);
  // Closing the master empties the view.
  db.Query.Close();
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_FALSE(view.currentIndex().isValid());
}

TEST(TreeViewLive, ARowPostedIntoANeverLoadedBranchOpensItInTheViewAndAClickChecksOneNode) {
  TTreeDb db(AbcdRows());  // A (B, C), D
  TTestTree tree;
  CheckEveryNode(tree);
  int checkedEvents = 0;
  tree.OnChecked = [&](TVirtualStringTree*, PVirtualNode) { ++checkedEvents; };
  TVirtualTreeView view(tree);
  ShowAndOpen(view, tree, db);
  TVirtualTreeModel& model = view.Model();
  auto index = [&](int Key) { return model.IndexOf(tree.Node(Key)); };
  EXPECT_FALSE(model.hasChildren(index(4)));  // D: a leaf so far
  EXPECT_EQ(tree.Node(2), nullptr);           // A's branch never loaded

  // Under A, whose branch was never loaded: the load brings the new row with its siblings, once.
  db.Query.Append();
  db.Query.FieldByName(u"id"_s).SetValue(8);
  db.Query.FieldByName(u"parentid"_s).SetValue(1);
  db.Query.FieldByName(u"fname"_s).SetValue(u"H"_s);
  db.Query.Post();
  EXPECT_EQ(Children(model, index(1)), (QStringList{u"B"_s, u"C"_s, u"H"_s}));
  EXPECT_TRUE(view.isExpanded(index(1)));
  EXPECT_EQ(view.currentIndex(), index(8));
  EXPECT_FALSE(view.visualRect(index(8)).isEmpty());

  // A click on C's box through the view: C alone, one event.
  QApplication::processEvents();
  const QRect box = view.CheckBoxRect(tree.Node(3));
  ASSERT_FALSE(box.isEmpty());
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, box.center());
  EXPECT_EQ(tree.Node(3)->CheckState, csCheckedNormal);
  EXPECT_EQ(checkedEvents, 1);
  for (int key : {1, 2, 4, 8}) EXPECT_EQ(tree.Node(key)->CheckState, csUncheckedNormal) << key;
  EXPECT_EQ(index(3).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
  // A click on a box is not a click on the row: the focus and the master's row stay on H.
  EXPECT_EQ(view.currentIndex(), index(8));
  EXPECT_EQ(tree.FocusedNode(), tree.Node(8));
  EXPECT_EQ(db.Query.FieldByName(u"id"_s).AsInteger(), 8);
}

}  // namespace
