#pragma once
// A declared parameter of a stored procedure: name (with its '@'), kind, declared size, value.
#include "platform/data/cursor/DataTypes.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

class TParameter {
public:
  TParameter(QString Name, TFieldType DataType, TParameterDirection Direction, int Size);

  const QString& Name() const { return FName; }
  TFieldType DataType() const { return FDataType; }
  TParameterDirection Direction() const { return FDirection; }
  int Size() const { return FSize; }
  const QVariant& Value() const { return FValue; }
  // The value as the declared kind sends it: text for ftString/ftWideString (the year goes as
  // "2013", never 2013), bytes for ftBlob, a 64-bit integer for the integer kinds; NULL stays NULL.
  QVariant TypedValue() const;
  void SetValue(const QVariant& Value) { FValue = Value; }
  // The whole of Stream as the value; DataType becomes ftBlob (the only kind accepted here,
  // else Exception "Parameter %s: a stream loads only into a binary parameter").
  void LoadFromStream(const QByteArray& Stream, TFieldType DataType = ftBlob);

private:
  QString FName;
  TFieldType FDataType;
  TParameterDirection FDirection;
  int FSize;
  QVariant FValue;
};
