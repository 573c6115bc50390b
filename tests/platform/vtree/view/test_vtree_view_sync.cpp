// The view and the tree in step: focus and selection both ways, expansion from the tree, the
// update bracket, rows that go while focused, and what the view paints.
#include "ViewFixture.h"
#include "platform/vtree/view/TImageList.h"

#include <gtest/gtest.h>
#include <QPainter>
#include <QTest>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

TEST(TreeViewSync, AClickFocusesAndSelectsInTheTreeAndTheTreesFocusMovesTheView) {
  TShownView v;
  QStringList changes;
  v.Tree.OnChange = [&](TVirtualStringTree* t, PVirtualNode) {
    changes << QString::number(v.Tree.Name(t->FocusedNode()));  // what the data-bound tree reads
  };
  QTest::mouseClick(v.Viewport(), Qt::LeftButton, {}, v.Caption(2));
  EXPECT_EQ(v.Tree.FocusedNode(), v.Tree.Find(2));
  EXPECT_TRUE(v.Tree.Selected(v.Tree.Find(2)));
  EXPECT_EQ(changes, QStringList{u"2"_s});
  QTest::keyClick(&v.View, Qt::Key_Down);
  EXPECT_EQ(v.Tree.FocusedNode(), v.Tree.Find(3));
  EXPECT_EQ(v.Tree.SelectedCount(), 1);
  EXPECT_TRUE(v.Tree.Selected(v.Tree.Find(3)));
  EXPECT_EQ(changes.last(), u"3"_s);

  // The tree's side: focus and selection show in the view, without a way back to the tree.
  v.Tree.SetExpanded(v.Tree.Find(1), true);
  changes.clear();
  v.Tree.SetFocusedNode(v.Tree.Find(12));
  EXPECT_EQ(v.View.currentIndex(), v.Index(12));
  EXPECT_TRUE(changes.isEmpty());
  v.Tree.SetSelected(v.Tree.Find(12), true);
  EXPECT_EQ(v.View.selectionModel()->selectedRows(), QModelIndexList{v.Index(12)});
  v.Tree.ClearSelection();
  EXPECT_TRUE(v.View.selectionModel()->selectedRows().isEmpty());
  // A node in a branch the tree keeps collapsed: current, but the view opens nothing by itself.
  v.Tree.SetExpanded(v.Tree.Find(2), true);
  v.Tree.SetExpanded(v.Tree.Find(2), false);
  v.Tree.SetFocusedNode(v.Tree.Find(21));
  EXPECT_EQ(v.View.currentIndex(), v.Index(21));
  EXPECT_FALSE(v.View.isExpanded(v.Index(2)));
  EXPECT_FALSE(v.Tree.Expanded(v.Tree.Find(2)));
  v.Tree.SetFocusedNode(nullptr);
  EXPECT_FALSE(v.View.currentIndex().isValid());
}

TEST(TreeViewSync, WithMultiSelectCtrlClicksAddToTheTreesSelectionAndTheLastIsFocused) {
  TShownView v;
  v.Tree.TreeOptions.SelectionOptions |= toMultiSelect;
  v.View.ApplyOptions();
  QStringList changes;
  v.Tree.OnChange = [&](TVirtualStringTree* t, PVirtualNode) {
    changes << QString::number(v.Tree.Name(t->FocusedNode()));
  };
  QTest::mouseClick(v.Viewport(), Qt::LeftButton, {}, v.Caption(1));
  QTest::mouseClick(v.Viewport(), Qt::LeftButton, Qt::ControlModifier, v.Caption(3));
  EXPECT_EQ(v.Tree.SelectedCount(), 2);
  EXPECT_TRUE(v.Tree.Selected(v.Tree.Find(1)));
  EXPECT_TRUE(v.Tree.Selected(v.Tree.Find(3)));
  EXPECT_EQ(v.Tree.FocusedNode(), v.Tree.Find(3));
  EXPECT_EQ(changes.last(), u"3"_s);  // the change hook saw the new focus
  QTest::mouseClick(v.Viewport(), Qt::LeftButton, Qt::ControlModifier, v.Caption(1));
  EXPECT_EQ(v.Tree.SelectedCount(), 1);
  EXPECT_FALSE(v.Tree.Selected(v.Tree.Find(1)));
  QTest::mouseClick(v.Viewport(), Qt::LeftButton, {}, v.Caption(2));
  EXPECT_EQ(v.Tree.SelectedCount(), 1);
  EXPECT_TRUE(v.Tree.Selected(v.Tree.Find(2)));
}

