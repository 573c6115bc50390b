#pragma once
// The key index of a data-bound tree: items kept in ascending key order (ordinal over UTF-16 code
// units, case-sensitive: "10" < "2", "Z" < "a"), no two with equal keys. Positions are 0-based;
// -1 means no entry. The list owns its items, except one taken out by DeleteItem, which lives on
// and is the caller's.
//
// A hash finds a key; the sorted sequence gives positions. A branch load inserts its keys in
// random order, so new items wait unplaced and join the sequence together, in one merge, when a
// position is next asked for: one sort instead of a scattered insert per key.
//
//   TLxNodeList list;
//   list.InsertItem(u"12"_s, node);          // "Duplicate list ID 12" if 12 is there already
//   PVirtualNode n = list.NodeByID(u"12"_s); // none when missing
#include "tree/TItemSequence.h"
#include "tree/TLxNodeItem.h"

#include <QHash>
#include <QString>
#include <vector>

class TLxNodeList {
public:
  TLxNodeList() = default;
  TLxNodeList(const TLxNodeList&) = delete;
  TLxNodeList& operator=(const TLxNodeList&) = delete;
  ~TLxNodeList();  // ClearItems

  // Position of the entry whose key equals AID, or -1.
  int Search(const QString& AID) const;
  // Creates and inserts the item at its sorted position. On a duplicate key raises
  // "Duplicate list ID %s" before anything is created.
  TLxNodeItem* InsertItem(const QString& AID, PVirtualNode ANode);
  // Takes the entry out without destroying its item; nothing when the key is missing.
  void DeleteItem(const QString& AID);
  PVirtualNode NodeByID(const QString& AID) const;  // none when missing
  // Destroys every item, last entry first.
  void ClearItems();
  // Makes room for Count items in all, so that a large load does not grow the hash step by step.
  void Reserve(int Count) { FByKey.reserve(Count); }

  // The list of references underneath.
  int Count() const { return FItems.Count() + static_cast<int>(FUnplaced.size()); }
  TLxNodeItem* Items(int Index) const;
  // Removes the entry at Index; the item is not destroyed (the caller takes it).
  void Delete(int Index);

  // -1, 0 or 1: ordinal comparison of UTF-16 code units; a prefix sorts first.
  static int CompareKeys(const QString& A, const QString& B);
  // The position at which AID belongs (just before the first key after it); raises
  // "Duplicate list ID %s" when AID is present.
  int FindInsertIndex(const QString& AID) const;
  const QString& GetKey(int Index) const { return Items(Index)->Key(); }
  PVirtualNode GetNode(int Index) const { return Items(Index)->Node(); }

private:
  // Brings the unplaced items into the sequence.
  void Place() const;

  mutable TItemSequence FItems;
  mutable std::vector<TLxNodeItem*> FUnplaced;  // inserted, not yet in FItems
  QHash<QString, TLxNodeItem*> FByKey;          // every item, by its key
};
