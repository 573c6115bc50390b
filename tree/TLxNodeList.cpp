#include "tree/TLxNodeList.h"

#include "platform/base/Exception.h"

#include <memory>
#include <string_view>

TLxNodeList::~TLxNodeList() { ClearItems(); }

int TLxNodeList::CompareKeys(const QString& A, const QString& B) {
  // char16_t is unsigned, so this is the code-unit order, not Qt's or the locale's.
  const std::u16string_view a(reinterpret_cast<const char16_t*>(A.utf16()), static_cast<std::size_t>(A.size()));
  const std::u16string_view b(reinterpret_cast<const char16_t*>(B.utf16()), static_cast<std::size_t>(B.size()));
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Keys are kept in ascending order, so one lower bound answers both questions.

int TLxNodeList::Search(const QString& AID) const {
  const auto [index, equal] = FItems.LowerBound(TKeyProbe(AID));
  return equal ? index : -1;
}

int TLxNodeList::FindInsertIndex(const QString& AID) const {
  const auto [index, equal] = FItems.LowerBound(TKeyProbe(AID));
  if (equal) throw Exception(Format(QStringLiteral("Duplicate list ID %s"), {AID}));
  return index;
}

TLxNodeItem* TLxNodeList::InsertItem(const QString& AID, PVirtualNode ANode) {
  auto item = std::make_unique<TLxNodeItem>(AID, ANode);
  if (!FItems.InsertSorted(item.get())) throw Exception(Format(QStringLiteral("Duplicate list ID %s"), {AID}));
  return item.release();
}

void TLxNodeList::DeleteItem(const QString& AID) {
  const int index = Search(AID);
  if (index != -1) FItems.Delete(index);
}

PVirtualNode TLxNodeList::NodeByID(const QString& AID) const {
  const int index = Search(AID);
  return index == -1 ? nullptr : GetNode(index);
}

void TLxNodeList::ClearItems() {
  while (Count() > 0) delete FItems.Delete(Count() - 1);
}
