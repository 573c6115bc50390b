#pragma once
// The rows of one fetched result, shared by a dataset and its clones. Rows keep their order and a
// unique id (for bookmarks). Every change moves the version on, which tells each cursor to remake
// its views, and drops the per-field indexes (they are rebuilt on the next lookup).
#include "platform/data/FieldDef.h"

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

  struct TRow {
    quint64 Id;
    std::vector<QVariant> Values;
  };

  quint64 Serial() const { return FSerial; }  // unique per store in this process
  quint64 Version() const { return FVersion; }
  int FieldCount() const { return static_cast<int>(FFields.size()); }
  const TFieldDef& Field(int Index) const { return FFields[static_cast<std::size_t>(Index)]; }
  int IndexOf(const QString& FieldName) const;  // case-insensitive; -1 when missing
  int RowCount() const { return static_cast<int>(FRows.size()); }
  const TRow& Row(int Position) const { return FRows[static_cast<std::size_t>(Position)]; }
  int PositionOf(quint64 RowId) const;  // -1 when gone; O(1) amortised

  // Loading: values in field order; a NULL should be a null QVariant.
  void AppendRow(std::vector<QVariant> Values);
  // Fixes each ftUnknown field's type from its first non-null value and gives NULLs that type;
  // integer fields become ftInteger (int values) when every value fits 32 bits, else ftLargeint.
  void SettleTypes();

  // Editing (Post and Delete of a cursor).
  quint64 InsertRow(int Position, std::vector<QVariant> Values);  // Position == RowCount appends
  void UpdateRow(int Position, std::vector<QVariant> Values);
  void DeleteRow(int Position);

  const TFieldIndex& Index(int FieldIndex) const;

private:
  void Changed();

  std::vector<TFieldDef> FFields;
  QHash<QString, int> FFieldByName;  // case-folded names
  // The last name asked for, as written, and its answer: the same name comes once per loaded node.
  mutable QString FLastName;
  mutable int FLastIndex = -1;
  std::vector<TRow> FRows;
  quint64 FSerial;
  quint64 FVersion = 1;
  quint64 FNextId = 1;
  mutable std::unordered_map<quint64, int> FPositions;  // row id -> position; empty when stale
  mutable std::unordered_map<int, std::unique_ptr<TFieldIndex>> FIndexes;
};
