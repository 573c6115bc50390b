#pragma once
// Every row of a tree's clone, read once in the clone's order and grouped under its parent key, so
// that a full expansion loads each branch from memory instead of filtering the clone once per
// node and reading its rows in random order.
//
// It answers only where its answer is the filter's own: keys and parent keys that are 32-bit
// integers (or NULL parents), read through the same text rules as a filtered load. Build refuses
// any other dataset, and the filtered loads stay in charge.
//
//   TLxChildTable table;
//   if (table.Build(clone, keyField, parentField, listField, nullptr))
//     table.ForEachChild(12, [](const TLxChildTable::TRow& Row) { ... });  // rows with parent 12
#include <QHash>
#include <QString>
#include <cstdint>
#include <vector>

class TDataSet;
class TField;

class TLxChildTable {
public:
  struct TRow {
    std::int64_t Key;
    QString Caption;
    bool HasChildren;  // the has-children field's value, or whether any row names this one as parent
    int Next;          // the next row under the same parent, -1 after the last
  };

  // Reads every row of DataSet (its filter switched off; the cursor ends past the last row).
  // HasChildren may be none. False, with the table empty, for a key that is not a 32-bit integer,
  // a parent that is neither a 32-bit integer nor NULL, or a value that cannot be read.
  bool Build(TDataSet& DataSet, const TField& Key, const TField& Parent, const TField* Caption,
             const TField* HasChildren);
  void Clear();

  // Visits the rows whose parent is ParentKey, in the dataset's order.
  template <typename F>
  void ForEachChild(std::int64_t ParentKey, F&& Visit) const {
    const auto chain = FChains.constFind(ParentKey);
    if (chain == FChains.constEnd()) return;
    for (int r = chain->First; r != -1; r = FRows[static_cast<std::size_t>(r)].Next)
      Visit(FRows[static_cast<std::size_t>(r)]);
  }

  // The integer whose text (IntToStr, as a loaded node's key shows it) is Text exactly; false for any
  // other text.
  static bool ParseKey(const QString& Text, std::int64_t& Key);

private:
  struct TChain {
    int First = -1;
    int Last = -1;
  };
  std::vector<TRow> FRows;
  QHash<std::int64_t, TChain> FChains;  // parent key -> its rows
};
