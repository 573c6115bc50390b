#include "app/SpinEditModel.h"

#include "platform/base/IntegerConversion.h"

#include <algorithm>

TSpinEditModel::TSpinEditModel(std::int32_t MinValue, std::int32_t MaxValue, int MaxLength, std::int32_t InitialValue)
    : FMinValue(MinValue), FMaxValue(MaxValue), FMaxLength(MaxLength) {
  SetValue(InitialValue);
}

void TSpinEditModel::SetText(const QString& Value) { FText = Value.left(FMaxLength); }

std::int32_t TSpinEditModel::Value() const { return StrToIntDef(FText, FMinValue); }

void TSpinEditModel::SetValue(std::int32_t Value) { SetText(QString::number(Value)); }

void TSpinEditModel::Step(int Delta) {
  const std::int64_t next = std::int64_t{Value()} + Delta;
  SetValue(static_cast<std::int32_t>(std::clamp<std::int64_t>(next, FMinValue, FMaxValue)));
}

void TSpinEditModel::FocusLost() {
  if (const auto value = TryStrToInt(FText)) {
    if (*value < FMinValue)
      SetValue(FMinValue);
    else if (*value > FMaxValue)
      SetValue(FMaxValue);
  }
}

bool TSpinEditModel::AcceptsKey(QChar Character, QChar DecimalSeparator) const {
  if (Character == u'\r' || Character == u'\n') return false;
  if (Character.unicode() < 0x20 || Character.unicode() == 0x7F) return true;
  return (Character >= u'0' && Character <= u'9') || Character == u'+' || Character == u'-' ||
         Character == DecimalSeparator;
}
