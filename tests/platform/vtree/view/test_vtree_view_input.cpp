// The user's side of the view: check-box clicks, expansion by button, key and double click,
// caption editing, drag and drop, and errors that must not cross Qt's event handlers.
#include "ViewFixture.h"
#include "platform/base/Exception.h"

#include <gtest/gtest.h>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

TEST(TreeViewInput, ACheckBoxClickChangesThatNodeOnlyAndRaisesCheckedOnce) {
  TShownView v;
  v.Tree.SetExpanded(v.Tree.Find(1), true);
  QStringList checked;
  v.Tree.OnChecked = [&](TVirtualStringTree*, PVirtualNode n) { checked << QString::number(v.Tree.Name(n)); };
  QSignalSpy changed(&v.View.Model(), &QAbstractItemModel::dataChanged);
  const QRect box = v.View.CheckBoxRect(v.Tree.Find(1));
  ASSERT_FALSE(box.isEmpty());
  QTest::mouseClick(v.Viewport(), Qt::LeftButton, {}, box.center());
  EXPECT_EQ(checked, QStringList{u"1"_s});
  EXPECT_EQ(v.Tree.Find(1)->CheckState, csCheckedNormal);
  for (int other : {11, 12, 2, 3}) EXPECT_EQ(v.Tree.Find(other)->CheckState, csUncheckedNormal) << other;
  bool sawTheNode = false;
  for (const QList<QVariant>& args : changed)
    if (args.at(0).value<QModelIndex>() == v.Index(1) && args.at(2).value<QList<int>>().isEmpty()) sawTheNode = true;
  EXPECT_TRUE(sawTheNode);
  EXPECT_EQ(v.Index(1).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
  EXPECT_EQ(v.Tree.FocusedNode(), nullptr);  // a click on the box is not a click on the row
  // A child's box, then the parent's again: each click its own node.
  QTest::mouseClick(v.Viewport(), Qt::LeftButton, {}, v.View.CheckBoxRect(v.Tree.Find(12)).center());
  QTest::mouseClick(v.Viewport(), Qt::LeftButton, {}, box.center());
  EXPECT_EQ(checked, (QStringList{u"1"_s, u"12"_s, u"1"_s}));
  EXPECT_EQ(v.Tree.Find(1)->CheckState, csUncheckedNormal);
  EXPECT_EQ(v.Tree.Find(12)->CheckState, csCheckedNormal);
  EXPECT_EQ(v.Tree.Find(11)->CheckState, csUncheckedNormal);
  // Space on the current row is the same click.
  v.View.setCurrentIndex(v.Index(2));
  QTest::keyClick(&v.View, Qt::Key_Space);
  EXPECT_EQ(checked.last(), u"2"_s);
  EXPECT_EQ(v.Tree.Find(2)->CheckState, csCheckedNormal);
}

TEST(TreeViewInput, DoubleClickOnACaptionTogglesExpansionWhenTheOptionIsOn) {
  struct TCase {
    const char* Name;
    bool Option;
    bool OnCheckBox;
    bool Expands;
  };
  const TCase cases[] = {
      {"option on", true, false, true}, {"option off", false, false, false}, {"on the check box", true, true, false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TShownView v;
    if (!c.Option) v.Tree.TreeOptions.MiscOptions &= ~toToggleOnDblClick;
    const QPoint at = c.OnCheckBox ? v.View.CheckBoxRect(v.Tree.Find(1)).center() : v.Caption(1);
    QTest::mouseDClick(v.Viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(v.Tree.Expanded(v.Tree.Find(1)), c.Expands);
    EXPECT_EQ(v.View.isExpanded(v.Index(1)), c.Expands);
    EXPECT_EQ(v.View.Model().rowCount(v.Index(1)), c.Expands ? 2 : (c.OnCheckBox ? 0 : 0));
    if (!c.Expands) continue;
    QTest::mouseDClick(v.Viewport(), Qt::LeftButton, {}, at);
    EXPECT_FALSE(v.Tree.Expanded(v.Tree.Find(1)));
    EXPECT_FALSE(v.View.isExpanded(v.Index(1)));
    EXPECT_EQ(v.View.Model().rowCount(v.Index(1)), 2);  // collapsing keeps the children
  }
}

TEST(TreeViewInput, TheButtonAndTheArrowKeysExpandAndLoadOnDemand) {
  TShownView v;
  QTest::mouseClick(v.Viewport(), Qt::LeftButton, {}, v.Button(1));
  EXPECT_TRUE(v.Tree.Expanded(v.Tree.Find(1)));
  EXPECT_TRUE(v.View.isExpanded(v.Index(1)));
  EXPECT_FALSE(v.View.NodeRect(v.Tree.Find(12)).isEmpty());  // the loaded rows show
  EXPECT_EQ(v.Tree.Loads, 1);
  QTest::mouseClick(v.Viewport(), Qt::LeftButton, {}, v.Button(1));
  EXPECT_FALSE(v.Tree.Expanded(v.Tree.Find(1)));
  EXPECT_TRUE(v.View.NodeRect(v.Tree.Find(12)).isEmpty());
  // Node 3's load finds nothing: it stays collapsed in both and loses its button.
  QTest::mouseClick(v.Viewport(), Qt::LeftButton, {}, v.Button(3));
  EXPECT_FALSE(v.View.isExpanded(v.Index(3)));
  EXPECT_FALSE(v.Tree.HasChildren(v.Tree.Find(3)));
  EXPECT_FALSE(v.View.Model().hasChildren(v.Index(3)));
  // Keys on the current row.
  v.View.setCurrentIndex(v.Index(2));
  QTest::keyClick(&v.View, Qt::Key_Right);
  EXPECT_TRUE(v.Tree.Expanded(v.Tree.Find(2)));
  EXPECT_EQ(v.Tree.Shape().mid(3, 3), (QStringList{u"2+(x)"_s, u"21+"_s, u"22+"_s}));
  QTest::keyClick(&v.View, Qt::Key_Left);
  EXPECT_FALSE(v.Tree.Expanded(v.Tree.Find(2)));
  // Every key also reaches the tree's key hook first.
  QList<int> keys;
  v.Tree.OnKeyDown = [&](TVirtualStringTree*, int& k) { keys << k; };
  QTest::keyClick(&v.View, Qt::Key_Down);
  EXPECT_EQ(keys, QList<int>{Qt::Key_Down});
}

TEST(TreeViewInput, AnEditedCaptionReachesTheNewTextHookOnlyWhenEditable) {
  for (const bool editable : {false, true}) {
    SCOPED_TRACE(editable);
    TShownView v;
    if (editable) v.Tree.TreeOptions.MiscOptions |= toEditable;
    v.View.ApplyOptions();
    QStringList edits;
    v.Tree.OnNewText = [&](TVirtualStringTree*, PVirtualNode n, TColumnIndex, const QString& t) {
      edits << QString::number(v.Tree.Name(n)) + u"="_s + t;
    };
    v.View.setCurrentIndex(v.Index(2));
    QTest::keyClick(&v.View, Qt::Key_F2);
    auto* editor = v.Viewport()->findChild<QLineEdit*>();
    if (!editable) {
      EXPECT_TRUE(editor == nullptr || !editor->isVisible());
      continue;
    }
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), u"n2"_s);
    editor->setText(u"Second"_s);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();  // the delegate commits on the next turn of the loop
    EXPECT_EQ(edits, QStringList{u"2=Second"_s});
  }
}

// Sends a drag over and a drop at Point of View's viewport, carrying Data.
struct TDropResult {
  bool MoveAccepted;
  bool DropAccepted;
  Qt::DropAction Action;
};
TDropResult DragAndDrop(TVirtualTreeView& View, QPoint Point, const QMimeData* Data) {
  QDragEnterEvent enter(Point, Qt::MoveAction | Qt::CopyAction, Data, Qt::LeftButton, {});
  QApplication::sendEvent(View.viewport(), &enter);
  QDragMoveEvent move(Point, Qt::MoveAction | Qt::CopyAction, Data, Qt::LeftButton, {});
  QApplication::sendEvent(View.viewport(), &move);
  QDropEvent drop(QPointF(Point), Qt::MoveAction | Qt::CopyAction, Data, Qt::LeftButton, {});
  QApplication::sendEvent(View.viewport(), &drop);
  return {move.isAccepted(), drop.isAccepted(), drop.dropAction()};
}

TEST(TreeViewInput, DropsGoToTheTreeWithTheirSourceAndTheTargetUnderTheRealRow) {
  TShownView v;
  v.Tree.TreeOptions.MiscOptions |= toAcceptOLEDrop;
  v.View.ApplyOptions();
  v.Tree.FullExpand();
  // A headless row height far from the real one: only the view's geometry finds the right row.
  v.Tree.SetDefaultNodeHeight(1000);
  QStringList log;
  auto name = [&](TVirtualStringTree* t) { return t == &v.Tree ? u"self"_s : t ? u"other"_s : u"none"_s; };
  v.Tree.OnDragOver = [&](TVirtualStringTree*, TVirtualStringTree* Source, QPoint, std::uint32_t&, bool& Accept) {
    log << u"over "_s + name(Source);
    Accept = Source == &v.Tree;
  };
  v.Tree.OnDragDrop = [&](TVirtualStringTree* t, TVirtualStringTree* Source, QPoint Pt, std::uint32_t& Effect) {
    log << u"drop "_s + name(Source) + u" on "_s + QString::number(v.Tree.Name(t->GetNodeAt(Pt.x(), Pt.y())));
    Effect = deNone;  // the data moves, not the view
  };
  int started = 0;
  v.Tree.OnStartDrag = [&](TVirtualStringTree*) { ++started; };

  std::unique_ptr<QMimeData> own(v.View.Model().mimeData({v.Index(111)}));
  const TDropResult r = DragAndDrop(v.View, v.Caption(212), own.get());
  EXPECT_EQ(log, (QStringList{u"over self"_s, u"drop self on 212"_s}));
  EXPECT_TRUE(r.MoveAccepted);
  EXPECT_TRUE(r.DropAccepted);
  EXPECT_EQ(r.Action, Qt::IgnoreAction);
  EXPECT_EQ(v.Tree.TotalCount(), 15u);  // the model removed nothing for a move
  EXPECT_EQ(v.Tree.GetNodeAt(v.Caption(22).x(), v.Caption(22).y()), v.Tree.Find(22));

  // From another of our trees: that tree is the source, and this tree refuses it over the rows.
  log.clear();
  TLazyTree other;
  TVirtualTreeModel otherModel(other);
  std::unique_ptr<QMimeData> theirs(otherModel.mimeData({otherModel.index(0, 0)}));
  EXPECT_FALSE(DragAndDrop(v.View, v.Caption(2), theirs.get()).MoveAccepted);
  EXPECT_EQ(log, (QStringList{u"over other"_s, u"drop other on 2"_s}));
  // From elsewhere: no source.
  log.clear();
  QMimeData text;
  text.setText(u"dragged text"_s);
  EXPECT_FALSE(DragAndDrop(v.View, v.Caption(1), &text).MoveAccepted);
  EXPECT_EQ(log, (QStringList{u"over none"_s, u"drop none on 1"_s}));
  // The adapter's own entry, at a real row's rectangle.
  log.clear();
  EXPECT_EQ(v.View.DropAt(&v.Tree, v.View.NodeRect(v.Tree.Find(3)).bottomRight() - QPoint(2, 1)), deNone);
  EXPECT_EQ(log, QStringList{u"drop self on 3"_s});
  EXPECT_EQ(started, 0);
}

// The view's drag start, reachable from a test.
class TDragView : public TVirtualTreeView {
public:
  using TVirtualTreeView::startDrag;
  using TVirtualTreeView::TVirtualTreeView;
};

TEST(TreeViewInput, StartingADragTellsTheTreeFirstWithTheDraggedRowFocused) {
  TLazyTree tree;
  TDragView view(tree);
  view.resize(300, 300);
  view.show();
  QApplication::processEvents();
  QStringList log;
  tree.OnStartDrag = [&](TVirtualStringTree* t) { log << u"start "_s + QString::number(tree.Name(t->FocusedNode())); };
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.NodeRect(tree.Find(2)).center());
  view.startDrag(Qt::MoveAction);
  EXPECT_EQ(log, QStringList{u"start 2"_s});
  EXPECT_EQ(tree.TotalCount(), 3u);  // a drag that ends without a drop removes nothing
}

