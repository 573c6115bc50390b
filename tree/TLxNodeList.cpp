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

// Both bisections below compare as CompareKeys does, through a probe made once per call.

int TLxNodeList::Search(const QString& AID) const {
  const TKeyProbe probe(AID);
  int low = 0;
  int high = Count() - 1;
  while (low <= high) {
    const int mid = (low + high) / 2;
    const int c = -FItems.CompareWith(probe, mid);  // CompareKeys(GetKey(mid), AID)
    if (c == 0) return mid;
    if (c > 0)
      high = mid - 1;
    else
      low = mid + 1;
  }
  return -1;
}

int TLxNodeList::FindInsertIndex(const QString& AID) const {
  const TKeyProbe probe(AID);
  int low = 0;
  int high = Count() - 1;
  int result = 0;
  bool found = false;
  while (low <= high && !found) {
    if (FItems.CompareWith(probe, high) == 1) {  // CompareKeys(AID, GetKey(high))
      result = high + 1;
      found = true;
    } else if (FItems.CompareWith(probe, low) == -1) {
      result = low;
      found = true;
    } else {
      const int mid = (low + high) / 2;
      switch (FItems.CompareWith(probe, mid)) {
        case -1:
          high = mid - 1;
          break;
        case 0:
          throw Exception(Format(QStringLiteral("Duplicate list ID %s"), {AID}));
        default:
          low = mid + 1;
          break;
      }
    }
  }
  return result;
}

TLxNodeItem* TLxNodeList::InsertItem(const QString& AID, PVirtualNode ANode) {
  const int index = FindInsertIndex(AID);
  auto item = std::make_unique<TLxNodeItem>(AID, ANode);
  FItems.Insert(index, item.get());
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
