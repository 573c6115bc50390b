// The item model alone: structure, lazy loads, check states, captions, images, refresh.
#include "ViewTestSupport.h"
#include "platform/vtree/view/TImageList.h"
#include "platform/vtree/view/TVirtualTreeModel.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QPixmap>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

QStringList Rows(const QAbstractItemModel& Model, const QModelIndex& Parent = {}) {
  QStringList rows;
  for (int r = 0; r < Model.rowCount(Parent); ++r) {
    const QModelIndex i = Model.index(r, 0, Parent);
    rows << i.data().toString();
    for (const QString& child : Rows(Model, i)) rows << u"."_s + child;
  }
  return rows;
}

TEST(TreeModel, TesterStaysQuietWhileTheTreeLoadsDeletesAndResets) {
  TWarningRecorder warnings;
  TLazyTree tree;
  tree.Clear();  // the tester's first pass would load everything: it starts on an empty tree
  TVirtualTreeModel model(tree);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
  // The tester's own fetchMore runs from inside its rowsRemoved handler, before it has closed the
  // removal; our loads are synchronous, so the test loads instead, as a view would.
  tester.setUseFetchMore(false);
  tree.SetRootNodeCount(3);  // blank nodes, named 1..3 when first shown
  EXPECT_EQ(Rows(model), (QStringList{u"n1"_s, u"n2"_s, u"n3"_s}));
  tree.SetExpanded(tree.Find(1), true);
  model.fetchMore(model.index(0, 0, model.index(0, 0)));  // 11
  tree.FullExpand(tree.Find(2));
  tree.SetExpanded(tree.Find(3), true);  // finds nothing
  EXPECT_EQ(Rows(model), (QStringList{u"n1"_s, u".n11"_s, u"..n111"_s, u"..n112"_s, u".n12"_s, u"n2"_s, u".n21"_s,
                                      u"..n211"_s, u"..n212"_s, u".n22"_s, u"..n221"_s, u"..n222"_s, u"n3"_s}));
  EXPECT_FALSE(model.hasChildren(model.index(2, 0)));
  tree.DeleteNode(tree.Find(11));                    // with its subtree
  tree.SetChildCount(tree.Find(2), 1);               // shrink
  tree.SetHasChildren(tree.Find(21), false);         // clearing the mark deletes the children
  PVirtualNode added = tree.AddChild(tree.Find(3));  // a parent whose load found nothing
  *static_cast<int*>(tree.GetNodeData(added)) = 310;
  EXPECT_EQ(Rows(model), (QStringList{u"n1"_s, u".n12"_s, u"n2"_s, u".n21"_s, u"n3"_s, u".n310"_s}));
  tree.DeleteNode(tree.Find(12));  // the last child: the parent loses its mark
  EXPECT_FALSE(model.hasChildren(model.index(0, 0)));
  tree.Refresh();
  tree.Clear();
  EXPECT_EQ(model.rowCount(), 0);
  tree.SetRootNodeCount(2);  // blank nodes, named 1 and 2 when first shown
  EXPECT_EQ(Rows(model), (QStringList{u"n1"_s, u"n2"_s}));
  EXPECT_TRUE(model.hasChildren(model.index(0, 0)));  // the init hook's mark
  EXPECT_TRUE(model.canFetchMore(model.index(0, 0)));
  tree.SetExpanded(tree.Find(1), true);
  EXPECT_EQ(Rows(model), (QStringList{u"n1"_s, u".n11"_s, u".n12"_s, u"n2"_s}));
  EXPECT_EQ(warnings.Warnings, QStringList{});
}

