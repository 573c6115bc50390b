#include "platform/data/cursor/RowStore.h"

#include "platform/data/cursor/FieldIndex.h"
#include "platform/data/cursor/TextInterner.h"

#include <QDate>
#include <QDateTime>
#include <atomic>
#include <cstdint>
#include <limits>

namespace {

std::atomic<quint64> NextSerial{1};

TFieldType TypeOfValue(const QVariant& Value) {
  switch (Value.typeId()) {
  case QMetaType::Bool:
    return ftBoolean;
  case QMetaType::Int:
  case QMetaType::Short:
  case QMetaType::UShort:
    return ftInteger;
  case QMetaType::LongLong:
  case QMetaType::UInt:
  case QMetaType::ULongLong:
    return ftLargeint;
  case QMetaType::Double:
  case QMetaType::Float:
    return ftFloat;
  case QMetaType::QByteArray:
    return ftBlob;
  case QMetaType::QDate:
    return ftDate;
  case QMetaType::QDateTime:
    return ftDateTime;
  default:
    return ftWideString;
  }
}

QMetaType MetaTypeOf(TFieldType Type) {
  switch (Type) {
  case ftInteger:
    return QMetaType::fromType<int>();
  case ftLargeint:
    return QMetaType::fromType<qlonglong>();
  case ftFloat:
    return QMetaType::fromType<double>();
  case ftBoolean:
    return QMetaType::fromType<bool>();
  case ftBlob:
    return QMetaType::fromType<QByteArray>();
  case ftDate:
    return QMetaType::fromType<QDate>();
  case ftDateTime:
    return QMetaType::fromType<QDateTime>();
  case ftString:
  case ftWideString:
    return QMetaType::fromType<QString>();
  case ftUnknown:
    break;
  }
  return {};
}

bool FitsInt32(qint64 Value) {
  return Value >= std::numeric_limits<int>::min() && Value <= std::numeric_limits<int>::max();
}

// The value of a variant known to hold an int or a qlonglong, or a QString: read in place, since the
// generic conversions go through the meta-type system for every value of a large fetch.
qint64 IntOf(const QVariant& V) {
  return V.typeId() == QMetaType::Int ? *static_cast<const int*>(V.constData())
                                      : *static_cast<const qlonglong*>(V.constData());
}
const QString& TextOf(const QVariant& V) { return *static_cast<const QString*>(V.constData()); }

}  // namespace

// One column's values. Integers of one width and texts are held unboxed (nulls in a bit vector); any
// other kind, or a mix, turns the column into plain QVariants.
class TRowStore::TColumn {
public:
  enum TKind : std::uint8_t { kNulls, kInts, kTexts, kAny };

  TKind Kind() const { return FKind; }

  QVariant Value(std::size_t Row) const {
    switch (FKind) {
    case kNulls:
      return QVariant(FNullType);
    case kInts:
      if (FNull[Row]) return QVariant(FNullType);
      return FIntType == QMetaType::Int ? QVariant(static_cast<int>(FInts[Row]))
                                        : QVariant(static_cast<qlonglong>(FInts[Row]));
    case kTexts:
      return FNull[Row] ? QVariant(FNullType) : QVariant(FPool[FTextIds[Row]]);
    case kAny:
      break;
    }
    return FAny[Row];
  }

  bool IsNull(std::size_t Row) const {
    switch (FKind) {
    case kNulls:
      return true;
    case kInts:
    case kTexts:
      return FNull[Row];
    case kAny:
      break;
    }
    return FAny[Row].isNull();
  }

  void Insert(std::size_t Row, const QVariant& V) {
    const bool null = V.isNull();
    Prepare(V, null);
    if (FKind == kAny) {
      FAny.insert(FAny.begin() + static_cast<std::ptrdiff_t>(Row), V);
      return;
    }
    if (Row == FNull.size()) {  // loading appends: the plain push is several times cheaper
      if (FKind == kInts)
        FInts.push_back(null ? 0 : IntOf(V));
      else if (FKind == kTexts)
        FTextIds.push_back(null ? 0 : Pool(TextOf(V)));
      FNull.push_back(null);
      return;
    }
    const auto at = static_cast<std::ptrdiff_t>(Row);
    if (FKind == kInts)
      FInts.insert(FInts.begin() + at, null ? 0 : IntOf(V));
    else if (FKind == kTexts)
      FTextIds.insert(FTextIds.begin() + at, null ? 0 : Pool(TextOf(V)));
    FNull.insert(FNull.begin() + at, null);
  }

  void Set(std::size_t Row, const QVariant& V) {
    const bool null = V.isNull();
    Prepare(V, null);
    switch (FKind) {
    case kAny:
      FAny[Row] = V;
      return;
    case kInts:
      FInts[Row] = null ? 0 : IntOf(V);
      break;
    case kTexts:
      FTextIds[Row] = null ? 0 : Pool(TextOf(V));
      break;
    case kNulls:
      break;
    }
    FNull[Row] = null;
  }

