#include "tree/DBTreeViewCore.h"
#include "tree/TLxNodeList.h"

#include "platform/base/Exception.h"

#include <gtest/gtest.h>

#include <map>

using namespace Qt::StringLiterals;

namespace {

// A tree shaped like a loaded lookup: every node's data refers to its item in a key index, and
// branches come on first need from a table (parent key -> child keys), as the data-bound tree does.
//   1 ( 2 ( 5 ), 3 ), 4 ( 6 ( 7 ( 8 ) ) ), 9 ( 10 )
class TKeyTree : public TVirtualStringTree {
public:
  std::map<QString, QStringList> Rows{{u"-1"_s, {u"1"_s, u"4"_s, u"9"_s}},
                                      {u"1"_s, {u"2"_s, u"3"_s}},
                                      {u"2"_s, {u"5"_s}},
                                      {u"4"_s, {u"6"_s}},
                                      {u"6"_s, {u"7"_s}},
                                      {u"7"_s, {u"8"_s}},
                                      {u"9"_s, {u"10"_s}}};
  TLxNodeList Index;
  int CheckedEvents = 0;

  TKeyTree() {
    SetNodeDataSize(sizeof(TLxNodeItem*));
    for (const QString& key : Rows[u"-1"_s]) AddRow(nullptr, key);
    OnChecked = [this](TVirtualStringTree*, PVirtualNode) { ++CheckedEvents; };
  }
  PVirtualNode AddRow(PVirtualNode Parent, const QString& Key) {
    PVirtualNode n = AddChild(Parent);
    *static_cast<TLxNodeItem**>(GetNodeData(n)) = Index.InsertItem(Key, n);
    if (Rows.count(Key)) SetHasChildren(n, true);
    return n;
  }
  PVirtualNode Node(const QString& Key) { return Index.NodeByID(Key); }
  // Node states in key order 1..10 ("-" for a node not created yet), a short picture of the tree.
  QString States() {
    QString s;
    for (int k = 1; k <= 10; ++k) {
      PVirtualNode n = Node(QString::number(k));
      s += n ? QString::number(n->CheckState) : u"-"_s;
    }
    return s;
  }

protected:
  void DoInitChildren(PVirtualNode N, std::uint32_t& Count) override {
    for (const QString& key : Rows[(*static_cast<TLxNodeItem**>(GetNodeData(N)))->Key()]) {
      AddRow(N, key);
      ++Count;
    }
  }
};

class Observed : public TVirtualTreeObserver {
public:
  int Repaints = 0;
  void Invalidated() override { ++Repaints; }
};

TEST(CheckHelpers, SetAllCheckStateReachesNeverExpandedBranchesAndRepaintsOnce) {
  TKeyTree tree;
  Observed observer;
  tree.AddObserver(&observer);
  tree.Node(u"1"_s)->CheckState = csMixedNormal;
  tree.Node(u"4"_s)->CheckState = csCheckedPressed;
  tree.Node(u"9"_s)->CheckType = ctRadioButton;
  EXPECT_EQ(tree.States(), u"4--3----0-"_s);  // only the top level exists
  SetAllCheckState(tree, csCheckedNormal);
  EXPECT_EQ(tree.States(), u"2222222222"_s);
  SetAllCheckState(tree, csUncheckedNormal);
  EXPECT_EQ(tree.States(), u"0000000000"_s);
  EXPECT_EQ(tree.Node(u"9"_s)->CheckType, ctRadioButton);  // the type is never touched
  EXPECT_EQ(tree.Node(u"8"_s)->ChildCount, 0u);
  EXPECT_FALSE(tree.Node(u"4"_s)->States & vsExpanded);  // reached, loaded, still collapsed
  EXPECT_EQ(observer.Repaints, 2);
  EXPECT_EQ(tree.CheckedEvents, 0);
  tree.RemoveObserver(&observer);
}

TEST(CheckHelpers, SetAllCheckStateOnAnEmptyTreeStillRepaints) {
  TVirtualStringTree tree;
  Observed observer;
  tree.AddObserver(&observer);
  SetAllCheckState(tree, csCheckedNormal);
  EXPECT_EQ(observer.Repaints, 1);
  tree.RemoveObserver(&observer);
}

TEST(CheckHelpers, CheckDescendantsStopsAfterTheSubtree) {
  struct Row {
    const char* Name;
    const char16_t* Start;
    bool Checked;
    const char16_t* Expected;  // states of keys 1..10 after the call
  } rows[] = {
      {"node with a next sibling stops there", u"1", true, u"2220200000"},
      {"last child of a last child: stops before the higher ancestor's sibling", u"7", true, u"0000002200"},
      {"last top-level node runs to the end of the tree", u"9", true, u"0000000022"},
      {"leaf writes itself alone", u"3", true, u"0020000000"},
      {"unchecking writes unchecked", u"4", false, u"2220200022"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    TKeyTree tree;
    SetAllCheckState(tree, row.Checked ? csUncheckedNormal : csCheckedNormal);  // loads every node
    if (!row.Checked)
      for (const char16_t* k : {u"5", u"6", u"7", u"8"}) tree.Node(QString::fromUtf16(k))->CheckState = csCheckedNormal;
    CheckDescendants(tree.Node(QString::fromUtf16(row.Start)), row.Checked, tree);
    const QString expected = QString::fromUtf16(row.Expected);
    EXPECT_EQ(tree.States().toStdString(), expected.toStdString());
    EXPECT_EQ(tree.CheckedEvents, 0);
  }
}

TEST(CheckHelpers, CheckDescendantsLoadsAnUnopenedBranch) {
  TKeyTree tree;
  CheckDescendants(tree.Node(u"4"_s), true, tree);
  EXPECT_EQ(tree.States(), u"0--2-2220-"_s);  // 4's branch loaded and written; 1 and 9 untouched
}

QByteArray Bytes(std::initializer_list<int> Values) {
  QByteArray b;
  for (int v : Values) b.append(static_cast<char>(v));
  return b;
}

TEST(CheckHelpers, WriteCheckedIdsWritesCheckedKeysInPreOrderBigEndian) {
  TKeyTree tree;
  tree.FullExpand();
  tree.FullCollapse();  // every node exists, only the top level shows
  for (const char16_t* k : {u"9", u"5", u"2", u"8"}) tree.Node(QString::fromUtf16(k))->CheckState = csCheckedNormal;
  tree.Node(u"3"_s)->CheckState = csCheckedPressed;  // only csCheckedNormal counts
  tree.Node(u"6"_s)->CheckState = csMixedNormal;
  QBuffer buffer;
  buffer.open(QIODevice::ReadWrite);
  buffer.write("leftover bytes");
  EXPECT_EQ(&WriteCheckedIds(buffer, tree), &buffer);
  EXPECT_EQ(buffer.pos(), 0);
  // Pre-order 1 2 5 3 4 6 7 8 9 10: checked 2, 5, 8, 9.
  EXPECT_EQ(buffer.data(), Bytes({0, 0, 0, 2, 0, 0, 0, 5, 0, 0, 0, 8, 0, 0, 0, 9}));
  EXPECT_EQ(buffer.readAll().size(), 16);

  SetAllCheckState(tree, csUncheckedNormal);
  WriteCheckedIds(buffer, tree);
  EXPECT_EQ(buffer.size(), 0);  // nothing checked: empty, which the report request tests for
}

TEST(CheckHelpers, WriteCheckedIdsKeysAndTheirErrors) {
  struct Row {
    const char16_t* Key;
    QByteArray Expected;
    bool Fails;
  } rows[] = {
      {u"5", Bytes({0, 0, 0, 5}), false},
      {u"258", Bytes({0, 0, 1, 2}), false},
      {u"-1", Bytes({0xFF, 0xFF, 0xFF, 0xFF}), false},
      {u"-2", Bytes({0xFF, 0xFF, 0xFF, 0xFE}), false},
      {u"$1F", Bytes({0, 0, 0, 0x1F}), false},
      {u"2147483647", Bytes({0x7F, 0xFF, 0xFF, 0xFF}), false},
      {u"12a", {}, true},
      {u"", {}, true},
  };
  for (const Row& row : rows) {
    const QString key = QString::fromUtf16(row.Key);
    SCOPED_TRACE(key.toStdString());
    TVirtualStringTree tree;
    tree.SetNodeDataSize(sizeof(TLxNodeItem*));
    TLxNodeList index;
    PVirtualNode n = tree.AddChild(nullptr);
    *static_cast<TLxNodeItem**>(tree.GetNodeData(n)) = index.InsertItem(key, n);
    n->CheckState = csCheckedNormal;
    tree.AddChild(nullptr)->CheckState = csCheckedNormal;  // a node without an item has no key
    QBuffer buffer;
    if (row.Fails) {
      try {
        WriteCheckedIds(buffer, tree);
        FAIL() << "no error";
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"''"_s + key + u"'' is not a valid integer value"_s);
      }
    } else {
      EXPECT_EQ(WriteCheckedIds(buffer, tree).data(), row.Expected);
    }
  }
}

}  // namespace
