#include "platform/data/cursor/ValueKey.h"

#include <QDate>
#include <QDateTime>

namespace {

bool IsNumericType(TFieldType Type) {
  return Type == ftInteger || Type == ftLargeint || Type == ftFloat || Type == ftBoolean;
}

bool IsTextType(TFieldType Type) { return Type == ftString || Type == ftWideString; }

bool IsNumericValue(const QVariant& Value) {
  switch (Value.typeId()) {
  case QMetaType::Bool:
  case QMetaType::Int:
  case QMetaType::UInt:
  case QMetaType::LongLong:
  case QMetaType::ULongLong:
  case QMetaType::Double:
  case QMetaType::Float:
  case QMetaType::Short:
  case QMetaType::UShort:
  case QMetaType::Long:
  case QMetaType::ULong:
    return true;
  default:
    return false;
  }
}

// Text to a number as QString::toDouble reads it. Keys given as text are mostly plain decimal
// integers (the tree's keys): those are read directly, exactly, without the locale's parser.
bool TextToNumber(QStringView Text, double& Number) {
  const bool negative = Text.startsWith(u'-');
  const QStringView digits = negative ? Text.mid(1) : Text;
  bool plain = !digits.isEmpty() && digits.size() <= 15;  // 15 digits are exact in a double
  qint64 whole = 0;
  for (qsizetype i = 0; plain && i < digits.size(); ++i) {
    const char16_t c = digits[i].unicode();
    if (c < u'0' || c > u'9')
      plain = false;
    else
      whole = whole * 10 + (c - u'0');
  }
  if (plain) {
    const double magnitude = static_cast<double>(whole);
    Number = negative ? -magnitude : magnitude;
    return true;
  }
  bool ok = false;
  Number = Text.toDouble(&ok);
  return ok;
}

}  // namespace

TValueKey TValueKey::FromValue(const QVariant& Value) {
  TValueKey key;
  if (Value.isNull() || !Value.isValid()) return key;
  if (IsNumericValue(Value)) {
    key.FKind = kNumber;
    key.FNumber = Value.toDouble();
  } else if (Value.typeId() == QMetaType::QByteArray) {
    key.FKind = kBinary;
    key.FBytes = Value.toByteArray();
  } else if (Value.typeId() == QMetaType::QDate) {
    key.FKind = kText;
    key.FText = Value.toDate().toString(Qt::ISODate);
  } else if (Value.typeId() == QMetaType::QDateTime) {
    key.FKind = kText;
    key.FText = Value.toDateTime().toString(Qt::ISODateWithMs);
  } else {
    key.FKind = kText;
    key.FText = Value.toString().toCaseFolded();
  }
  return key;
}

TValueKey TValueKey::ForField(const QVariant& Value, TFieldType FieldType) {
  if (Value.isNull() || !Value.isValid()) return {};
  if (IsNumericType(FieldType) && Value.typeId() == QMetaType::QString) {
    double number = 0;
    const bool ok = TextToNumber(QStringView(*static_cast<const QString*>(Value.constData())).trimmed(), number);
    if (ok) {
      TValueKey key;
      key.FKind = kNumber;
      key.FNumber = number;
      return key;
    }
  }
  if (IsTextType(FieldType) && IsNumericValue(Value)) {
    TValueKey key;
    key.FKind = kText;
    key.FText = Value.toString().toCaseFolded();
    return key;
  }
  return FromValue(Value);
}

int TValueKey::Compare(const TValueKey& Other) const {
  if (FKind != Other.FKind) return FKind < Other.FKind ? -1 : 1;
  switch (FKind) {
  case kNull:
    return 0;
  case kNumber:
    return FNumber < Other.FNumber ? -1 : (Other.FNumber < FNumber ? 1 : 0);
  case kText:
    return FText.compare(Other.FText);
  case kBinary:
    return FBytes < Other.FBytes ? -1 : (Other.FBytes < FBytes ? 1 : 0);
  }
  return 0;
}
