// Load, full expand, full collapse, select all and the ID array of a data-bound tree over lookup
// rows of two shapes, with time and memory, beside a QStandardItemModel tree of the same shape
// (built, visited, and expanded in a QTreeView on the offscreen platform).
//   bench_tree            10k and 100k rows, both shapes
//   bench_tree 100000     one size
//   bench_tree 100000 all|tree|view [wide|deep]
//       all: the tree and the QStandardItemModel; tree: the tree alone (for profiling);
//       view: also the tree shown in its TVirtualTreeView while it loads and expands
#include "platform/data/ado/ADOQuery.h"
#include "platform/data/cursor/DataSource.h"
#include "platform/vtree/view/TVirtualTreeView.h"
#include "tree/DBTreeViewCore.h"
#include "tree/TLxADOTree.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardItemModel>
#include <QTreeView>

#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

namespace {

struct TRow {
  int Id;
  int Parent;  // -1: top level
};

// 1,000 x 100 for 100k: N/100 top-level rows with 99 children each.
std::vector<TRow> WideShape(int N) {
  std::vector<TRow> rows;
  const int top = N / 100;
  for (int t = 0; t < top; ++t) {
    const int parent = static_cast<int>(rows.size());
    rows.push_back({parent, -1});
    for (int c = 0; c < 99; ++c) rows.push_back({static_cast<int>(rows.size()), parent});
  }
  return rows;
}

// Each row hangs under one of the 30 rows made just before it, or at the top level now and then:
// deep, uneven branches.
std::vector<TRow> DeepShape(int N, std::mt19937& Random) {
  std::vector<TRow> rows;
  for (int i = 0; i < N; ++i) {
    const bool top = i == 0 || Random() % 500 == 0;
    const int lo = std::max(0, i - 30);
    rows.push_back({i, top ? -1 : lo + static_cast<int>(Random() % static_cast<unsigned>(i - lo))});
  }
  return rows;
}

// Ids become a random permutation (keys arrive out of order) and the row order is shuffled.
std::vector<std::vector<QVariant>> ToDataRows(const std::vector<TRow>& Shape, std::mt19937& Random) {
  std::vector<bool> parents(Shape.size());
  for (const TRow& r : Shape)
    if (r.Parent >= 0) parents[static_cast<std::size_t>(r.Parent)] = true;
  std::vector<int> ids(Shape.size());
  std::iota(ids.begin(), ids.end(), 1);
  std::shuffle(ids.begin(), ids.end(), Random);
  std::vector<std::vector<QVariant>> rows;
  rows.reserve(Shape.size());
  for (const TRow& r : Shape)
    rows.push_back({ids[static_cast<std::size_t>(r.Id)], r.Parent < 0 ? -1 : ids[static_cast<std::size_t>(r.Parent)],
                    QStringLiteral("Item %1").arg(r.Id), bool(parents[static_cast<std::size_t>(r.Id)])});
  std::shuffle(rows.begin(), rows.end(), Random);
  return rows;
}

// Bytes the allocator has handed out and not taken back: exact, unlike the resident size, which
// keeps pages that an earlier run freed.
double HeapMiB() {
  const struct mallinfo2 m = mallinfo2();
  return static_cast<double>(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}

long StatusKiB(const char* Key) {
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly)) return -1;
  const QByteArray key(Key);
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith(key)) return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
  return -1;
}

double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// One timed step; prints its time, the processor time it took (steadier than the wall clock on a
// machine shared with other work) and the heap in use after it, counted from Base.
struct TPhase {
  QElapsedTimer Timer;
  double Cpu = CpuMs();
  double Base;
  explicit TPhase(double ABase) : Base(ABase) { Timer.start(); }
  void Print(const char* Name, int N) const {
    const double ms = static_cast<double>(Timer.nsecsElapsed()) / 1e6;
    std::printf("  %-22s %9.1f ms %7.2f us/node  cpu %8.1f ms  heap in use %6.1f MiB\n", Name, ms, ms * 1000.0 / N,
                CpuMs() - Cpu, HeapMiB() - Base);
  }
};

