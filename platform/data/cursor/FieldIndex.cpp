#include "platform/data/cursor/FieldIndex.h"

#include "platform/data/cursor/RowStore.h"

#include <algorithm>

TFieldIndex::TFieldIndex(const TRowStore& Store, int FieldIndex) : FFieldType(Store.Field(FieldIndex).DataType) {
  const int count = Store.RowCount();
  // Key fields are mostly numbers: try the plain pairs first, without a TValueKey per row, and
  // fall back to the general entries at the first value that is neither a number nor NULL.
  std::vector<std::pair<double, int>> numbers;
  numbers.reserve(static_cast<std::size_t>(count));
  FNumbersOnly = true;
  for (int position = 0; position < count && FNumbersOnly; ++position) {
    if (Store.IsNull(position, FieldIndex)) continue;
    const QVariant value = Store.Value(position, FieldIndex);
    const TValueKey key = TValueKey::ForField(value, FFieldType);
    if (key.Kind() == TValueKey::kNumber)
      numbers.emplace_back(key.Number(), position);
    else if (!key.IsNull())
      FNumbersOnly = false;
  }
  if (FNumbersOnly) {
    std::sort(numbers.begin(), numbers.end());  // (value, position): equal values keep row order
    FNumbers.reserve(numbers.size());
    FNumberPositions.reserve(numbers.size());
    for (const auto& [number, position] : numbers) {
      FNumbers.push_back(number);
      FNumberPositions.push_back(position);
    }
    return;
  }
  numbers.clear();
  numbers.shrink_to_fit();
  FEntries.reserve(static_cast<std::size_t>(count));
  for (int position = 0; position < count; ++position) {
    FEntries.push_back({TValueKey::ForField(Store.Value(position, FieldIndex), FFieldType), position});
  }
  std::stable_sort(FEntries.begin(), FEntries.end(), [](const TEntry& A, const TEntry& B) { return A.Key < B.Key; });
}

std::pair<const int*, const int*> TFieldIndex::NumberRange(double Key) const {
  const auto lower = std::lower_bound(FNumbers.begin(), FNumbers.end(), Key);
  // Equal runs are short (a branch's rows): walking to the end of one beats a second bisection.
  auto upper = lower;
  while (upper != FNumbers.end() && !(Key < *upper)) ++upper;
  const int* base = FNumberPositions.data();
  return {base + (lower - FNumbers.begin()), base + (upper - FNumbers.begin())};
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
  if (FNumbersOnly) {
    if (Key.Kind() != TValueKey::kNumber) return result;
    const auto [first, last] = NumberRange(Key.Number());
    return std::vector<int>(first, last);
  }
  auto [first, last] = Range(Key);
  result.reserve(static_cast<std::size_t>(last - first));
  for (auto it = first; it != last; ++it) result.push_back(it->Position);
  return result;
}

int TFieldIndex::FirstPosition(const TValueKey& Key) const {
  if (Key.IsNull()) return -1;
  if (FNumbersOnly) {
    if (Key.Kind() != TValueKey::kNumber) return -1;
    // The first of the run is all that is asked: no walk to its end.
    const double number = Key.Number();
    const auto lower = std::lower_bound(FNumbers.begin(), FNumbers.end(), number);
    if (lower == FNumbers.end() || number < *lower) return -1;
    return FNumberPositions[static_cast<std::size_t>(lower - FNumbers.begin())];
  }
  auto [first, last] = Range(Key);
  return first == last ? -1 : first->Position;
}
