#include "platform/data/Parameter.h"

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
