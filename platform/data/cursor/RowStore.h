#pragma once
// The rows of one fetched result, shared by a dataset and its clones. Rows keep their order and a
// unique id (for bookmarks). Every change moves the version on, which tells each cursor to remake
// its views, and drops the per-field indexes (they are rebuilt on the next lookup).
//
// Values are held by column, not as a QVariant each: integers unboxed, texts as indexes into the
// column's own list of texts, where a text handed in again (the same shared QString, as the fetch's
// interner gives out) is kept once. A report of 200,000 rows fits in a tenth of the memory that a
// QVariant per value takes. A column that mixes kinds (text in an INTEGER column, dates, blobs)
// keeps QVariants, so every value reads back as it was stored.
#include "platform/data/cursor/FieldDef.h"

#include <QHash>
#include <QVariant>
#include <memory>
#include <unordered_map>
#include <vector>

class TFieldIndex;

class TRowStore {
public:
  explicit TRowStore(std::vector<TFieldDef> Fields);
  TRowStore(const TRowStore&) = delete;
  TRowStore& operator=(const TRowStore&) = delete;
  ~TRowStore();

  quint64 Serial() const { return FSerial; }  // unique per store in this process
  quint64 Version() const { return FVersion; }
  int FieldCount() const { return static_cast<int>(FFields.size()); }
  const TFieldDef& Field(int Index) const { return FFields[static_cast<std::size_t>(Index)]; }
  int IndexOf(const QString& FieldName) const;  // case-insensitive; -1 when missing
  int RowCount() const { return static_cast<int>(FIds.size()); }
  quint64 RowId(int Position) const { return FIds[static_cast<std::size_t>(Position)]; }
  int PositionOf(quint64 RowId) const;  // -1 when gone; O(1) amortised

  // The stored value; a NULL reads as a null QVariant of the field's type once types are settled.
  QVariant Value(int Position, int Field) const;
  bool IsNull(int Position, int Field) const;
  std::vector<QVariant> RowValues(int Position) const;

  // Loading: values in field order; a NULL should be a null QVariant.
  void AppendRow(const std::vector<QVariant>& Values);
  // Fixes each ftUnknown field's type from its first non-null value and gives NULLs that type;
  // integer fields become ftInteger (int values) when every value fits 32 bits, else ftLargeint.
  void SettleTypes();

  // Editing (Post and Delete of a cursor).
  quint64 InsertRow(int Position, const std::vector<QVariant>& Values);  // Position == RowCount appends
  void UpdateRow(int Position, const std::vector<QVariant>& Values);
  void DeleteRow(int Position);

  const TFieldIndex& Index(int FieldIndex) const;

private:
  class TColumn;
  void Changed();

  std::vector<TFieldDef> FFields;
  QHash<QString, int> FFieldByName;  // case-folded names
  // The last name asked for, as written, and its answer: the same name comes once per loaded node.
  mutable QString FLastName;
  mutable int FLastIndex = -1;
  std::vector<std::unique_ptr<TColumn>> FColumns;
  std::vector<quint64> FIds;
  quint64 FSerial;
  quint64 FVersion = 1;
  quint64 FNextId = 1;
  mutable std::unordered_map<quint64, int> FPositions;  // row id -> position; empty when stale
  mutable std::unordered_map<int, std::unique_ptr<TFieldIndex>> FIndexes;
};
