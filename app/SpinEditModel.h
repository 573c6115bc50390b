#pragma once
// The year field's rules, kept apart from the widget so they run headless. The text is what the
// field shows; it need not be a number ("20-1" can be typed and stays as typed).
//   TSpinEditModel year;  year.SetText(u"1800"_s);  year.FocusLost();  year.Text() == u"1900"
#include <QString>

#include <cstdint>

class TSpinEditModel {
public:
  TSpinEditModel(std::int32_t MinValue, std::int32_t MaxValue, int MaxLength, std::int32_t InitialValue);

  const QString& Text() const { return FText; }
  // Stores at most MaxLength characters, as typed.
  void SetText(const QString& Value);
  // The text as an integer, or MinValue when it is not one.
  std::int32_t Value() const;
  void SetValue(std::int32_t Value);

  std::int32_t MinValue() const { return FMinValue; }
  std::int32_t MaxValue() const { return FMaxValue; }
  int MaxLength() const { return FMaxLength; }

  // An arrow (or arrow key): the value, a non-number read as MinValue, moves by Delta within the range.
  void Step(int Delta);
  // Leaving the field: a number outside the range becomes the nearer bound; other texts stay.
  void FocusLost();
  // Typing: digits, '+', '-', the decimal separator and control keys other than Enter are taken;
  // anything else is refused (the widget beeps).
  bool AcceptsKey(QChar Character, QChar DecimalSeparator) const;

private:
  QString FText;
  std::int32_t FMinValue;
  std::int32_t FMaxValue;
  int FMaxLength;
};