TEST(TreeModel, ALazyLoadArrivesAsInsertSignalsUnderItsNode) {
  TLazyTree tree;
  TVirtualTreeModel model(tree);
  const QModelIndex n1 = model.index(0, 0);
  EXPECT_TRUE(model.hasChildren(n1));
  EXPECT_EQ(model.rowCount(n1), 0);
  EXPECT_TRUE(model.canFetchMore(n1));
  QSignalSpy about(&model, &QAbstractItemModel::rowsAboutToBeInserted);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  tree.SetExpanded(tree.Find(1), true);  // the tree loads on its own: the model only hears
  ASSERT_EQ(inserted.count(), 2);
  ASSERT_EQ(about.count(), 2);
  for (int k = 0; k < 2; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(about.at(k).at(0).value<QModelIndex>(), n1);
    EXPECT_EQ(about.at(k).at(1).toInt(), k);
    EXPECT_EQ(about.at(k).at(2).toInt(), k);
    EXPECT_EQ(inserted.at(k).at(0).value<QModelIndex>(), n1);
  }
  EXPECT_EQ(model.rowCount(n1), 2);
  EXPECT_FALSE(model.canFetchMore(n1));
  // fetchMore loads through the tree; a load that finds nothing drops the button with dataChanged.
  const QModelIndex n2 = model.index(1, 0);
  model.fetchMore(n2);
  EXPECT_EQ(model.rowCount(n2), 2);
  EXPECT_EQ(inserted.count(), 4);
  EXPECT_EQ(tree.Loads, 2);
  const QModelIndex n3 = model.index(2, 0);
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  model.fetchMore(n3);
  EXPECT_EQ(inserted.count(), 4);
  EXPECT_FALSE(model.hasChildren(n3));
  EXPECT_FALSE(model.canFetchMore(n3));
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed.at(0).at(0).value<QModelIndex>(), n3);
  // Nothing else loaded on the way; the children are not initialised yet, so they show no mark.
  EXPECT_EQ(tree.Shape(), (QStringList{u"1+(x)"_s, u"11"_s, u"12"_s, u"2+"_s, u"21"_s, u"22"_s, u"3"_s}));
}

TEST(TreeModel, CheckStatesMapBothWaysAndAClickChangesThatNodeOnly) {
  struct TCase {
    TCheckState State;
    Qt::CheckState Shown;
  };
  const TCase cases[] = {{csUncheckedNormal, Qt::Unchecked},    {csUncheckedPressed, Qt::Unchecked},
                         {csCheckedNormal, Qt::Checked},        {csCheckedPressed, Qt::Checked},
                         {csMixedNormal, Qt::PartiallyChecked}, {csMixedPressed, Qt::PartiallyChecked}};
  TLazyTree tree;
  TVirtualTreeModel model(tree);
  tree.FullExpand();
  const QModelIndex n1 = model.index(0, 0);
  PVirtualNode node1 = tree.Find(1);
  for (const TCase& c : cases) {
    SCOPED_TRACE(int(c.State));
    node1->CheckState = c.State;
    EXPECT_EQ(n1.data(Qt::CheckStateRole).toInt(), int(c.Shown));
  }
  node1->CheckState = csUncheckedNormal;
  EXPECT_TRUE(model.flags(n1) & Qt::ItemIsUserCheckable);
  EXPECT_FALSE(model.flags(n1) & (Qt::ItemIsAutoTristate | Qt::ItemIsUserTristate));

  QStringList checked;
  tree.OnChecked = [&](TVirtualStringTree*, PVirtualNode n) { checked << QString::number(tree.Name(n)); };
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  EXPECT_TRUE(model.setData(n1, Qt::Checked, Qt::CheckStateRole));
  EXPECT_EQ(checked, QStringList{u"1"_s});
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed.at(0).at(0).value<QModelIndex>(), n1);
  EXPECT_EQ(node1->CheckState, csCheckedNormal);
  for (int other : {11, 12, 111, 2}) EXPECT_EQ(tree.Find(other)->CheckState, csUncheckedNormal) << other;
  // Asking for the state it has is no click.
  EXPECT_TRUE(model.setData(n1, Qt::Checked, Qt::CheckStateRole));
  EXPECT_EQ(checked.size(), 1);
  // A mixed node: Qt asks for Checked next, and the tree's click gives that.
  PVirtualNode node11 = tree.Find(11);
  node11->CheckState = csMixedNormal;
  EXPECT_TRUE(model.setData(model.IndexOf(node11), Qt::Checked, Qt::CheckStateRole));
  EXPECT_EQ(node11->CheckState, csCheckedNormal);
  EXPECT_EQ(checked, (QStringList{u"1"_s, u"11"_s}));
  // The checking event may refuse: nothing changes, and still no error.
  tree.OnChecking = [](TVirtualStringTree*, PVirtualNode, TCheckState&, bool& Allowed) { Allowed = false; };
  EXPECT_TRUE(model.setData(n1, Qt::Unchecked, Qt::CheckStateRole));
  EXPECT_EQ(node1->CheckState, csCheckedNormal);
}

