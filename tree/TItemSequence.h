#pragma once
// An indexable sequence of item references that stays fast when entries go in and out in the
// middle: entries live in blocks of bounded size, and a table of block starts maps a 0-based
// position to its block by bisection. Insert and Delete cost O(block size + block count), which
// keeps 100,000 out-of-order inserts far from the quadratic cost of one flat shifting array.
// Positions are those of a plain array holding the same entries in the same order.
//
// Each entry keeps the first code units of its item's key beside the reference, so that comparing
// a key with an entry rarely has to leave the block (TKeyProbe).
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

class TLxNodeItem;

// A key ready for comparison with entries: ordinal over UTF-16 code units, a prefix first.
struct TKeyProbe {
  explicit TKeyProbe(const QString& Key);
  std::uint64_t Head[2] = {0, 0};  // the first 8 code units, most significant first, zero-padded
  qsizetype Length = 0;
  const QString* Key;
};

class TItemSequence {
public:
  int Count() const { return FCount; }
  TLxNodeItem* Get(int Index) const;             // 0 <= Index < Count
  void Insert(int Index, TLxNodeItem* Item);     // 0 <= Index <= Count; later entries move up
  TLxNodeItem* Delete(int Index);                // returns the entry removed
  void Clear();
  // For entries in ascending key order: the position of the first entry whose key is not below
  // Probe's (Count when none), and whether that entry's key equals Probe's. Bisects the blocks by
  // their last entries, then the one block: no position-to-block lookup per step.
  std::pair<int, bool> LowerBound(const TKeyProbe& Probe) const;

private:
  struct TEntry {
    std::uint64_t Head[2];
    qsizetype Length;
    TLxNodeItem* Item;
  };
  static int Compare(const TKeyProbe& Probe, const TEntry& Entry);
  const TEntry& EntryAt(int Index) const;
  std::size_t BlockOf(int Index) const;  // position -> block
  void RebuildStarts(std::size_t FromBlock);

  std::vector<std::vector<TEntry>> FBlocks;
  std::vector<int> FStarts;  // position of each block's first entry
  int FCount = 0;
};
