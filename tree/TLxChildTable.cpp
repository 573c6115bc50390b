#include "tree/TLxChildTable.h"

#include "platform/base/IntegerConversion.h"
#include "platform/data/cursor/DataSet.h"
#include "platform/data/cursor/Field.h"

#include <algorithm>
#include <limits>

namespace {
// The value as a 32-bit integer, a range every reading of a key (the filter's numbers are
// doubles, an integer field's literal an int) keeps exact; false for anything else, NULL included.
bool ExactInteger(const QVariant* Value, std::int64_t& Out) {
  if (!Value || Value->isNull()) return false;
  switch (Value->typeId()) {
  case QMetaType::Int:
    Out = *static_cast<const int*>(Value->constData());
    return true;
  case QMetaType::LongLong:
    Out = *static_cast<const qlonglong*>(Value->constData());
    return Out >= std::numeric_limits<std::int32_t>::min() && Out <= std::numeric_limits<std::int32_t>::max();
  default:
    return false;
  }
}
}  // namespace

bool TLxChildTable::ParseKey(const QString& Text, std::int64_t& Key) {
  bool ok = false;
  Key = Text.toLongLong(&ok);
  return ok && IntToStr(Key) == Text;
}

void TLxChildTable::Clear() {
  FRows.clear();
  FChains.clear();
}

bool TLxChildTable::Build(TDataSet& DataSet, const TField& Key, const TField& Parent, const TField* Caption,
                          const TField* HasChildren) {
  Clear();
  try {
    DataSet.SetFiltered(false);
    FRows.reserve(static_cast<std::size_t>(DataSet.RecordCount()));
    for (DataSet.First(); !DataSet.Eof(); DataSet.Next()) {
      TRow row{0, {}, false, -1};
      if (!ExactInteger(DataSet.FieldValueRef(Key.Index()), row.Key)) {
        Clear();
        return false;
      }
      const QVariant* parent = DataSet.FieldValueRef(Parent.Index());
      std::int64_t parentKey = 0;
      const bool child = ExactInteger(parent, parentKey);
      // A NULL parent matches no filter: the row is nobody's child.
      if (!child && parent && !parent->isNull()) {
        Clear();
        return false;
      }
      if (Caption) row.Caption = Caption->AsString();
      if (HasChildren) row.HasChildren = HasChildren->AsBoolean();
      const int index = static_cast<int>(FRows.size());
      FRows.push_back(std::move(row));
      if (!child) continue;
      TChain& chain = FChains[parentKey];
      if (chain.Last == -1)
        chain.First = index;
      else
        FRows[static_cast<std::size_t>(chain.Last)].Next = index;
      chain.Last = index;
    }
  } catch (...) {
    // A value the load would fail on: the filtered load meets it where it always did.
    Clear();
    return false;
  }
  if (!HasChildren)
    for (TRow& row : FRows) row.HasChildren = FChains.contains(row.Key);
  return true;
}
