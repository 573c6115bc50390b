#include "platform/data/cursor/Field.h"

#include "platform/base/Exception.h"
#include "platform/base/IntegerConversion.h"
#include "platform/data/cursor/DataSet.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

TField::TField(TDataSet* DataSet, int Index, QString FieldName, TFieldType DataType)
    : FDataSet(DataSet), FIndex(Index), FFieldName(std::move(FieldName)), FDataType(DataType) {}

QVariant TField::Value() const { return FDataSet->GetFieldValue(FIndex); }

void TField::SetValue(const QVariant& Value) { FDataSet->SetFieldValue(FIndex, Value); }

const QVariant& TField::Stored() const {
  static const QVariant null;
  const QVariant* value = FDataSet->FieldValueRef(FIndex);
  return value ? *value : null;
}

bool TField::IsNull() const { return Stored().isNull(); }

QString TField::AsString() const {
  const QVariant& value = Stored();
  if (value.isNull()) return {};
  switch (value.typeId()) {
  // Keys and captions: read once or twice for every node a tree adds, so not through Qt's general
  // conversion.
  case QMetaType::QString:
    return *static_cast<const QString*>(value.constData());
  case QMetaType::Int:
    return IntToStr(*static_cast<const int*>(value.constData()));
  case QMetaType::LongLong:
    return IntToStr(*static_cast<const qlonglong*>(value.constData()));
  case QMetaType::Bool:
    return value.toBool() ? u"True"_s : u"False"_s;
  case QMetaType::QByteArray:
    return QString::fromLatin1(value.toByteArray());
  case QMetaType::Double:
    return QString::number(value.toDouble(), 'g', std::numeric_limits<double>::max_digits10 - 2);
  default:
    return value.toString();
  }
}

std::int32_t TField::AsInteger() const {
  const QVariant& value = Stored();
  if (value.isNull()) return 0;
  switch (value.typeId()) {
  case QMetaType::Bool:
    return value.toBool() ? 1 : 0;
  case QMetaType::Int:
    return value.toInt();
  case QMetaType::LongLong:
  case QMetaType::UInt:
  case QMetaType::ULongLong:
  case QMetaType::Double: {
    const double number = value.typeId() == QMetaType::Double ? std::round(value.toDouble()) : value.toDouble();
    const qlonglong whole = value.typeId() == QMetaType::Double ? static_cast<qlonglong>(number) : value.toLongLong();
    if (number < std::numeric_limits<std::int32_t>::min() || number > std::numeric_limits<std::int32_t>::max())
      throw Exception(Format(u"Value %s is out of the integer range"_s, {value.toString()}));
    return static_cast<std::int32_t>(whole);
  }
  default:
    return StrToInt(AsString());
  }
}

bool TField::AsBoolean() const {
  const QVariant& value = Stored();
  if (value.isNull()) return false;
  switch (value.typeId()) {
  case QMetaType::Bool:
    return value.toBool();
  case QMetaType::Int:
  case QMetaType::LongLong:
  case QMetaType::Double:
    return value.toDouble() != 0;
  default: {
    const QString text = AsString().trimmed();
    if (text.compare(u"true"_s, Qt::CaseInsensitive) == 0) return true;
    if (text.compare(u"false"_s, Qt::CaseInsensitive) == 0) return false;
    return StrToInt(text) != 0;
  }
  }
}