  void Erase(std::size_t Row) {
    const auto at = static_cast<std::ptrdiff_t>(Row);
    if (FKind == kAny) {
      FAny.erase(FAny.begin() + at);
      return;
    }
    if (FKind == kInts) FInts.erase(FInts.begin() + at);
    if (FKind == kTexts) FTextIds.erase(FTextIds.begin() + at);
    FNull.erase(FNull.begin() + at);
  }

  // Settling a field's type: the type the first non-null value gives (ftUnknown when all are null).
  TFieldType TypeOfFirstValue() const {
    switch (FKind) {
    case kNulls:
      return ftUnknown;
    case kInts:
      return FIntType == QMetaType::Int ? ftInteger : ftLargeint;
    case kTexts:
      return ftWideString;
    case kAny:
      break;
    }
    for (const QVariant& value : FAny)
      if (!value.isNull()) return TypeOfValue(value);
    return ftUnknown;
  }

  // An integer field's values become int when all fit 32 bits (the answer), else qlonglong; text in an
  // integer column stays text.
  bool SettleIntegers() {
    bool fits = true;
    if (FKind == kInts) {
      for (std::size_t i = 0; i < FInts.size() && fits; ++i) fits = FNull[i] || FitsInt32(FInts[i]);
      FIntType = fits ? QMetaType::Int : QMetaType::LongLong;
    } else if (FKind == kAny) {
      for (const QVariant& value : FAny)
        if (value.typeId() == QMetaType::LongLong && !FitsInt32(value.toLongLong())) fits = false;
      for (QVariant& value : FAny) {
        if (value.isNull()) continue;
        if (fits && value.typeId() == QMetaType::LongLong) value = static_cast<int>(value.toLongLong());
        if (!fits && value.typeId() == QMetaType::Int) value = static_cast<qlonglong>(value.toInt());
      }
    }
    return fits;
  }

  void SetNullType(QMetaType Type) {
    FNullType = Type;
    if (FKind != kAny) return;
    for (QVariant& value : FAny)
      if (value.isNull()) value = QVariant(Type);
  }

private:
  // Makes the column able to hold V: the first non-null value chooses the kind; a value of another
  // kind turns the column into QVariants.
  void Prepare(const QVariant& V, bool Null) {
    if (FKind == kAny) return;
    if (Null) {
      if (!FNullType.isValid()) FNullType = V.metaType();  // until types are settled, NULLs keep theirs
      return;
    }
    const int type = V.typeId();
    const TKind wanted = (type == QMetaType::Int || type == QMetaType::LongLong) ? kInts
                         : type == QMetaType::QString                            ? kTexts
                                                                                 : kAny;
    if (FKind == kNulls && wanted != kAny) {
      FKind = wanted;
      FIntType = type;
      if (wanted == kInts)
        FInts.assign(FNull.size(), 0);
      else
        FTextIds.assign(FNull.size(), 0);
      return;
    }
    if (FKind == wanted && (wanted != kInts || type == FIntType)) return;
    std::vector<QVariant> values;
    values.reserve(FNull.size());
    for (std::size_t i = 0; i < FNull.size(); ++i) values.push_back(Value(i));
    FAny = std::move(values);
    FNull = {};
    FInts = {};
    FTextIds = {};
    FPool = {};
    FPoolByData = {};
    FKind = kAny;
  }

  // The text's place in the pool. A text that shares its buffer with one pooled before (the fetch
  // gives out one QString per distinct text) takes that one's place.
  std::uint32_t Pool(const QString& Text) {
    const void* data = Text.constData();
    const auto size = Text.size();
    if (data == FLastData && size == FLastSize) return FLastId;
    std::uint32_t id = 0;
    bool found = false;
    // Empty texts all read alike but may differ in being null, so they are never looked up.
    const bool hashing = size > 0 && FTrial.Worthwhile();
    if (size > 0 && !hashing) FPoolByData = {};
    if (hashing) {
      const auto it = FPoolByData.constFind(data);
      found = it != FPoolByData.constEnd() && FPool[it.value()].size() == size;
      FTrial.Counted(found);
      if (found) id = it.value();
    }
    if (!found) {
      id = static_cast<std::uint32_t>(FPool.size());
      FPool.push_back(Text);
      if (hashing && FPoolByData.size() < TRepeatTrial::MaxEntries) FPoolByData.insert(data, id);
    }
    FLastData = data;
    FLastSize = size;
    FLastId = id;
    return id;
  }