TEST(TreeViewSync, GainingKeyboardFocusPicksNoRow) {
  TShownView v;
  int focusEvents = 0;
  v.Tree.OnFocusChanged = [&](TVirtualStringTree*, PVirtualNode, TColumnIndex) { ++focusEvents; };
  QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
  QApplication::sendEvent(&v.View, &in);
  EXPECT_EQ(focusEvents, 0);
  EXPECT_EQ(v.Tree.FocusedNode(), nullptr);
  EXPECT_FALSE(v.View.currentIndex().isValid());
}

TEST(TreeViewSync, WhenTheFocusedRowGoesTheViewFollowsTheTreeNotQt) {
  TShownView v;
  v.Tree.SetExpanded(v.Tree.Find(1), true);
  v.Tree.UserSelect(v.Tree.Find(11));
  int focusEvents = 0;
  v.Tree.OnFocusChanged = [&](TVirtualStringTree*, PVirtualNode, TColumnIndex) { ++focusEvents; };
  // Qt would move its current row to a neighbour; the tree drops the focus instead.
  v.Tree.DeleteNode(v.Tree.Find(11));
  EXPECT_EQ(v.Tree.FocusedNode(), nullptr);
  EXPECT_FALSE(v.View.currentIndex().isValid());
  EXPECT_EQ(focusEvents, 1);  // the tree's own, no second one from the view
  v.Tree.UserSelect(v.Tree.Find(12));
  v.Tree.DeleteNode(v.Tree.Find(1));  // the focused node's parent
  EXPECT_FALSE(v.View.currentIndex().isValid());
  EXPECT_EQ(v.View.Model().rowCount(), 2);
  v.Tree.UserSelect(v.Tree.Find(3));
  v.Tree.Clear();
  EXPECT_FALSE(v.View.currentIndex().isValid());
  EXPECT_EQ(v.View.Model().rowCount(), 0);
}

TEST(TreeViewSync, TheTreesExpansionOpensAndClosesRows) {
  TShownView v;
  v.Tree.SetExpanded(v.Tree.Find(2), true);
  EXPECT_TRUE(v.View.isExpanded(v.Index(2)));
  v.Tree.FullExpand();
  for (int name : {1, 11, 12, 2, 21, 22}) EXPECT_TRUE(v.View.isExpanded(v.Index(name))) << name;
  EXPECT_FALSE(v.View.NodeRect(v.Tree.Find(222)).isEmpty());
  v.Tree.FullCollapse();
  for (int name : {1, 11, 12, 2, 21, 22}) EXPECT_FALSE(v.View.isExpanded(v.Index(name))) << name;
  EXPECT_TRUE(v.View.NodeRect(v.Tree.Find(11)).isEmpty());
  // A view made over a tree already open shows it open.
  v.Tree.SetExpanded(v.Tree.Find(1), true);
  v.Tree.UserSelect(v.Tree.Find(12));
  TVirtualTreeView second(v.Tree);
  EXPECT_TRUE(second.isExpanded(second.Model().IndexOf(v.Tree.Find(1))));
  EXPECT_EQ(second.currentIndex(), second.Model().IndexOf(v.Tree.Find(12)));
}