TEST(TreeViewInput, WithoutTheDropOptionNothingReachesTheTree) {
  TShownView v;  // toAcceptOLEDrop is off by default
  int asked = 0;
  v.Tree.OnDragOver = [&](TVirtualStringTree*, TVirtualStringTree*, QPoint, std::uint32_t&, bool&) { ++asked; };
  std::unique_ptr<QMimeData> own(v.View.Model().mimeData({v.Index(1)}));
  QDragEnterEvent enter(v.Caption(2), Qt::MoveAction, own.get(), Qt::LeftButton, {});
  QApplication::sendEvent(v.Viewport(), &enter);
  EXPECT_FALSE(enter.isAccepted());
  EXPECT_EQ(asked, 0);
}

TEST(TreeViewInput, TheResolverLeavesWithTheView) {
  TLazyTree tree;
  {
    TVirtualTreeView view(tree);
    EXPECT_TRUE(static_cast<bool>(tree.NodeAtResolver));
  }
  EXPECT_FALSE(static_cast<bool>(tree.NodeAtResolver));
  EXPECT_EQ(tree.GetNodeAt(1, 18 + 9), tree.Find(2));  // the headless rows again
}

TEST(TreeViewInput, AnErrorBelowAnEventHandlerGoesToTheHandlerNotThroughQt) {
  TShownView v;
  v.Tree.OnInitChildren = [](TVirtualStringTree*, PVirtualNode, std::uint32_t&) {
    throw Exception(u"Duplicate list ID 5"_s);
  };
  QStringList errors;
  v.View.Model().OnException = [&](std::exception_ptr e) {
    try {
      std::rethrow_exception(e);
    } catch (const Exception& x) {
      errors << x.Message();
    }
  };
  QTest::mouseClick(v.Viewport(), Qt::LeftButton, {}, v.Button(1));
  EXPECT_EQ(errors, QStringList{u"Duplicate list ID 5"_s});
  EXPECT_FALSE(v.Tree.Expanded(v.Tree.Find(1)));
  EXPECT_FALSE(v.View.isExpanded(v.Index(1)));
  // Without a handler the error reaches whoever called the entry point.
  v.View.Model().OnException = nullptr;
  EXPECT_THROW(v.View.Model().fetchMore(v.Index(2)), Exception);
}

}  // namespace
