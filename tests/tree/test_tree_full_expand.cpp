// A full expansion loads most branches from one pass over the clone's rows (TLxChildTable) once
// the filtered loads have brought a sixteenth of them. Whatever the rows, it must leave what
// expanding node by node through the child filter leaves: the nodes and their order, the key
// index, what an observer hears, the error, the clone's state, the ID array.
#include "TreeDbFixture.h"

#include "platform/base/Exception.h"
#include "tree/DBTreeViewCore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace Qt::StringLiterals;

namespace {

// Counts the child filters set, so that a test can tell which way the branches came.
class TCountingTree : public TTestTree {
public:
  int Filters = 0;

protected:
  void SetChildFilter(const QString& Value) override {
    ++Filters;
    TTestTree::SetChildFilter(Value);
  }
};

// What a view adapter hears, as text.
class TRecorder : public TVirtualTreeObserver {
public:
  explicit TRecorder(TTestTree& Tree) : FTree(Tree) { FTree.AddObserver(this); }
  ~TRecorder() override { FTree.RemoveObserver(this); }
  QStringList Log;

  void BeforeInsertChildren(PVirtualNode Parent, int First, int) override {
    Log << u"insert under %1 at %2"_s.arg(FTree.KeyOf(Parent)).arg(First);
  }
  void AfterInsertChildren(PVirtualNode, int, int) override { Log << u"inserted"_s; }
  void NodeChanged(PVirtualNode Node) override { Log << u"changed %1"_s.arg(FTree.KeyOf(Node)); }
  void Expanded(PVirtualNode Node) override { Log << u"expanded %1"_s.arg(FTree.KeyOf(Node)); }
  void UpdateBegun() override { Log << u"update"_s; }
  void UpdateEnded() override { Log << u"update ended"_s; }

private:
  TTestTree& FTree;
};

struct TOutcome {
  QStringList Shape;
  QStringList Keys;
  QStringList Heard;
  QString Error;
  QString CloneFilter;
  bool CloneFiltered = true;
  QString CloneRowKey;
  QByteArray CheckedIds;
  int Filters = 0;  // child filters set by the expansion
};

// FullExpand's own walk, one SetExpanded at a time: every branch through the child filter.
void ExpandNodeByNode(TTestTree& Tree) {
  Tree.BeginUpdate();
  try {
    for (PVirtualNode n = Tree.GetFirst(); n; n = Tree.GetNext(n))
      if ((n->States & vsHasChildren) || n->ChildCount > 0) Tree.SetExpanded(n, true);
  } catch (...) {
    Tree.EndUpdate();
    throw;
  }
  Tree.EndUpdate();
}

struct TCase {
  const char* Name;
  std::vector<TLookupRow> Rows;
  bool HasChildrenField = false;
  QString MasterFilter = {};
  enum { Either, Table, Filter } Way = Either;  // how the full expansion is expected to load
};

TOutcome Expand(const TCase& Case, bool Full) {
  TTreeDb db(Case.Rows);
  if (!Case.MasterFilter.isEmpty()) {
    db.Query.SetFilter(Case.MasterFilter);
    db.Query.SetFiltered(true);
  }
  TCountingTree tree;
  Bind(tree, db);
  if (Case.HasChildrenField) tree.DBTreeFields().SetHasChildrenFieldName(u"haschildren"_s);
  tree.OnInitNode = [](TVirtualStringTree*, PVirtualNode, PVirtualNode Node, TVirtualNodeInitStates&) {
    Node->CheckType = ctCheckBox;
  };
  TOutcome out;
  try {
    db.Query.Open();
  } catch (const Exception& e) {
    out.Error = u"open: "_s + e.Message() + u"; "_s;
  }
  tree.Filters = 0;
  {
    TRecorder recorder(tree);
    try {
      if (Full)
        tree.FullExpand();
      else
        ExpandNodeByNode(tree);
    } catch (const Exception& e) {
      out.Error += e.Message();
    }
    out.Heard = recorder.Log;
  }
  out.Filters = tree.Filters;
  out.Shape = Shape(tree);
  out.Keys = tree.IndexKeys();
  if (tree.FCloneDataSet) {
    out.CloneFilter = tree.FCloneDataSet->Filter();
    out.CloneFiltered = tree.FCloneDataSet->Filtered();
    out.CloneRowKey = tree.FCloneDataSet->FieldByName(u"id"_s).AsString();
  }
  SetAllCheckState(tree, csCheckedNormal);
  QBuffer ids;
  try {
    out.CheckedIds = WriteCheckedIds(ids, tree).data();
  } catch (const Exception& e) {
    out.CheckedIds = e.Message().toUtf8();  // a key the ID array cannot carry
  }
  return out;
}

// Rows in shuffled order: children often before their parents, a few orphans, a loop, NULL parents.
std::vector<TLookupRow> RandomRows(int Count, unsigned Seed) {
  std::mt19937 random(Seed);
  std::vector<TLookupRow> rows;
  for (int i = 1; i <= Count; ++i) {
    QVariant parent = i <= 5 || random() % 40 == 0 ? QVariant(-1) : QVariant(1 + static_cast<int>(random() % (i - 1)));
    if (random() % 97 == 0) parent = 10000 + i;  // missing
    if (random() % 89 == 0) parent = QVariant();
    rows.push_back({i, parent, u"Row %1"_s.arg(i), int(random() % 2)});
  }
  rows.push_back({Count + 1, Count + 2, u"Loop A"_s});
  rows.push_back({Count + 2, Count + 1, u"Loop B"_s});
  std::shuffle(rows.begin(), rows.end(), random);
  return rows;
}

std::vector<TLookupRow> Chain(int Depth) {
  std::vector<TLookupRow> rows;
  for (int i = 1; i <= Depth; ++i) rows.push_back({i, i == 1 ? -1 : i - 1, u"Level %1"_s.arg(i)});
  return rows;
}

TEST(TreeFullExpand, GivesWhatExpandingNodeByNodeGives) {
  const TCase cases[] = {
      {"empty", {}},
      {"one root", {{1, -1, u"A"_s}}},
      {"a root with branches",
       {{1, -1, u"A"_s},
        {2, 1, u"B"_s},
        {3, 1, u"C"_s},
        {4, -1, u"D"_s},
        {5, 3, u"E"_s},
        {6, 4, u"F"_s},
        {7, 5, u"G"_s}},
       false,
       {},
       TCase::Table},
      {"orphans whose parent is missing",
       {{1, -1, u"A"_s},
        {7, 99, u"Orphan"_s},
        {8, 7, u"Orphan's child"_s},
        {2, 1, u"B"_s},
        {3, 2, u"C"_s},
        {4, 1, u"D"_s}}},
      {"a parent loop and a row that is its own parent",
       {{1, -1, u"A"_s},
        {2, 1, u"B"_s},
        {3, 4, u"C"_s},
        {4, 3, u"D"_s},
        {5, 5, u"E"_s},
        {6, 2, u"F"_s},
        {7, 6, u"G"_s}}},
      {"a duplicate id within a branch",
       {{1, -1, u"A"_s},
        {2, 1, u"B"_s},
        {3, 1, u"C"_s},
        {4, 3, u"D"_s},
        {4, 3, u"D again"_s},
        {6, 1, u"G"_s},
        {9, 6, u"H"_s}}},
      {"a duplicate id across branches",
       {{1, -1, u"A"_s}, {2, -1, u"B"_s}, {3, 1, u"C"_s}, {5, 3, u"E"_s}, {3, 2, u"C again"_s}}},
      {"a duplicate id at the top level", {{1, -1, u"A"_s}, {1, -1, u"A again"_s}, {2, 1, u"B"_s}}},
      {"zero and negative ids",
       {{0, -1, u"Zero"_s}, {-5, 0, u"Minus five"_s}, {7, -5, u"Seven"_s}, {-7, 7, u"Minus seven"_s}},
       false,
       {},
       TCase::Table},
      {"NULL parents and captions",
       {{1, -1, QVariant()}, {2, 1, QVariant()}, {3, QVariant(), u"No parent"_s}, {4, 2, u"D"_s}}},
      {"a key stored as text",
       {{1, -1, u"A"_s},
        {2, 1, u"B"_s},
        {u"x1"_s, 1, u"Text key"_s},
        {3, 2, u"C"_s},
        {4, 1, u"D"_s},
        {5, 4, u"E"_s},
        {6, 5, u"F"_s}},
       false,
       {},
       TCase::Filter},
      {"ids beyond 32 bits",
       {{1, -1, u"A"_s},
        {2, 1, u"B"_s},
        {3000000000LL, 1, u"Big"_s},
        {3000000001LL, 3000000000LL, u"Big's child"_s},
        {3, 2, u"C"_s},
        {4, 3, u"D"_s}},
       false,
       {},
       TCase::Filter},
      {"a has-children field that disagrees with the rows",
       {{1, -1, u"A"_s, 1},
        {2, 1, u"B"_s, 1},
        {3, 1, u"C"_s, 0},
        {4, 3, u"D"_s, 1},
        {5, 1, u"E"_s, 1},
        {6, 5, u"F"_s, 0},
        {7, 4, u"G"_s, 0}},
       true},
      {"a master filter",
       {{1, -1, u"A"_s}, {2, 1, u"B"_s}, {3, 1, u"C"_s}, {4, 2, u"D"_s}, {5, 4, u"E"_s}},
       false,
       u"fname <> 'C'"_s,
       TCase::Filter},
      {"a deep chain", Chain(60), false, {}, TCase::Table},
      {"many branches in shuffled order", RandomRows(400, 11), false, {}, TCase::Table},
      {"many branches with the has-children field", RandomRows(400, 12), true, {}, TCase::Table},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TOutcome full = Expand(c, true);
    const TOutcome byNode = Expand(c, false);
    EXPECT_EQ(full.Shape, byNode.Shape);
    EXPECT_EQ(full.Keys, byNode.Keys);
    EXPECT_EQ(full.Heard, byNode.Heard);
    EXPECT_EQ(full.Error, byNode.Error);
    EXPECT_EQ(full.CloneFilter, byNode.CloneFilter);
    EXPECT_EQ(full.CloneFiltered, byNode.CloneFiltered);
    EXPECT_EQ(full.CloneRowKey, byNode.CloneRowKey);
    EXPECT_EQ(full.CheckedIds, byNode.CheckedIds);
    if (c.Way == TCase::Table) {
      EXPECT_LT(full.Filters, byNode.Filters);
    } else if (c.Way == TCase::Filter) {
      EXPECT_EQ(full.Filters, byNode.Filters);
    }
  }
}

// Whether the row with Id hangs under the top level, through rows that exist, without a loop.
bool Reachable(const std::vector<TLookupRow>& Rows, int Id) {
  for (std::size_t steps = 0; steps <= Rows.size(); ++steps) {
    if (Id == -1) return true;
    auto row = std::find_if(Rows.begin(), Rows.end(), [&](const TLookupRow& r) { return r.Id == QVariant(Id); });
    if (row == Rows.end() || row->ParentId.isNull()) return false;
    Id = row->ParentId.toInt();
  }
  return false;
}

TEST(TreeFullExpand, FollowsARowPostedWhileItRuns) {
  // Once the expansion is under way, a handler posts a row under a leaf that has not been loaded
  // yet: the table read before no longer knows that the leaf has children, the filter does.
  const std::vector<TLookupRow> rows = RandomRows(200, 5);
  auto run = [&](bool Full) {
    TTreeDb db(rows);
    TTestTree tree;
    Bind(tree, db);
    db.Query.Open();
    int leaf = 0;
    tree.OnExpanded = [&](TVirtualStringTree*, PVirtualNode) {
      if (leaf != 0 || tree.TotalCount() < 60) return;
      for (const TLookupRow& r : rows) {
        const bool hasRows =
            std::any_of(rows.begin(), rows.end(), [&](const TLookupRow& c) { return c.ParentId == r.Id; });
        if (!hasRows && !tree.Node(r.Id.toInt()) && Reachable(rows, r.Id.toInt())) {
          leaf = r.Id.toInt();
          break;
        }
      }
      if (leaf == 0) return;
      db.Query.Append();
      db.Query.FieldByName(u"id"_s).SetValue(500);
      db.Query.FieldByName(u"parentid"_s).SetValue(leaf);
      db.Query.FieldByName(u"fname"_s).SetValue(u"Posted"_s);
      db.Query.Post();
    };
    TRecorder recorder(tree);
    if (Full)
      tree.FullExpand();
    else
      ExpandNodeByNode(tree);
    EXPECT_NE(leaf, 0);
    return Shape(tree) + recorder.Log;
  };
  const QStringList full = run(true);
  EXPECT_EQ(full, run(false));
  EXPECT_EQ(full.filter(u"Posted"_s).size(), 1) << full.join(u'\n').toStdString();
}

}  // namespace