// HasChildrenField: the rows' own has-children column decides the buttons, no lookup per node.
// Shown: the tree has its view (TVirtualTreeView, the window's size for it) while it loads and expands.
void RunTree(const std::vector<std::vector<QVariant>>& Rows, int N, bool HasChildrenField, bool Shown = false) {
  TADOQuery query;
  TDataSource source(&query);
  auto tree = std::make_unique<TLxADOTree>();
  tree->DBTreeFields().SetKeyFieldName(QStringLiteral("Id"));
  tree->DBTreeFields().SetParentFieldName(QStringLiteral("parentid"));
  tree->DBTreeFields().SetListFieldName(QStringLiteral("fname"));
  tree->DBTreeFields().SetParentOfRootValue(QStringLiteral("-1"));
  if (HasChildrenField) tree->DBTreeFields().SetHasChildrenFieldName(QStringLiteral("haschildren"));
  tree->OnInitNode = [](TVirtualStringTree*, PVirtualNode, PVirtualNode Node, TVirtualNodeInitStates&) {
    Node->CheckType = ctCheckBox;
  };
  tree->SetDataSource(&source);
  std::unique_ptr<TVirtualTreeView> view;
  if (Shown) {
    view = std::make_unique<TVirtualTreeView>(*tree);
    view->resize(480, 260);
  }
  const double base = HeapMiB();
  {
    TPhase p(base);
    query.OpenOnRows({{QStringLiteral("id"), ftInteger},
                      {QStringLiteral("parentid"), ftInteger},
                      {QStringLiteral("fname"), ftString},
                      {QStringLiteral("haschildren"), ftBoolean}},
                     Rows);
    p.Print("open + top level", N);
  }
  const std::uint32_t top = tree->TotalCount();
  {
    TPhase p(base);
    tree->FullExpand();
    p.Print("full expand", N);
  }
  {
    TPhase p(base);
    tree->FullCollapse();
    p.Print("full collapse", N);
  }
  {
    TPhase p(base);
    SetAllCheckState(*tree, csCheckedNormal);
    p.Print("SetAllCheckState", N);
  }
  QBuffer buffer;
  {
    TPhase p(base);
    WriteCheckedIds(buffer, *tree);
    p.Print("WriteCheckedIds", N);
  }
  std::printf("  nodes %u (after the open %u), IdArray %lld bytes; peak resident %.1f MiB\n", tree->TotalCount(), top,
              static_cast<long long>(buffer.size()), static_cast<double>(StatusKiB("VmHWM:")) / 1024.0);
  view.reset();
  tree.reset();
}

// The same shape as a QStandardItemModel: build it, then visit every row as a fully expanded
// view would ask for it (index, rowCount, display text).
void RunStandardModel(const std::vector<std::vector<QVariant>>& Rows, int N) {
  const double base = HeapMiB();
  auto model = std::make_unique<QStandardItemModel>();
  {
    TPhase p(base);
    std::unordered_map<int, QStandardItem*> byId;
    byId.reserve(Rows.size());
    std::vector<std::pair<QStandardItem*, int>> pending;  // item, parent id
    for (const auto& r : Rows) {
      auto* item = new QStandardItem(r[2].toString());
      item->setCheckable(true);
      byId[r[0].toInt()] = item;
      pending.emplace_back(item, r[1].toInt());
    }
    for (auto& [item, parent] : pending) {
      if (parent == -1)
        model->invisibleRootItem()->appendRow(item);
      else if (auto it = byId.find(parent); it != byId.end())
        it->second->appendRow(item);
      else
        delete item;
    }
    p.Print("build", N);
  }
  {
    TPhase p(base);
    long visited = 0;
    std::vector<QModelIndex> stack{QModelIndex()};
    while (!stack.empty()) {
      const QModelIndex parent = stack.back();
      stack.pop_back();
      const int rows = model->rowCount(parent);
      for (int i = 0; i < rows; ++i) {
        const QModelIndex child = model->index(i, 0, parent);
        visited += model->data(child, Qt::DisplayRole).toString().size() > 0;
        if (model->hasChildren(child)) stack.push_back(child);
      }
    }
    p.Print("visit every row", N);
    if (visited != N) std::printf("  (visited %ld)\n", visited);
  }
  {
    // What "expanded" costs Qt's own view: QTreeView lays out every row of the expanded model.
    QTreeView view;
    view.setModel(model.get());
    view.resize(480, 260);
    TPhase p(base);
    view.expandAll();
    p.Print("QTreeView expandAll", N);
  }
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  std::vector<int> sizes{10000, 100000};
  if (argc > 1) sizes = {std::atoi(argv[1])};
  const QByteArray mode = argc > 2 ? QByteArray(argv[2]) : QByteArray("all");
  const bool treeOnly = mode == "tree";
  const bool withView = mode == "view";
  const QByteArray onlyShape = argc > 3 ? QByteArray(argv[3]) : QByteArray();
  std::mt19937 random(2013);
  for (int n : sizes) {
    for (int deep = 0; deep < 2; ++deep) {
      const std::vector<TRow> shape = deep ? DeepShape(n, random) : WideShape(n);
      const auto rows = ToDataRows(shape, random);  // made either way: the deep shape stays the same
      if (!onlyShape.isEmpty() && onlyShape != (deep ? "deep" : "wide")) continue;
      const int count = static_cast<int>(rows.size());
      std::printf("%s, %d rows\n", deep ? "deep random shape" : "1,000 x 100 shape (N/100 x 100)", count);
      std::printf(" TLxADOTree\n");
      RunTree(rows, count, false);
      std::printf(" TLxADOTree with the has-children field\n");
      RunTree(rows, count, true);
      if (withView) {
        std::printf(" TLxADOTree in its view (TVirtualTreeView)\n");
        RunTree(rows, count, false, true);
      }
      if (treeOnly) continue;
      std::printf(" QStandardItemModel\n");
      RunStandardModel(rows, count);
    }
  }
  return 0;
}