TEST(TreeModel, NoCheckBoxWithoutCheckSupportOrForNoneAndButtons) {
  TLazyTree tree;
  TVirtualTreeModel model(tree);
  const QModelIndex n1 = model.index(0, 0);
  n1.data();  // initialised: a check box
  tree.Find(1)->CheckType = ctNone;
  EXPECT_FALSE(n1.data(Qt::CheckStateRole).isValid());
  EXPECT_FALSE(model.flags(n1) & Qt::ItemIsUserCheckable);
  EXPECT_FALSE(model.setData(n1, Qt::Checked, Qt::CheckStateRole));
  tree.Find(1)->CheckType = ctButton;
  EXPECT_FALSE(n1.data(Qt::CheckStateRole).isValid());
  tree.Find(1)->CheckType = ctCheckBox;
  EXPECT_TRUE(n1.data(Qt::CheckStateRole).isValid());
  tree.TreeOptions.MiscOptions &= ~toCheckSupport;
  EXPECT_FALSE(n1.data(Qt::CheckStateRole).isValid());
  EXPECT_FALSE(model.flags(n1) & Qt::ItemIsUserCheckable);
}

TEST(TreeModel, CaptionsComeFromTheTreeAndEditsGoToItsNewTextHookOnlyWhenEditable) {
  TLazyTree tree;
  TVirtualTreeModel model(tree);
  const QModelIndex n2 = model.index(1, 0);
  EXPECT_EQ(n2.data(Qt::DisplayRole).toString(), u"n2"_s);
  EXPECT_EQ(n2.data(Qt::EditRole).toString(), u"n2"_s);
  QStringList edits;
  tree.OnNewText = [&](TVirtualStringTree*, PVirtualNode n, TColumnIndex, const QString& t) {
    edits << QString::number(tree.Name(n)) + u"="_s + t;
  };
  EXPECT_FALSE(model.flags(n2) & Qt::ItemIsEditable);
  EXPECT_FALSE(model.setData(n2, u"x"_s, Qt::EditRole));
  tree.TreeOptions.MiscOptions |= toEditable;
  EXPECT_TRUE(model.flags(n2) & Qt::ItemIsEditable);
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  EXPECT_TRUE(model.setData(n2, u"Two"_s, Qt::EditRole));
  EXPECT_EQ(edits, QStringList{u"2=Two"_s});
  EXPECT_EQ(changed.count(), 1);
}

TEST(TreeModel, ImagesComeThroughTheListByKindAndNoneOrOutOfRangeShowNothing) {
  TLazyTree tree;
  TVirtualTreeModel model(tree);
  TImageList images;
  QPixmap red(8, 8), blue(8, 8);
  red.fill(Qt::red);
  blue.fill(Qt::blue);
  images.Add(QIcon(red));
  images.Add(QIcon(blue));
  // Node 1: image 0, 1 when selected; node 2: -1; node 3: 7, past the list.
  tree.OnGetImageIndex = [&](TVirtualStringTree*, PVirtualNode n, TVTImageKind kind, TColumnIndex, bool&, int& i) {
    const int name = tree.Name(n);
    i = name == 1 ? (kind == ikSelected ? 1 : 0) : name == 2 ? -1 : 7;
  };
  const auto colour = [&](int Row) {
    const QIcon icon = model.index(Row, 0).data(Qt::DecorationRole).value<QIcon>();
    return icon.isNull() ? QColor() : icon.pixmap(8, 8).toImage().pixelColor(4, 4);
  };
  EXPECT_FALSE(model.index(0, 0).data(Qt::DecorationRole).isValid());  // no list yet
  model.SetImages(&images);
  EXPECT_EQ(colour(0), QColor(Qt::red));
  tree.SetSelected(tree.Find(1), true);
  EXPECT_EQ(colour(0), QColor(Qt::blue));
  EXPECT_FALSE(model.index(1, 0).data(Qt::DecorationRole).isValid());
  EXPECT_FALSE(model.index(2, 0).data(Qt::DecorationRole).isValid());
}

