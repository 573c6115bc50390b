#pragma once
// A sorted index of one field's values: equal values are found by bisection, and within equal
// values rows stay in row order (so the first match is the first row with that value).
#include "platform/data/cursor/ValueKey.h"

#include <vector>

class TRowStore;

class TFieldIndex {
public:
  TFieldIndex(const TRowStore& Store, int FieldIndex);
  // Store positions of the rows whose value equals Key, ascending.
  std::vector<int> EqualPositions(const TValueKey& Key) const;
  // Store position of the first such row, or -1.
  int FirstPosition(const TValueKey& Key) const;
  TFieldType FieldType() const { return FFieldType; }

private:
  struct TEntry {
    TValueKey Key;
    int Position;
  };
  std::pair<std::vector<TEntry>::const_iterator, std::vector<TEntry>::const_iterator> Range(const TValueKey& Key) const;

  std::pair<const int*, const int*> NumberRange(double Key) const;

  TFieldType FFieldType;
  std::vector<TEntry> FEntries;
  // A field holding only numbers (and NULLs, which no key matches) is kept as plain pairs: a
  // third of the memory, and bisection stays within the cache for large lookups.
  bool FNumbersOnly = false;
  std::vector<double> FNumbers;
  std::vector<int> FNumberPositions;
};
