#include "platform/data/FieldIndex.h"

#include "platform/data/RowStore.h"

#include <algorithm>

TFieldIndex::TFieldIndex(const TRowStore& Store, int FieldIndex) : FFieldType(Store.Field(FieldIndex).DataType) {
  const int count = Store.RowCount();
  FEntries.reserve(static_cast<std::size_t>(count));
  for (int position = 0; position < count; ++position) {
    const QVariant& value = Store.Row(position).Values[static_cast<std::size_t>(FieldIndex)];
    FEntries.push_back({TValueKey::ForField(value, FFieldType), position});
  }
  std::stable_sort(FEntries.begin(), FEntries.end(),
                   [](const TEntry& A, const TEntry& B) { return A.Key < B.Key; });
}

std::pair<std::vector<TFieldIndex::TEntry>::const_iterator, std::vector<TFieldIndex::TEntry>::const_iterator>
TFieldIndex::Range(const TValueKey& Key) const {
  auto lower = std::lower_bound(FEntries.begin(), FEntries.end(), Key,
                                [](const TEntry& Entry, const TValueKey& K) { return Entry.Key < K; });
  auto upper = std::upper_bound(lower, FEntries.end(), Key,
                                [](const TValueKey& K, const TEntry& Entry) { return K < Entry.Key; });
  return {lower, upper};
}

std::vector<int> TFieldIndex::EqualPositions(const TValueKey& Key) const {
  std::vector<int> result;
  if (Key.IsNull()) return result;
  auto [first, last] = Range(Key);
  result.reserve(static_cast<std::size_t>(last - first));
  for (auto it = first; it != last; ++it) result.push_back(it->Position);
  return result;
}

int TFieldIndex::FirstPosition(const TValueKey& Key) const {
  if (Key.IsNull()) return -1;
  auto [first, last] = Range(Key);
  return first == last ? -1 : first->Position;
}
