#include "VTreeTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

// A tree whose children come from a table on first need, as the data-bound tree loads them:
// Children[id] lists the ids created under the node named id; a listed id gets the mark.
class TTableTree : public TVirtualStringTree {
public:
  std::map<int, std::vector<int>> Children;
  QStringList Log;
  std::uint32_t ExtraCount = 0;  // reported on top of what the hook created

  TTableTree() { SetNodeDataSize(sizeof(int)); }
  PVirtualNode AddRow(PVirtualNode Parent, int Id) {
    PVirtualNode n = Add(*this, Parent, Id);
    if (Children.count(Id)) SetHasChildren(n, true);
    return n;
  }

protected:
  void DoInitNode(PVirtualNode P, PVirtualNode N, TVirtualNodeInitStates& S) override {
    Log << u"init "_s + Name(*this, N);
    TVirtualStringTree::DoInitNode(P, N, S);
  }
  void DoInitChildren(PVirtualNode Node, std::uint32_t& Count) override {
    Log << u"load "_s + Name(*this, Node);
    for (int id : Children[NodeName(*this, Node)]) {
      AddRow(Node, id);
      ++Count;
    }
    Count += ExtraCount;
  }
};

class VTreeLazy : public ::testing::Test {
protected:
  VTreeLazy() {
    // 1 (2 (5), 3), 4 (nothing found), 6
    Tree.Children = {{1, {2, 3}}, {2, {5}}, {4, {}}};
    for (int id : {1, 4, 6}) Tree.AddRow(nullptr, id);
  }
  PVirtualNode Top(int Index) {
    PVirtualNode n = Tree.GetFirstNoInit();
    while (Index-- > 0) n = n->NextSibling;
    return n;
  }
  TTableTree Tree;
  QStringList Log;
};

TEST_F(VTreeLazy, ExpandLoadsOnceThenAnnouncesTheChildrenBeforeTheExpansion) {
  PVirtualNode a = Top(0);
  ASSERT_EQ(a->ChildCount, 0u);
  TLogObserver observer(Tree, Log);
  Tree.SetExpanded(a, true);
  EXPECT_EQ(Tree.Log, (QStringList{u"init 1"_s, u"load 1"_s}));
  EXPECT_EQ(Log, (QStringList{u"+? 1 0..0"_s, u"+! 1 0..0"_s, u"changed 2"_s, u"+? 1 1..1"_s, u"+! 1 1..1"_s,
                              u"expanded 1"_s}));
  EXPECT_EQ(a->ChildCount, 2u);
  EXPECT_TRUE(a->States & vsExpanded);
  Tree.SetExpanded(a, false);
  Tree.SetExpanded(a, true);  // children are kept: no second load
  EXPECT_EQ(Tree.Log.count(u"load 1"_s), 1);
  EXPECT_EQ(a->ChildCount, 2u);
  Tree.SetExpanded(Tree.RootNode(), true);  // the root: nothing
}

TEST_F(VTreeLazy, ALoadThatFindsNothingClearsTheMarkAndLeavesTheNodeCollapsed) {
  PVirtualNode d = Top(1);
  ASSERT_TRUE(d->States & vsHasChildren);
  TLogObserver observer(Tree, Log);
  Tree.SetExpanded(d, true);
  EXPECT_FALSE(d->States & vsHasChildren);
  EXPECT_FALSE(d->States & vsExpanded);
  EXPECT_EQ(Log, (QStringList{u"changed 4"_s}));
  Tree.SetExpanded(d, true);
  EXPECT_EQ(Tree.Log.count(u"load 4"_s), 1);
}

TEST_F(VTreeLazy, ReportedCountAboveTheCreatedChildrenAddsBlankNodes) {
  Tree.ExtraCount = 2;
  PVirtualNode a = Top(0);
  Tree.InitChildren(a);
  EXPECT_EQ(a->ChildCount, 4u);
  EXPECT_EQ(NodeName(Tree, a->LastChild), 0);
}

TEST_F(VTreeLazy, WalkInitialisesEachNodeAndLoadsChildrenBeforeGoingDown) {
  QStringList walk;
  for (PVirtualNode n = Tree.GetFirst(); n; n = Tree.GetNext(n)) {
    EXPECT_TRUE(n->States & vsInitialized);
    walk << Name(Tree, n);
    Tree.Log << u"visit "_s + Name(Tree, n);
  }
  EXPECT_EQ(walk, (QStringList{u"1"_s, u"2"_s, u"5"_s, u"3"_s, u"4"_s, u"6"_s}));
  EXPECT_EQ(Tree.Log, (QStringList{u"init 1"_s, u"visit 1"_s, u"load 1"_s, u"init 2"_s, u"visit 2"_s, u"load 2"_s,
                                   u"init 5"_s, u"visit 5"_s, u"init 3"_s, u"visit 3"_s, u"init 4"_s, u"visit 4"_s,
                                   u"load 4"_s, u"init 6"_s, u"visit 6"_s}));
  // The walk loads but expands nothing.
  EXPECT_FALSE(Top(0)->States & vsExpanded);
}

TEST_F(VTreeLazy, CheckedWalkVisitsOnlyExistingNodesAndInitialisesOnlyThoseItReturns) {
  Tree.InitChildren(Top(0));  // 2 and 3 exist; 2's child 5 does not yet
  Top(0)->FirstChild->CheckState = csCheckedNormal;
  Top(2)->CheckState = csCheckedNormal;
  Top(1)->CheckState = csMixedNormal;
  Tree.Log.clear();
  QStringList found;
  for (PVirtualNode n = Tree.GetFirstChecked(); n; n = Tree.GetNextChecked(n)) found << Name(Tree, n);
  EXPECT_EQ(found, (QStringList{u"2"_s, u"6"_s}));
  EXPECT_EQ(Tree.Log, (QStringList{u"init 2"_s, u"init 6"_s}));
  EXPECT_EQ(Tree.GetFirstChecked(csMixedNormal), Top(1));
}

