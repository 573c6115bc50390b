#pragma once
// An indexable sequence of item references that stays fast when entries go in and out in the
// middle: entries live in blocks of bounded size, and a table of block starts maps a 0-based
// position to its block by bisection. Insert and Delete cost O(block size + block count), which
// keeps 100,000 out-of-order inserts far from the quadratic cost of one flat shifting array.
// Positions are those of a plain array holding the same entries in the same order.
#include <cstdint>
#include <vector>

class TLxNodeItem;

class TItemSequence {
public:
  int Count() const { return FCount; }
  TLxNodeItem* Get(int Index) const;             // 0 <= Index < Count
  void Insert(int Index, TLxNodeItem* Item);     // 0 <= Index <= Count; later entries move up
  TLxNodeItem* Delete(int Index);                // returns the entry removed
  void Clear();

private:
  // Position -> (block, offset within it).
  std::size_t BlockOf(int Index) const;
  void RebuildStarts(std::size_t FromBlock);

  std::vector<std::vector<TLxNodeItem*>> FBlocks;
  std::vector<int> FStarts;  // position of each block's first entry
  int FCount = 0;
};
