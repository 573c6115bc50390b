#pragma once
// An indexable sequence of item references that stays fast when entries go in and out in the
// middle: entries live in blocks of bounded size, and a table of block starts maps a 0-based
// position to its block by bisection. Insert and Delete cost O(block size + block count), which
// keeps 100,000 out-of-order inserts far from the quadratic cost of one flat shifting array.
// Positions are those of a plain array holding the same entries in the same order. The table of
// block starts is brought up to date only when a position is asked for, so that a run of
// InsertSorted calls (a branch loading) does not renumber the later blocks at every entry.
//
// Each entry keeps the first code units of its item's key beside the reference, so that comparing
// a key with an entry rarely has to leave the block (TKeyProbe), and a shared copy of the key, so
// that an entry is compared and dropped without its item.
#include <QString>
#include <algorithm>
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
  TLxNodeItem* Get(int Index) const;          // 0 <= Index < Count
  void Insert(int Index, TLxNodeItem* Item);  // 0 <= Index <= Count; later entries move up
  TLxNodeItem* Delete(int Index);             // returns the entry removed
  void Clear();
  // For entries in ascending key order: the position of the first entry whose key is not below
  // Probe's (Count when none), and whether that entry's key equals Probe's. Bisects the blocks by
  // their last entries, then the one block: no position-to-block lookup per step.
  std::pair<int, bool> LowerBound(const TKeyProbe& Probe) const;
  // For entries in ascending key order: inserts Item where its key belongs and returns true, or
  // returns false and inserts nothing when an entry has the same key.
  bool InsertSorted(TLxNodeItem* Item);
  // For entries in ascending key order: inserts Items, whose keys are all different and absent,
  // where they belong, with one sort and one merge.
  void InsertMany(const std::vector<TLxNodeItem*>& Items);
  // The key of the entry at Index (0 <= Index < Count), read from the entry, not from its item.
  const QString& KeyAt(int Index) const;

private:
  struct TEntry {
    std::uint64_t Head[2];
    qsizetype Length;
    TLxNodeItem* Item;
    QString Key;  // shares the item's key text: an entry compares and goes without reading its item
  };
  // Where a key belongs: the block, the offset in it, and whether the entry there has that key.
  struct TSpot {
    std::size_t Block;
    std::size_t Offset;
    bool Equal;
  };
  static TEntry MakeEntry(TLxNodeItem* Item);
  static int Compare(const TKeyProbe& Probe, const TEntry& Entry);
  static int Compare(const TEntry& A, const TEntry& B);
  TSpot Find(const TKeyProbe& Probe) const;
  void InsertAt(std::size_t Block, std::size_t Offset, TEntry Entry);
  const TEntry& EntryAt(int Index) const;
  std::size_t BlockOf(int Index) const;  // position -> block
  void UpdateStarts() const;
  void StartsChangedAfter(std::size_t Block) { FStartsKnown = std::min(FStartsKnown, Block + 1); }

  std::vector<std::vector<TEntry>> FBlocks;
  mutable std::vector<int> FStarts;      // position of each block's first entry
  mutable std::size_t FStartsKnown = 0;  // FStarts is right for the blocks before this one
  int FCount = 0;
};