TEST_F(VTreeLazy, FullExpandLoadsEveryBranchAndFullCollapseHidesAllButTheTopLevel) {
  TLogObserver observer(Tree, Log);
  Tree.FullExpand();
  EXPECT_EQ(Tree.TotalCount(), 6u);
  EXPECT_TRUE(Log.contains(u"expanded 2"_s));
  EXPECT_EQ(Log.front(), u"update("_s);
  EXPECT_EQ(Log.back(), u"update)"_s);
  // Rows of the headless view: 1, 2, 5, 3, 4, 6.
  const int h = Tree.DefaultNodeHeight();
  EXPECT_EQ(Name(Tree, Tree.GetNodeAt(5, 2 * h + 1)), u"5"_s);
  EXPECT_EQ(Tree.GetNodePoint(Top(2)).y() / h, 5);
  EXPECT_EQ(Tree.GetNodeAt(0, 6 * h), nullptr);
  Tree.FullCollapse();
  for (PVirtualNode n = Tree.GetFirstNoInit(); n; n = Tree.GetNextNoInit(n)) EXPECT_FALSE(n->States & vsExpanded);
  EXPECT_EQ(Name(Tree, Tree.GetNodeAt(0, 1 * h)), u"4"_s);
  EXPECT_EQ(Tree.GetNodePoint(Top(0)->FirstChild), QPoint(-1, -1));
  EXPECT_EQ(Tree.TotalCount(), 6u);  // collapsing keeps the nodes
}

TEST_F(VTreeLazy, WholeTreeExpandAndCollapseAreOneBulkChangeOnEveryPathOut) {
  struct TCase {
    const char* Name;
    std::function<void(TTableTree&)> Act;
    bool Bulk;  // one BulkBegun/BulkEnded pair inside the update bracket, or none
    bool Throws;
  };
  const TCase cases[] = {
      {"whole tree expanded", [](TTableTree& t) { t.FullExpand(); }, true, false},
      {"whole tree through the root", [](TTableTree& t) { t.FullExpand(t.RootNode()); }, true, false},
      {"whole tree collapsed", [](TTableTree& t) { t.FullCollapse(); }, true, false},
      {"one branch expanded", [](TTableTree& t) { t.FullExpand(t.GetFirstNoInit()); }, false, false},
      {"one branch collapsed", [](TTableTree& t) { t.FullCollapse(t.GetFirstNoInit()); }, false, false},
      {"a handler expanding the whole tree again",
       [](TTableTree& t) {
         t.OnExpanded = [](TVirtualStringTree* Self, PVirtualNode) { Self->FullExpand(); };
         t.FullExpand();
       },
       true, false},
      {"a handler that fails",
       [](TTableTree& t) {
         t.OnExpanded = [](TVirtualStringTree* Self, PVirtualNode N) {
           if (NodeName(*Self, N) == 2) throw std::runtime_error("expansion refused");
         };
         t.FullExpand();
       },
       true, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTableTree tree;
    tree.Children = Tree.Children;
    for (int id : {1, 4, 6}) tree.AddRow(nullptr, id);
    QStringList log;
    TLogObserver observer(tree, log);
    if (c.Throws)
      EXPECT_THROW(c.Act(tree), std::runtime_error);
    else
      c.Act(tree);
    EXPECT_EQ(log.count(u"bulk("_s), c.Bulk ? 1 : 0);
    EXPECT_EQ(log.count(u"bulk)"_s), c.Bulk ? 1 : 0);
    if (c.Bulk) {
      EXPECT_EQ(log.value(1), u"bulk("_s);
      EXPECT_EQ(log.value(log.size() - 2), u"bulk)"_s);
    }
    EXPECT_EQ(tree.UpdateCount(), 0);
  }
}

TEST_F(VTreeLazy, FullExpandOfOneNodeStaysInsideItsSubtree) {
  PVirtualNode a = Top(0);
  Tree.FullExpand(a);
  EXPECT_TRUE(a->FirstChild->States & vsExpanded);
  EXPECT_EQ(Tree.Log.count(u"load 4"_s), 0);
}

TEST_F(VTreeLazy, ClearingTheMarkDeletesTheChildren) {
  PVirtualNode a = Top(0);
  Tree.FullExpand(a);
  int freed = 0;
  Tree.OnFreeNode = [&](TVirtualStringTree*, PVirtualNode) { ++freed; };
  TLogObserver observer(Tree, Log);
  Tree.SetHasChildren(a, false);
  EXPECT_EQ(freed, 3);
  EXPECT_EQ(a->ChildCount, 0u);
  EXPECT_FALSE(a->States & (vsHasChildren | vsExpanded));
  EXPECT_EQ(Log, (QStringList{u"-? 1 0..1"_s, u"-! 1 0..1"_s, u"changed 1"_s}));
}

TEST_F(VTreeLazy, InitStatesFromTheHookApply) {
  TVirtualStringTree tree;
  tree.OnInitNode = [](TVirtualStringTree*, PVirtualNode, PVirtualNode n, TVirtualNodeInitStates& s) {
    n->CheckType = ctCheckBox;
    s |= ivsHasChildren;
  };
  PVirtualNode n = tree.AddChild(nullptr);
  EXPECT_EQ(tree.GetFirst(), n);
  EXPECT_EQ(n->CheckType, ctCheckBox);
  EXPECT_TRUE(n->States & vsHasChildren);
  EXPECT_EQ(tree.GetNext(n), nullptr);  // no init-children handler: the load finds nothing
  EXPECT_FALSE(n->States & vsHasChildren);
}

}  // namespace
