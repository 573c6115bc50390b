// What a view adapter sees: a mirror kept only from the announcements must match the tree after
// loads, lazy expansions, following the master, inserts, deletes, moves and drops.
#include "TreeDbFixture.h"

#include "platform/base/MessageService.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace Qt::StringLiterals;

namespace {

class TMirror : public TVirtualTreeObserver {
public:
  explicit TMirror(TVirtualStringTree& Tree) : FTree(Tree) { Tree.AddObserver(this); }
  ~TMirror() override { FTree.RemoveObserver(this); }

  // Every existing node's child count as the announcements told it; empty when all agree.
  QStringList Differences() const {
    QStringList out = FErrors;
    for (PVirtualNode n = FTree.GetFirstNoInit(); n; n = FTree.GetNextNoInit(n))
      if (Rows(n) != static_cast<int>(n->ChildCount))
        out << u"rows of "_s + KeyOf(n) + u": told "_s + QString::number(Rows(n)) + u", has "_s +
                   QString::number(n->ChildCount);
    if (Rows(FTree.RootNode()) != static_cast<int>(FTree.RootNodeCount())) out << u"top level count"_s;
    return out;
  }

  void BeforeInsertChildren(PVirtualNode P, int F, int L) override {
    Expect(!FPending, u"nested change"_s);
    Expect(Rows(P) == static_cast<int>(P->ChildCount) && F == Rows(P) && L >= F, u"insert position"_s);
    FPending = true;
  }
  void AfterInsertChildren(PVirtualNode P, int F, int L) override {
    FPending = false;
    FRows[P] += L - F + 1;
    Expect(FRows[P] == static_cast<int>(P->ChildCount), u"insert count"_s);
  }
  void BeforeRemoveChildren(PVirtualNode P, int F, int L) override {
    Expect(!FPending, u"nested change"_s);
    Expect(Rows(P) == static_cast<int>(P->ChildCount) && F >= 0 && L < Rows(P), u"remove range"_s);
    // The removed nodes and their subtrees leave the mirror; they are still linked now.
    PVirtualNode c = P->FirstChild;
    for (int i = 0; i < F; ++i) c = c->NextSibling;
    for (int i = F; i <= L; ++i, c = c->NextSibling) Forget(c);
    FPending = true;
  }
  void AfterRemoveChildren(PVirtualNode P, int F, int L) override {
    FPending = false;
    FRows[P] -= L - F + 1;
  }
  void BeforeReset() override { FPending = true; }
  void AfterReset() override {
    FPending = false;
    FRows.clear();
  }
  void Expanded(PVirtualNode N) override { Expect(FRows[N] > 0, u"expanded before its children came"_s); }

private:
  int Rows(PVirtualNode N) const {
    auto it = FRows.find(N);
    return it == FRows.end() ? 0 : it->second;
  }
  void Forget(PVirtualNode N) {
    std::vector<PVirtualNode> stack{N};
    while (!stack.empty()) {
      PVirtualNode n = stack.back();
      stack.pop_back();
      FRows.erase(n);
      for (PVirtualNode c = n->FirstChild; c; c = c->NextSibling) stack.push_back(c);
    }
  }
  QString KeyOf(PVirtualNode N) const { return static_cast<TTestTree&>(FTree).KeyOf(N); }
  void Expect(bool Ok, const QString& What) {
    if (!Ok) FErrors << What;
  }
  TVirtualStringTree& FTree;
  std::map<PVirtualNode, int> FRows;
  QStringList FErrors;
  bool FPending = false;
};

TEST(TreeAnnouncements, AMirrorBuiltFromTheAnnouncementsMatchesTheTree) {
  TMessageRecorder boxes;
  TTreeDb db({{1, -1, u"A"_s}, {2, 1, u"B"_s}, {3, 1, u"C"_s}, {4, -1, u"D"_s}, {5, 2, u"E"_s}, {6, 4, u"F"_s}});
  TTestTree tree;
  TMirror mirror(tree);
  Bind(tree, db);
  db.Query.Open();
  EXPECT_EQ(mirror.Differences(), QStringList());
  tree.SetExpanded(tree.Node(1), true);
  ASSERT_TRUE(db.Query.Locate(u"id"_s, 5));  // loads 2's branch on the way
  EXPECT_EQ(mirror.Differences(), QStringList());

  db.Query.Append();  // a row under the never-loaded 6
  db.Query.FieldByName(u"id"_s).SetValue(7);
  db.Query.FieldByName(u"parentid"_s).SetValue(6);
  db.Query.FieldByName(u"fname"_s).SetValue(u"G"_s);
  db.Query.Post();
  EXPECT_EQ(mirror.Differences(), QStringList());

  ASSERT_TRUE(db.Query.Locate(u"id"_s, 2));  // move 2 with its subtree under 4
  db.Query.Edit();
  db.Query.FieldByName(u"parentid"_s).SetValue(4);
  db.Query.Post();
  EXPECT_EQ(mirror.Differences(), QStringList());

  ASSERT_TRUE(db.Query.Locate(u"id"_s, 3));  // C is an only child now: delete it
  db.Query.Delete();
  EXPECT_EQ(mirror.Differences(), QStringList());

  tree.UserSelect(tree.Node(7));
  tree.StartDrag();
  boxes.Answers.push_back(TMessageAnswer::Yes);
  tree.FullExpand();
  tree.DragDrop(&tree, tree.GetNodePoint(tree.Node(1)));
  EXPECT_EQ(db.Query.Lookup(u"id"_s, 7, u"parentid"_s).toInt(), 1);
  EXPECT_EQ(mirror.Differences(), QStringList());

  tree.FullCollapse();
  db.Query.Close();
  EXPECT_EQ(mirror.Differences(), QStringList());
  db.Query.Open();
  tree.FullExpand();
  EXPECT_EQ(mirror.Differences(), QStringList());
  EXPECT_EQ(tree.TotalCount(), 6u);
}

}  // namespace