  TKind FKind = kNulls;
  int FIntType = QMetaType::UnknownType;  // kInts: Int or LongLong, as the values came
  QMetaType FNullType;                    // what a NULL reads as
  std::vector<bool> FNull;                // kNulls, kInts, kTexts: one per row
  std::vector<qint64> FInts;
  std::vector<std::uint32_t> FTextIds;
  std::vector<QString> FPool;
  QHash<const void*, std::uint32_t> FPoolByData;
  const void* FLastData = nullptr;
  qsizetype FLastSize = -1;
  std::uint32_t FLastId = 0;
  TRepeatTrial FTrial;
  std::vector<QVariant> FAny;  // kAny: one per row
};

TRowStore::TRowStore(std::vector<TFieldDef> Fields) : FFields(std::move(Fields)), FSerial(NextSerial++) {
  for (int i = 0; i < FieldCount(); ++i) {
    const QString key = FFields[static_cast<std::size_t>(i)].Name.toCaseFolded();
    if (!FFieldByName.contains(key)) FFieldByName.insert(key, i);  // the first of equal names wins
    FColumns.push_back(std::make_unique<TColumn>());
  }
}

TRowStore::~TRowStore() = default;

int TRowStore::IndexOf(const QString& FieldName) const {
  // Names never change after construction, so the cached answer stays right.
  if (!FLastName.isNull() && FieldName == FLastName) return FLastIndex;
  FLastIndex = FFieldByName.value(FieldName.toCaseFolded(), -1);
  FLastName = FieldName;
  return FLastIndex;
}

int TRowStore::PositionOf(quint64 RowId) const {
  if (RowId == 0) return -1;
  // Until rows are inserted or deleted, a row's id is its position + 1.
  if (RowId <= FIds.size() && FIds[static_cast<std::size_t>(RowId - 1)] == RowId) return static_cast<int>(RowId - 1);
  if (FPositions.empty() && !FIds.empty()) {
    FPositions.reserve(FIds.size());
    for (std::size_t i = 0; i < FIds.size(); ++i) FPositions.emplace(FIds[i], static_cast<int>(i));
  }
  auto it = FPositions.find(RowId);
  return it == FPositions.end() ? -1 : it->second;
}

QVariant TRowStore::Value(int Position, int Field) const {
  return FColumns[static_cast<std::size_t>(Field)]->Value(static_cast<std::size_t>(Position));
}

bool TRowStore::IsNull(int Position, int Field) const {
  return FColumns[static_cast<std::size_t>(Field)]->IsNull(static_cast<std::size_t>(Position));
}

std::vector<QVariant> TRowStore::RowValues(int Position) const {
  std::vector<QVariant> values;
  values.reserve(FColumns.size());
  for (const auto& column : FColumns) values.push_back(column->Value(static_cast<std::size_t>(Position)));
  return values;
}

void TRowStore::AppendRow(const std::vector<QVariant>& Values) { InsertRow(RowCount(), Values); }

void TRowStore::SettleTypes() {
  for (std::size_t f = 0; f < FFields.size(); ++f) {
    TFieldDef& def = FFields[f];
    TColumn& column = *FColumns[f];
    if (def.DataType == ftUnknown) def.DataType = column.TypeOfFirstValue();
    if (def.DataType == ftInteger || def.DataType == ftLargeint)
      def.DataType = column.SettleIntegers() ? ftInteger : ftLargeint;
    const QMetaType type = MetaTypeOf(def.DataType);
    if (type.isValid()) column.SetNullType(type);
  }
  Changed();
}

quint64 TRowStore::InsertRow(int Position, const std::vector<QVariant>& Values) {
  const quint64 id = FNextId++;
  const auto row = static_cast<std::size_t>(Position);
  static const QVariant null;
  for (std::size_t f = 0; f < FColumns.size(); ++f) FColumns[f]->Insert(row, f < Values.size() ? Values[f] : null);
  FIds.insert(FIds.begin() + Position, id);
  Changed();
  return id;
}

void TRowStore::UpdateRow(int Position, const std::vector<QVariant>& Values) {
  const auto row = static_cast<std::size_t>(Position);
  static const QVariant null;
  for (std::size_t f = 0; f < FColumns.size(); ++f) FColumns[f]->Set(row, f < Values.size() ? Values[f] : null);
  Changed();
}

void TRowStore::DeleteRow(int Position) {
  for (auto& column : FColumns) column->Erase(static_cast<std::size_t>(Position));
  FIds.erase(FIds.begin() + Position);
  Changed();
}

const TFieldIndex& TRowStore::Index(int FieldIndex) const {
  auto& slot = FIndexes[FieldIndex];
  if (!slot) slot = std::make_unique<TFieldIndex>(*this, FieldIndex);
  return *slot;
}

void TRowStore::Changed() {
  ++FVersion;
  FPositions.clear();
  FIndexes.clear();
}
