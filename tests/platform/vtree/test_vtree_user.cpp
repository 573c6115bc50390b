#include "VTreeTestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class VTreeUser : public ::testing::Test {
protected:
  VTreeUser() {
    Tree.SetNodeDataSize(sizeof(int));
    A = Add(Tree, nullptr, 1);
    B = Add(Tree, A, 2);
    C = Add(Tree, A, 3);
    D = Add(Tree, nullptr, 4);
    for (PVirtualNode n : {A, B, C, D}) n->CheckType = ctCheckBox;
    Tree.OnChecked = [&](TVirtualStringTree* sender, PVirtualNode n) {
      EXPECT_EQ(sender, &Tree);
      Log << u"checked "_s + Name(Tree, n) + u"="_s + QString::number(n->CheckState);
    };
    Tree.OnChange = [&](TVirtualStringTree*, PVirtualNode n) { Log << u"change "_s + Name(Tree, n); };
  }
  TVirtualStringTree Tree;
  PVirtualNode A, B, C, D;
  QStringList Log;
};

TEST_F(VTreeUser, UserClickOnACheckBoxChangesThatNodeAloneAndRaisesChecked) {
  QStringList seen;
  TLogObserver observer(Tree, seen);
  Tree.ToggleCheckByUser(A);
  EXPECT_EQ(A->CheckState, csCheckedNormal);
  EXPECT_EQ(B->CheckState, csUncheckedNormal);  // no passing on to children
  EXPECT_EQ(Log, QStringList{u"checked 1=2"_s});
  EXPECT_EQ(seen, QStringList{u"changed 1"_s});
  Tree.ToggleCheckByUser(A);
  EXPECT_EQ(A->CheckState, csUncheckedNormal);
  B->CheckState = csMixedPressed;  // a pressed or mixed mark becomes checked on the next click
  Tree.ToggleCheckByUser(B);
  EXPECT_EQ(B->CheckState, csCheckedNormal);
  EXPECT_EQ(Log.size(), 3);
}

TEST_F(VTreeUser, PlainStoresRaiseNoEventAndRefreshAnnouncesARepaint) {
  QStringList seen;
  TLogObserver observer(Tree, seen);
  for (PVirtualNode n = Tree.GetFirst(); n; n = Tree.GetNext(n)) n->CheckState = csCheckedNormal;
  EXPECT_TRUE(Log.isEmpty());
  EXPECT_TRUE(seen.isEmpty());
  Tree.Refresh();
  EXPECT_EQ(seen, QStringList{u"invalidated"_s});
}

TEST_F(VTreeUser, CheckTypesDecideWhatAClickDoes) {
  B->CheckType = ctRadioButton;
  C->CheckType = ctRadioButton;
  Tree.ToggleCheckByUser(B);
  Tree.ToggleCheckByUser(C);
  EXPECT_EQ(B->CheckState, csUncheckedNormal);
  EXPECT_EQ(C->CheckState, csCheckedNormal);
  Tree.ToggleCheckByUser(C);  // a checked radio button stays checked
  EXPECT_EQ(C->CheckState, csCheckedNormal);
  D->CheckType = ctNone;
  Tree.ToggleCheckByUser(D);
  EXPECT_EQ(D->CheckState, csUncheckedNormal);
  Tree.OnChecking = [](TVirtualStringTree*, PVirtualNode, TCheckState&, bool& allowed) { allowed = false; };
  Tree.ToggleCheckByUser(A);
  EXPECT_EQ(A->CheckState, csUncheckedNormal);
  EXPECT_EQ(Log, (QStringList{u"checked 2=2"_s, u"checked 3=2"_s}));
}

TEST_F(VTreeUser, FocusAndSelection) {
  QStringList seen;
  TLogObserver observer(Tree, seen);
  Tree.UserSelect(B);
  EXPECT_EQ(Tree.FocusedNode(), B);
  EXPECT_TRUE(Tree.Selected(B));
  Tree.UserSelect(D);  // single selection: B is deselected
  EXPECT_FALSE(Tree.Selected(B));
  EXPECT_EQ(Tree.GetFirstSelected(), D);
  EXPECT_EQ(Log, (QStringList{u"change 2"_s, u"change 4"_s}));
  EXPECT_EQ(seen, (QStringList{u"focus 2"_s, u"changed 2"_s, u"focus 4"_s, u"changed 2"_s, u"changed 4"_s}));
  Tree.SetFocusedNode(Tree.RootNode());  // the root means no focus
  EXPECT_EQ(Tree.FocusedNode(), nullptr);
  Tree.ClearSelection();
  EXPECT_EQ(Log.back(), u"change none"_s);
  EXPECT_EQ(Tree.SelectedCount(), 0);
  Tree.SetSelected(D, false);  // no change: no event
  EXPECT_EQ(Log.size(), 3);
}

