#include "VTreeTestSupport.h"

#include "platform/base/Exception.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class VTree : public ::testing::Test {
protected:
  VTree() { Tree.SetNodeDataSize(sizeof(int)); }
  // Pre-order names of the nodes that exist.
  QStringList Shape() {
    QStringList s;
    for (PVirtualNode n = Tree.GetFirstNoInit(); n; n = Tree.GetNextNoInit(n))
      s << QString(Tree.GetNodeLevel(n), QLatin1Char('.')) + Name(Tree, n);
    return s;
  }
  TVirtualStringTree Tree;
  QStringList Log;
};

TEST_F(VTree, AddChildLinksNodesUnderTheHiddenRootAndZeroFillsTheData) {
  PVirtualNode a = Tree.AddChild(nullptr);
  EXPECT_EQ(NodeName(Tree, a), 0);
  NodeName(Tree, a) = 1;
  PVirtualNode d = Add(Tree, nullptr, 4);
  PVirtualNode b = Add(Tree, a, 2);
  PVirtualNode c = Add(Tree, a, 3);
  EXPECT_EQ(a->Parent, Tree.RootNode());
  EXPECT_EQ(Tree.RootNode()->Parent, nullptr);
  EXPECT_EQ(Tree.RootNodeCount(), 2u);
  EXPECT_EQ(Tree.TotalCount(), 4u);
  EXPECT_EQ(a->ChildCount, 2u);
  EXPECT_EQ(a->FirstChild, b);
  EXPECT_EQ(a->LastChild, c);
  EXPECT_EQ(b->NextSibling, c);
  EXPECT_EQ(c->PrevSibling, b);
  EXPECT_EQ(a->NextSibling, d);
  EXPECT_EQ(c->Index, 1u);
  EXPECT_EQ(d->Index, 1u);
  EXPECT_TRUE(a->States & vsHasChildren);  // a child gives its parent the mark
  EXPECT_FALSE(d->States & vsHasChildren);
  EXPECT_EQ(Tree.GetNodeData(Tree.RootNode()), nullptr);
  EXPECT_EQ(Tree.GetNodeData(nullptr), nullptr);
  EXPECT_EQ(Shape(), (QStringList{u"1"_s, u".2"_s, u".3"_s, u"4"_s}));
}

TEST_F(VTree, AddChildInitialisesTheParentFirst) {
  QStringList inits;
  Tree.OnInitNode = [&](TVirtualStringTree*, PVirtualNode parent, PVirtualNode node, TVirtualNodeInitStates&) {
    inits << Name(Tree, parent) + QStringLiteral(">") + Name(Tree, node);
  };
  PVirtualNode a = Add(Tree, nullptr, 1);
  EXPECT_TRUE(inits.isEmpty());  // a new node itself is not initialised yet
  EXPECT_FALSE(a->States & vsInitialized);
  PVirtualNode b = Add(Tree, a, 2);
  Add(Tree, a, 3);
  EXPECT_EQ(inits, QStringList{u"none>1"_s});  // top-level nodes get no parent in the hook
  EXPECT_TRUE(a->States & vsInitialized);
  EXPECT_FALSE(b->States & vsInitialized);
}

TEST_F(VTree, DeleteNodeFreesChildrenBeforeTheNodeAndRenumbersSiblings) {
  PVirtualNode a = Add(Tree, nullptr, 1);
  PVirtualNode b = Add(Tree, a, 2);
  Add(Tree, b, 5);
  Add(Tree, b, 6);
  Add(Tree, a, 3);
  PVirtualNode d = Add(Tree, nullptr, 4);
  TLogObserver observer(Tree, Log);
  Tree.OnFreeNode = [&](TVirtualStringTree*, PVirtualNode n) { Log << QStringLiteral("free ") + Name(Tree, n); };
  Tree.DeleteNode(b);
  EXPECT_EQ(Log, (QStringList{u"-? 1 0..0"_s, u"free 5"_s, u"free 6"_s, u"free 2"_s, u"-! 1 0..0"_s}));
  EXPECT_EQ(Shape(), (QStringList{u"1"_s, u".3"_s, u"4"_s}));
  EXPECT_EQ(a->FirstChild->Index, 0u);
  EXPECT_EQ(a->ChildCount, 1u);
  EXPECT_EQ(Tree.TotalCount(), 3u);

  Log.clear();
  Tree.DeleteNode(a->FirstChild);  // the last child: the parent loses its mark and says so
  EXPECT_EQ(Log, (QStringList{u"-? 1 0..0"_s, u"free 3"_s, u"-! 1 0..0"_s, u"changed 1"_s}));
  EXPECT_FALSE(a->States & vsHasChildren);
  Tree.DeleteNode(a);
  EXPECT_EQ(Tree.GetFirstNoInit(), d);
  EXPECT_EQ(d->Index, 0u);
  EXPECT_EQ(d->PrevSibling, nullptr);
  Tree.DeleteNode(Tree.RootNode());  // the hidden root is never deleted
  EXPECT_EQ(Tree.TotalCount(), 1u);
}

