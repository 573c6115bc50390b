#pragma once
// A column of a dataset's current row. Fields exist while their dataset is open and are owned by it;
// a TField* taken after Open stays valid until Close.
//   ds.FieldByName(u"fname"_s).AsString()
#include "platform/data/cursor/DataTypes.h"

#include <QString>
#include <QVariant>
#include <cstdint>

class TDataSet;

class TField {
public:
  TField(TDataSet* DataSet, int Index, QString FieldName, TFieldType DataType);
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  const QString& FieldName() const { return FFieldName; }
  TFieldType DataType() const { return FDataType; }
  int Index() const { return FIndex; }
  TDataSet* DataSet() const { return FDataSet; }

  // The stored value of the current row (the edit buffer's while this cursor edits or inserts);
  // a null QVariant of the column's type for NULL, and for no current row.
  QVariant Value() const;
  // Only in dsEdit/dsInsert, else Exception "Dataset not in edit or insert mode"; read-only cursors
  // never get there. Notifies RecordChanged(this).
  void SetValue(const QVariant& Value);
  void SetAsString(const QString& Value) { SetValue(Value); }
  void SetAsInteger(std::int32_t Value) { SetValue(Value); }

  // NULL -> "". Numbers in their shortest decimal form, booleans "True"/"False", blobs byte for byte.
  QString AsString() const;
  // NULL -> 0. Numbers rounded to the nearest integer and range-checked ("Value %s is out of the
  // integer range"); text and blobs go through StrToInt; booleans 0/1.
  std::int32_t AsInteger() const;
  // NULL -> false; numbers: non-zero; text: "true"/"false" (any case), else through StrToInt.
  bool AsBoolean() const;
  bool IsNull() const;

private:
  // The stored value without a copy (the readers below run once per loaded row); a NULL for none.
  const QVariant& Stored() const;

  TDataSet* FDataSet;
  int FIndex;
  QString FFieldName;
  TFieldType FDataType;
};
