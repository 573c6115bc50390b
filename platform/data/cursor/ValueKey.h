#pragma once
// The comparison rule of filters, sorts, Locate and Lookup. Values compare as NULL < numbers <
// text < binary; text without regard to case. A value is first brought to its field's kind, so
// the text '12' equals the integer 12 in a numeric field, and 12 equals '12' in a text field.
#include "platform/data/cursor/DataTypes.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

class TValueKey {
public:
  enum TKind { kNull, kNumber, kText, kBinary };

  static TValueKey FromValue(const QVariant& Value);
  static TValueKey ForField(const QVariant& Value, TFieldType FieldType);

  TKind Kind() const { return FKind; }
  bool IsNull() const { return FKind == kNull; }
  double Number() const { return FNumber; }  // kNumber only
  int Compare(const TValueKey& Other) const;
  friend bool operator<(const TValueKey& A, const TValueKey& B) { return A.Compare(B) < 0; }
  friend bool operator==(const TValueKey& A, const TValueKey& B) { return A.Compare(B) == 0; }

private:
  TKind FKind = kNull;
  double FNumber = 0;
  QString FText;  // case-folded
  QByteArray FBytes;
};