TEST_F(VTree, DeletingTheFocusedSelectedNodeLeavesNoFocusAndReportsTheChange) {
  PVirtualNode a = Add(Tree, nullptr, 1);
  PVirtualNode b = Add(Tree, a, 2);
  Tree.UserSelect(b);
  QStringList events;
  Tree.OnChange = [&](TVirtualStringTree*, PVirtualNode n) { events << QStringLiteral("change ") + Name(Tree, n); };
  Tree.OnFocusChanged = [&](TVirtualStringTree*, PVirtualNode n, TColumnIndex) {
    events << QStringLiteral("focus ") + Name(Tree, n);
  };
  Tree.DeleteNode(a);
  EXPECT_EQ(Tree.FocusedNode(), nullptr);
  EXPECT_EQ(Tree.SelectedCount(), 0);
  EXPECT_EQ(events, (QStringList{u"focus none"_s, u"change none"_s}));
}

TEST_F(VTree, ClearFreesEveryNodeOnceAndResetsFocusAndSelection) {
  PVirtualNode a = Add(Tree, nullptr, 1);
  Add(Tree, Add(Tree, a, 2), 3);
  Add(Tree, nullptr, 4);
  Tree.UserSelect(a);
  TLogObserver observer(Tree, Log);
  QStringList freed;
  Tree.OnFreeNode = [&](TVirtualStringTree*, PVirtualNode n) { freed << Name(Tree, n); };
  Tree.Clear();
  freed.sort();
  EXPECT_EQ(freed, (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
  EXPECT_EQ(Log, (QStringList{u"reset?"_s, u"reset!"_s}));
  EXPECT_EQ(Tree.TotalCount(), 0u);
  EXPECT_EQ(Tree.GetFirst(), nullptr);
  EXPECT_EQ(Tree.FocusedNode(), nullptr);
  EXPECT_EQ(Tree.SelectedCount(), 0);
  // With no nodes the size may change again; with nodes it may not.
  Tree.SetNodeDataSize(8);
  Tree.AddChild(nullptr);
  EXPECT_THROW(Tree.SetNodeDataSize(16), Exception);
}

TEST_F(VTree, DeepChainIsReleasedWithoutRecursion) {
  // A chain far deeper than any call stack would survive if freeing recursed.
  PVirtualNode n = nullptr;
  for (int i = 0; i < 200000; ++i) n = Tree.AddChild(n);
  int freed = 0;
  Tree.OnFreeNode = [&](TVirtualStringTree*, PVirtualNode) { ++freed; };
  Tree.DeleteNode(Tree.GetFirstNoInit());
  EXPECT_EQ(freed, 200000);
  EXPECT_EQ(Tree.TotalCount(), 0u);
  for (int i = 0; i < 200000; ++i) n = Tree.AddChild(i == 0 ? nullptr : n);
}  // the destructor releases the second chain, also without recursion

TEST_F(VTree, UpdateBracketNestsAndAnnouncesOnlyTheOutermostPair) {
  TLogObserver observer(Tree, Log);
  Tree.BeginUpdate();
  Tree.BeginUpdate();
  Tree.AddChild(nullptr);
  Tree.EndUpdate();
  EXPECT_EQ(Tree.UpdateCount(), 1);
  Tree.EndUpdate();
  Tree.EndUpdate();  // unmatched: nothing
  EXPECT_EQ(Tree.UpdateCount(), 0);
  EXPECT_EQ(Log, (QStringList{u"update("_s, u"+? root 0..0"_s, u"+! root 0..0"_s, u"update)"_s}));
}

TEST_F(VTree, InsertAnnouncementsShowTheOldShapeBeforeAndTheNewAfter) {
  struct TCountObserver : TVirtualTreeObserver {
    std::vector<std::uint32_t> Seen;
    void BeforeInsertChildren(PVirtualNode P, int, int) override { Seen.push_back(P->ChildCount); }
    void AfterInsertChildren(PVirtualNode P, int, int) override { Seen.push_back(P->ChildCount); }
    void BeforeRemoveChildren(PVirtualNode P, int, int) override { Seen.push_back(P->ChildCount); }
    void AfterRemoveChildren(PVirtualNode P, int, int) override { Seen.push_back(P->ChildCount); }
  } counts;
  Tree.AddObserver(&counts);
  PVirtualNode a = Tree.AddChild(nullptr);
  Tree.AddChild(nullptr);
  Tree.DeleteNode(a);
  Tree.RemoveObserver(&counts);
  Tree.AddChild(nullptr);
  EXPECT_EQ(counts.Seen, (std::vector<std::uint32_t>{0, 1, 1, 2, 2, 1}));
}

}  // namespace

namespace {
TEST(VTreeRows, ChildAtFindsEachRowInAnyOrderAndAfterDeletes) {
  TVirtualStringTree tree;
  tree.SetNodeDataSize(sizeof(int));
  std::vector<PVirtualNode> nodes;
  for (int i = 0; i < 50; ++i) nodes.push_back(Add(tree, nullptr, i));
  for (std::uint32_t i : {0u, 49u, 25u, 26u, 24u, 3u, 47u, 25u}) EXPECT_EQ(tree.GetChildAt(nullptr, i), nodes[i]);
  EXPECT_EQ(tree.GetChildAt(nullptr, 50), nullptr);
  EXPECT_EQ(tree.GetChildAt(nodes[0], 0), nullptr);
  tree.DeleteNode(nodes[25]);  // the previous answer goes; later rows move up
  EXPECT_EQ(tree.GetChildAt(nullptr, 25), nodes[26]);
  EXPECT_EQ(tree.GetChildAt(nullptr, 48), nodes[49]);
  PVirtualNode child = Add(tree, nodes[26], 100);
  EXPECT_EQ(tree.GetChildAt(nodes[26], 0), child);
  EXPECT_EQ(tree.GetChildAt(nullptr, 24), nodes[24]);
}
}  // namespace
