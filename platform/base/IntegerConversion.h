#pragma once
// The one integer conversion of the system (the year check, node keys, the schedule's date parts):
// optional leading blanks, optional sign, then decimal digits, or hexadecimal digits after $, x, X,
// 0x or 0X; nothing after the digits; the value within the signed 32-bit range. Anything else,
// the empty text included, raises EConvertError "''%s'' is not a valid integer value".
//   StrToInt(u"  -42"_s) == -42;  StrToInt(u"$1F"_s) == 31;  StrToInt(u"20-1"_s) throws
#include <QString>
#include <cstdint>
#include <optional>

std::int32_t StrToInt(const QString& Text);
// Same rule, no exception: empty when the text is not an integer.
std::optional<std::int32_t> TryStrToInt(const QString& Text);
// Same rule, Default when the text is not an integer (the spin edit's reading of its text).
std::int32_t StrToIntDef(const QString& Text, std::int32_t Default);

// The decimal text of Value, as QString::number gives it, without its way through the locale code:
// field texts and node keys are made from it once per row.
//   IntToStr(-42) == u"-42"_s
QString IntToStr(std::int64_t Value);
