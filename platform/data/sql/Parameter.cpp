#include "platform/data/sql/Parameter.h"

#include "platform/base/Exception.h"

using namespace Qt::StringLiterals;

TParameter::TParameter(QString Name, TFieldType DataType, TParameterDirection Direction, int Size)
    : FName(std::move(Name)), FDataType(DataType), FDirection(Direction), FSize(Size) {}

void TParameter::LoadFromStream(const QByteArray& Stream, TFieldType DataType) {
  if (DataType != ftBlob)
    throw Exception(Format(u"Parameter %s: a stream loads only into a binary parameter"_s, {FName}));
  FDataType = ftBlob;
  FValue = Stream;
}

QVariant TParameter::TypedValue() const {
  if (FValue.isNull() || !FValue.isValid()) return {};
  switch (FDataType) {
  case ftString:
  case ftWideString:
    return FValue.toString();
  case ftBlob:
    return FValue.typeId() == QMetaType::QString ? FValue.toString().toUtf8() : FValue.toByteArray();
  case ftInteger:
  case ftLargeint:
    return FValue.toLongLong();
  default:
    return FValue;
  }
}