TEST_F(VTreeUser, TextImagesAndEditsGoThroughTheHooks) {
  EXPECT_EQ(Tree.GetText(A), u"Node"_s);
  EXPECT_EQ(Tree.GetImageIndex(A, ikNormal), -1);
  Tree.OnGetText = [&](TVirtualStringTree*, PVirtualNode n, TColumnIndex, TVSTTextType, QString& text) {
    text = u"n"_s + Name(Tree, n);
  };
  Tree.OnGetImageIndex = [](TVirtualStringTree*, PVirtualNode, TVTImageKind kind, TColumnIndex, bool&, int& index) {
    index = kind == ikSelected ? 7 : 6;
  };
  EXPECT_EQ(Tree.GetText(C), u"n3"_s);
  EXPECT_EQ(Tree.GetImageIndex(C, ikSelected), 7);
  QString edited;
  Tree.OnNewText = [&](TVirtualStringTree*, PVirtualNode n, TColumnIndex, const QString& text) {
    edited = Name(Tree, n) + u":"_s + text;
  };
  QStringList seen;
  TLogObserver observer(Tree, seen);
  Tree.SetText(B, NoColumn, u" new "_s);
  EXPECT_EQ(edited, u"2: new "_s);
  EXPECT_EQ(seen, QStringList{u"changed 2"_s});
}

TEST_F(VTreeUser, DragAndDropAskTheEvents) {
  TVirtualStringTree other;
  EXPECT_FALSE(Tree.DragOver(&Tree, {0, 0}));  // no handler: refused
  Tree.OnDragOver = [&](TVirtualStringTree*, TVirtualStringTree* source, QPoint, std::uint32_t&, bool& accept) {
    accept = source == &Tree;
  };
  EXPECT_TRUE(Tree.DragOver(&Tree, {0, 0}));
  EXPECT_FALSE(Tree.DragOver(&other, {0, 0}));
  EXPECT_EQ(Tree.DragDrop(&Tree, {0, 0}), std::uint32_t(deMove));
  PVirtualNode target = nullptr;
  Tree.OnDragDrop = [&](TVirtualStringTree* sender, TVirtualStringTree*, QPoint pt, std::uint32_t& effect) {
    target = sender->GetNodeAt(pt.x(), pt.y());
    effect = deNone;
  };
  EXPECT_EQ(Tree.DragDrop(&Tree, Tree.GetNodePoint(D)), std::uint32_t(deNone));
  EXPECT_EQ(target, D);
  Tree.NodeAtResolver = [&](int, int) { return C; };  // an adapter's real geometry
  EXPECT_EQ(Tree.GetNodeAt(0, 0), C);
  bool started = false;
  Tree.OnStartDrag = [&](TVirtualStringTree*) { started = true; };
  Tree.StartDrag();
  EXPECT_TRUE(started);
  int key = 0;
  Tree.OnKeyDown = [&](TVirtualStringTree*, int& k) { key = k; };
  Tree.KeyDown(32);
  EXPECT_EQ(key, 32);
}

}  // namespace

namespace {
TEST(VTreeEdit, AnEditWhoseHandlerDeletesTheNodeAnnouncesNothingForIt) {
  TVirtualStringTree tree;
  PVirtualNode a = tree.AddChild(nullptr);
  tree.AddChild(nullptr);
  tree.OnNewText = [](TVirtualStringTree* t, PVirtualNode n, TColumnIndex, const QString&) { t->DeleteNode(n); };
  QStringList seen;
  TLogObserver observer(tree, seen);
  tree.SetText(a, NoColumn, QStringLiteral("x"));  // the sanitizer build catches a read of the freed node
  EXPECT_EQ(seen, (QStringList{QStringLiteral("-? root 0..0"), QStringLiteral("-! root 0..0")}));
}
}  // namespace