TEST(TreeViewSync, TheUpdateBracketSuspendsPaintingOnly) {
  TShownView v;
  v.Tree.BeginUpdate();
  EXPECT_FALSE(v.View.updatesEnabled());
  v.Tree.BeginUpdate();
  v.Tree.SetExpanded(v.Tree.Find(1), true);  // structure still arrives inside the bracket
  EXPECT_EQ(v.View.Model().rowCount(v.Index(1)), 2);
  EXPECT_TRUE(v.View.isExpanded(v.Index(1)));
  v.Tree.EndUpdate();
  EXPECT_FALSE(v.View.updatesEnabled());
  v.Tree.EndUpdate();
  EXPECT_TRUE(v.View.updatesEnabled());
}

// Whether anything but the background is painted in the branch column of Name's row.
bool BranchPainted(TShownView& V, int Name) {
  QApplication::processEvents();
  const QImage image = V.Viewport()->grab().toImage();
  const QRect row = V.View.NodeRect(V.Tree.Find(Name));
  const QColor background = image.pixelColor(row.left() - V.View.indentation() + 1, row.top() + 1);
  for (int y = row.top(); y <= row.bottom(); ++y)
    for (int x = std::max(0, row.left() - V.View.indentation()); x < row.left(); ++x)
      if (image.pixelColor(x, y) != background) return true;
  return false;
}

TEST(TreeViewSync, TheExpandButtonFollowsTheHasChildrenMark) {
  TShownView v;
  v.Tree.TreeOptions.PaintOptions &= ~toShowTreeLines;  // the button alone in the branch column
  EXPECT_TRUE(BranchPainted(v, 3));
  v.Tree.InitChildren(v.Tree.Find(3));  // the tree's own load finds nothing: no rows, the mark goes
  EXPECT_FALSE(BranchPainted(v, 3));
  v.Tree.SetHasChildren(v.Tree.Find(3), true);
  EXPECT_TRUE(BranchPainted(v, 3));
  v.Tree.SetHasChildren(v.Tree.Find(3), false);
  EXPECT_FALSE(BranchPainted(v, 3));
  v.Tree.AddChild(v.Tree.Find(3));
  EXPECT_TRUE(BranchPainted(v, 3));
  // Blank nodes whose init hook gives the mark: the button shows once they are first shown.
  v.Tree.Clear();
  v.Tree.SetRootNodeCount(2);
  QApplication::processEvents();
  EXPECT_TRUE(BranchPainted(v, 1));
  EXPECT_EQ(v.Index(1).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));  // the hook's check box
}

TEST(TreeViewSync, TreeLinesAndIconsArePainted) {
  // Two views, one with the tree-line option: only the branch column differs.
  TShownView lines, plain;
  plain.Tree.TreeOptions.PaintOptions &= ~toShowTreeLines;
  for (TShownView* v : {&lines, &plain}) {
    v->Tree.TreeOptions.PaintOptions &= ~toShowButtons;  // no arrows, so lines alone differ
    v->Tree.FullExpand();
  }
  const QImage a = lines.View.viewport()->grab().toImage(), b = plain.View.viewport()->grab().toImage();
  ASSERT_EQ(a.size(), b.size());
  const QRect row = lines.View.NodeRect(lines.Tree.Find(111));
  int differing = 0, differingRight = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) ++(x < row.left() ? differing : differingRight);
  EXPECT_GT(differing, 20);
  EXPECT_EQ(differingRight, 0);

  TImageList images;
  QPixmap green(16, 16);
  green.fill(Qt::green);
  images.Add(QIcon(green));
  lines.Tree.OnGetImageIndex = [](TVirtualStringTree*, PVirtualNode, TVTImageKind, TColumnIndex, bool&, int& i) {
    i = 0;
  };
  lines.View.SetImages(&images);
  const QImage shown = lines.View.viewport()->grab().toImage();
  const QRect r = lines.View.NodeRect(lines.Tree.Find(2));
  int greens = 0;
  for (int x = r.left(); x < r.right(); ++x)
    if (shown.pixelColor(x, r.center().y()) == QColor(Qt::green)) ++greens;
  EXPECT_GE(greens, 8);
}

}  // namespace
