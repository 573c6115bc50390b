// A lookup result turned into a check tree: (key, parent, caption) rows from the fuzzer's bytes in an
// in-memory dataset, bound to a data-bound tree with the window's settings, then everything the form
// does with it: full expansion (every branch loaded), captions, check all, the ID array, the master's
// row followed through the tree, and closing.
//
// Each row takes two bytes and a caption: a key byte, a parent byte (each below 120 a small number
// from -1 to 18, so that keys collide and parents point at other rows; 120-239 a number from -1 to
// 118, so that chains can grow deep; 240-254 a boundary value; 255 NULL), a length byte, then that
// many caption bytes.
#include "fuzz/FuzzInput.h"
#include "platform/base/Exception.h"
#include "platform/data/cursor/DataSource.h"
#include "platform/data/cursor/MemDataSet.h"
#include "tree/DBTreeViewCore.h"
#include "tree/TLxDBTreeView.h"

#include <QBuffer>
#include <array>
#include <cstdlib>
#include <limits>

namespace {

const std::vector<TFieldDef> kFields{{QStringLiteral("Id"), ftInteger},
                                     {QStringLiteral("parentId"), ftInteger},
                                     {QStringLiteral("fname"), ftWideString}};

QVariant Key(std::uint8_t Byte) {
  static const std::array<int, 15> boundary{0,
                                            1,
                                            -1,
                                            2,
                                            -2,
                                            100,
                                            255,
                                            256,
                                            65535,
                                            65536,
                                            std::numeric_limits<int>::max(),
                                            std::numeric_limits<int>::min(),
                                            std::numeric_limits<int>::max() - 1,
                                            1 << 24,
                                            -(1 << 24)};
  if (Byte == 255) return QVariant();
  if (Byte >= 240) return boundary[Byte - 240u];
  if (Byte >= 120) return Byte - 121;
  return Byte % 20 - 1;
}

// The in-memory lookup cannot be cloned as a query can: the tree's second cursor is a second dataset
// over the same rows.
class TFuzzTree : public TLxDBTreeView {
public:
  explicit TFuzzTree(const std::vector<std::vector<QVariant>>& Rows) : FRows(Rows) {}
  ~TFuzzTree() override { SetDataSource(nullptr); }
  using TLxDBTreeView::NodeItem;

protected:
  void CreateCloneDataSet() override {
    FCloneDataSet = std::make_unique<TMemDataSet>(kFields, FRows);
    FCloneDataSet->Open();
  }

private:
  std::vector<std::vector<QVariant>> FRows;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  std::vector<std::vector<QVariant>> rows;
  for (std::size_t i = 0; i + 3 <= Size;) {
    const QVariant key = Key(Data[i]);
    const QVariant parent = Key(Data[i + 1]);
    const std::size_t length = std::min<std::size_t>(Data[i + 2], Size - i - 3);
    const QString caption = FuzzText(Data + i + 3, length);
    rows.push_back({key, parent, caption});
    i += 3 + length;
  }
  TMemDataSet master(kFields, rows);
  TDataSource source(&master);
  TFuzzTree tree(rows);
  tree.DBTreeFields().SetKeyFieldName(QStringLiteral("Id"));
  tree.DBTreeFields().SetParentFieldName(QStringLiteral("parentId"));
  tree.DBTreeFields().SetListFieldName(QStringLiteral("fname"));
  tree.DBTreeFields().SetParentOfRootValue(QStringLiteral("-1"));
  try {
    tree.SetDataSource(&source);
    master.Open();
    tree.FullExpand();
    for (PVirtualNode node = tree.GetFirst(); node; node = tree.GetNext(node)) (void)tree.GetText(node);
    SetAllCheckState(tree, csCheckedNormal);
    QBuffer ids;
    WriteCheckedIds(ids, tree);
    // Every node that exists is checked, and each gives one 4-byte key, but for a node a failed load
    // left without its item (following the master's row swallows the load's error, by design).
    qsizetype keyed = 0;
    for (PVirtualNode node = tree.GetFirstNoInit(); node; node = tree.GetNextNoInit(node))
      keyed += tree.NodeItem(node) ? 1 : 0;
    if (ids.data().size() != keyed * 4) std::abort();
    for (master.First(); !master.Eof(); master.Next()) (void)tree.FocusedNode();
    master.Close();
  } catch (const Exception&) {
    // "Duplicate list ID", a key that is no integer: a lookup the tree refuses.
  }
  return 0;
}
