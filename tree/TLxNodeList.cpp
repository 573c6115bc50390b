#include "tree/TLxNodeList.h"

#include "platform/base/Exception.h"

#include <memory>
#include <string_view>

namespace {
// Up to this many unplaced items go in one by one; more are sorted and merged in one pass.
constexpr std::size_t kPlaceOneByOne = 32;
}  // namespace

TLxNodeList::~TLxNodeList() { ClearItems(); }

int TLxNodeList::CompareKeys(const QString& A, const QString& B) {
  // char16_t is unsigned, so this is the code-unit order, not Qt's or the locale's.
  const std::u16string_view a(reinterpret_cast<const char16_t*>(A.utf16()), static_cast<std::size_t>(A.size()));
  const std::u16string_view b(reinterpret_cast<const char16_t*>(B.utf16()), static_cast<std::size_t>(B.size()));
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

void TLxNodeList::Place() const {
  if (FUnplaced.empty()) return;
  if (FUnplaced.size() <= kPlaceOneByOne) {
    for (TLxNodeItem* item : FUnplaced) FItems.InsertSorted(item);  // keys are unique: the hash saw to it
  } else {
    FItems.InsertMany(FUnplaced);
  }
  FUnplaced.clear();
}

int TLxNodeList::Search(const QString& AID) const {
  if (!FByKey.contains(AID)) return -1;
  Place();
  const auto [index, equal] = FItems.LowerBound(TKeyProbe(AID));
  return equal ? index : -1;
}

int TLxNodeList::FindInsertIndex(const QString& AID) const {
  if (FByKey.contains(AID)) throw Exception(Format(QStringLiteral("Duplicate list ID %s"), {AID}));
  Place();
  return FItems.LowerBound(TKeyProbe(AID)).first;
}

TLxNodeItem* TLxNodeList::InsertItem(const QString& AID, PVirtualNode ANode) {
  if (FByKey.contains(AID)) throw Exception(Format(QStringLiteral("Duplicate list ID %s"), {AID}));
  auto item = std::make_unique<TLxNodeItem>(AID, ANode);
  FUnplaced.push_back(item.get());
  try {
    FByKey.insert(item->Key(), item.get());
  } catch (...) {
    FUnplaced.pop_back();
    throw;
  }
  return item.release();
}

TLxNodeItem* TLxNodeList::Items(int Index) const {
  Place();
  return FItems.Get(Index);
}

void TLxNodeList::Delete(int Index) {
  Place();
  // The entry's own copy of the key: the caller may have destroyed the item already.
  FByKey.remove(FItems.KeyAt(Index));
  FItems.Delete(Index);
}

void TLxNodeList::DeleteItem(const QString& AID) {
  const int index = Search(AID);
  if (index != -1) Delete(index);
}

PVirtualNode TLxNodeList::NodeByID(const QString& AID) const {
  TLxNodeItem* item = FByKey.value(AID, nullptr);
  return item ? item->Node() : nullptr;
}

void TLxNodeList::ClearItems() {
  Place();
  FByKey.clear();
  while (FItems.Count() > 0) delete FItems.Delete(FItems.Count() - 1);
}
