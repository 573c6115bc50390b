#pragma once
// The key index of a data-bound tree: items kept in ascending key order (ordinal over UTF-16 code
// units, case-sensitive: "10" < "2", "Z" < "a"), no two with equal keys, found by bisection.
// Positions are 0-based; -1 means no entry. The list owns its items, except one taken out by
// DeleteItem, which lives on and is the caller's.
//
//   TLxNodeList list;
//   list.InsertItem(u"12"_s, node);          // "Duplicate list ID 12" if 12 is there already
//   PVirtualNode n = list.NodeByID(u"12"_s); // none when missing
#include "tree/TItemSequence.h"
#include "tree/TLxNodeItem.h"

#include <QString>

class TLxNodeList {
public:
  TLxNodeList() = default;
  TLxNodeList(const TLxNodeList&) = delete;
  TLxNodeList& operator=(const TLxNodeList&) = delete;
  ~TLxNodeList();  // ClearItems

  // Position of the entry whose key equals AID, or -1.
  int Search(const QString& AID) const;
  // Creates and inserts the item at its sorted position. On a duplicate key raises
  // "Duplicate list ID %s" and keeps nothing.
  TLxNodeItem* InsertItem(const QString& AID, PVirtualNode ANode);
  // Takes the entry out without destroying its item; nothing when the key is missing.
  void DeleteItem(const QString& AID);
  PVirtualNode NodeByID(const QString& AID) const;  // none when missing
  // Destroys every item, last entry first.
  void ClearItems();

  // The list of references underneath.
  int Count() const { return FItems.Count(); }
  TLxNodeItem* Items(int Index) const { return FItems.Get(Index); }
  // Removes the entry at Index; the item is not destroyed (the caller takes it).
  void Delete(int Index) { FItems.Delete(Index); }

  // -1, 0 or 1: ordinal comparison of UTF-16 code units; a prefix sorts first.
  static int CompareKeys(const QString& A, const QString& B);
  // The position at which AID belongs (just before the first key after it); raises
  // "Duplicate list ID %s" when AID is present.
  int FindInsertIndex(const QString& AID) const;
  const QString& GetKey(int Index) const { return FItems.Get(Index)->Key(); }
  PVirtualNode GetNode(int Index) const { return FItems.Get(Index)->Node(); }

private:
  TItemSequence FItems;
};