TEST(TreeModel, RefreshRepaintsEveryNodeThatExistsOneRangePerParent) {
  TLazyTree tree;
  TVirtualTreeModel model(tree);
  tree.FullExpand();
  tree.FullCollapse();  // collapsed branches count too: SetAllCheckState stores into them
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  tree.Refresh();
  QStringList ranges;
  for (const QList<QVariant>& args : changed) {
    const auto first = args.at(0).value<QModelIndex>(), last = args.at(1).value<QModelIndex>();
    EXPECT_EQ(first.parent(), last.parent());
    ranges << first.data().toString() + u".."_s + last.data().toString();
  }
  EXPECT_EQ(ranges, (QStringList{u"n1..n3"_s, u"n11..n12"_s, u"n111..n112"_s, u"n121..n122"_s, u"n21..n22"_s,
                                 u"n211..n212"_s, u"n221..n222"_s}));
}

TEST(TreeModel, AWholeTreeExpansionOrCollapseIsOneResetAndABranchGoesRowByRow) {
  TWarningRecorder warnings;
  TLazyTree tree;
  TVirtualTreeModel model(tree);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
  tester.setUseFetchMore(false);
  QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  QSignalSpy expanded(&model, &TVirtualTreeModel::NodeExpanded);
  QSignalSpy collapsed(&model, &TVirtualTreeModel::NodeCollapsed);
  tree.FullExpand();
  EXPECT_EQ(resets.count(), 1);
  EXPECT_EQ(inserted.count() + changed.count() + expanded.count(), 0);
  EXPECT_EQ(Rows(model),
            (QStringList{u"n1"_s, u".n11"_s, u"..n111"_s, u"..n112"_s, u".n12"_s, u"..n121"_s, u"..n122"_s, u"n2"_s,
                         u".n21"_s, u"..n211"_s, u"..n212"_s, u".n22"_s, u"..n221"_s, u"..n222"_s, u"n3"_s}));
  tree.FullCollapse();
  EXPECT_EQ(resets.count(), 2);
  EXPECT_EQ(collapsed.count(), 0);
  tree.FullExpand(tree.Find(2));  // a branch: the view keeps its rows, each expansion is announced
  EXPECT_EQ(resets.count(), 2);
  EXPECT_EQ(expanded.count(), 3);
  EXPECT_EQ(warnings.Warnings, QStringList{});
}

TEST(TreeModel, IndexesMapToNodesAndBack) {
  TLazyTree tree;
  TVirtualTreeModel model(tree);
  tree.FullExpand();
  PVirtualNode n122 = tree.Find(122);
  const QModelIndex i = model.IndexOf(n122);
  EXPECT_EQ(i.internalPointer(), n122);
  EXPECT_EQ(i.row(), 1);
  EXPECT_EQ(i.parent().data().toString(), u"n12"_s);
  EXPECT_EQ(i.parent().parent().data().toString(), u"n1"_s);
  EXPECT_FALSE(i.parent().parent().parent().isValid());
  EXPECT_EQ(model.NodeOf(model.index(1, 0, model.index(1, 0, model.index(0, 0)))), n122);
  EXPECT_FALSE(model.IndexOf(tree.RootNode()).isValid());
  EXPECT_FALSE(model.IndexOf(nullptr).isValid());
  EXPECT_FALSE(model.index(2, 0, model.index(0, 0)).isValid());
  EXPECT_FALSE(model.index(0, 1).isValid());
  // Reading rows backwards and forwards in a long sibling list meets every node.
  for (int k = 0; k < 40; ++k) tree.AddChild(tree.Find(3));
  const QModelIndex n3 = model.index(2, 0);
  for (int r : {39, 0, 20, 21, 19, 38, 1}) EXPECT_EQ(model.index(r, 0, n3).row(), r);
  EXPECT_EQ(model.NodeOf(model.index(20, 0, n3))->Index, 20u);
}

}  // namespace
