#include "platform/data/RowStore.h"

#include "platform/data/FieldIndex.h"

#include <QDate>
#include <QDateTime>
#include <atomic>
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

}  // namespace

TRowStore::TRowStore(std::vector<TFieldDef> Fields) : FFields(std::move(Fields)), FSerial(NextSerial++) {
  for (int i = 0; i < FieldCount(); ++i) {
    const QString key = FFields[static_cast<std::size_t>(i)].Name.toCaseFolded();
    if (!FFieldByName.contains(key)) FFieldByName.insert(key, i);  // the first of equal names wins
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
  if (RowId <= FRows.size() && FRows[static_cast<std::size_t>(RowId - 1)].Id == RowId) return static_cast<int>(RowId - 1);
  if (FPositions.empty() && !FRows.empty()) {
    FPositions.reserve(FRows.size());
    for (std::size_t i = 0; i < FRows.size(); ++i) FPositions.emplace(FRows[i].Id, static_cast<int>(i));
  }
  auto it = FPositions.find(RowId);
  return it == FPositions.end() ? -1 : it->second;
}

void TRowStore::AppendRow(std::vector<QVariant> Values) {
  Values.resize(FFields.size());
  FRows.push_back({FNextId++, std::move(Values)});
  Changed();
}

void TRowStore::SettleTypes() {
  for (std::size_t f = 0; f < FFields.size(); ++f) {
    TFieldDef& def = FFields[f];
    if (def.DataType == ftUnknown) {
      for (const TRow& row : FRows) {
        if (!row.Values[f].isNull()) {
          def.DataType = TypeOfValue(row.Values[f]);
          break;
        }
      }
    }
    if (def.DataType == ftInteger || def.DataType == ftLargeint) {
      // Integer columns are int when every value fits 32 bits, whatever width the engine reported.
      bool fits = true;
      for (const TRow& row : FRows) {
        const QVariant& value = row.Values[f];
        if (value.typeId() != QMetaType::LongLong) continue;  // text in an integer column stays text
        const qlonglong number = value.toLongLong();
        if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max()) {
          fits = false;
          break;
        }
      }
      def.DataType = fits ? ftInteger : ftLargeint;
      for (TRow& row : FRows) {
        QVariant& value = row.Values[f];
        if (value.isNull()) continue;
        if (fits && value.typeId() == QMetaType::LongLong) value = static_cast<int>(value.toLongLong());
        if (!fits && value.typeId() == QMetaType::Int) value = static_cast<qlonglong>(value.toInt());
      }
    }
    const QMetaType type = MetaTypeOf(def.DataType);
    if (!type.isValid()) continue;
    for (TRow& row : FRows) {
      if (row.Values[f].isNull()) row.Values[f] = QVariant(type);
    }
  }
  Changed();
}

quint64 TRowStore::InsertRow(int Position, std::vector<QVariant> Values) {
  Values.resize(FFields.size());
  const quint64 id = FNextId++;
  FRows.insert(FRows.begin() + Position, TRow{id, std::move(Values)});
  Changed();
  return id;
}

void TRowStore::UpdateRow(int Position, std::vector<QVariant> Values) {
  Values.resize(FFields.size());
  FRows[static_cast<std::size_t>(Position)].Values = std::move(Values);
  Changed();
}

void TRowStore::DeleteRow(int Position) {
  FRows.erase(FRows.begin() + Position);
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
