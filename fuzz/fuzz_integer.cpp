// The integer conversion: StrToInt, TryStrToInt and StrToIntDef over any text, checked against a
// second reading of the same rule written with std::from_chars.
#include "fuzz/FuzzInput.h"
#include "platform/base/Exception.h"
#include "platform/base/IntegerConversion.h"

#include <charconv>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Blanks, sign, a hex prefix ($, x, X, 0x, 0X) or none, then digits to the end, within int32.
std::optional<std::int32_t> Reference(const QString& Text) {
  const std::string s = Text.toStdString();
  size_t i = s.find_first_not_of(' ');
  if (i == std::string::npos) return std::nullopt;
  bool negative = false;
  if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == s.size() || s[i] == '+' || s[i] == '-') return std::nullopt;  // from_chars takes '-'
  std::int64_t magnitude = 0;
  // Leading zeros may be many; from_chars reads them, and the magnitude check follows.
  const auto [end, error] = std::from_chars(s.data() + i, s.data() + s.size(), magnitude, base);
  if (error != std::errc() || end != s.data() + s.size()) return std::nullopt;
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const QString text = FuzzText(Data, Size);
  const std::optional<std::int32_t> value = TryStrToInt(text);
  if (value != Reference(text)) std::abort();
  if (StrToIntDef(text, 7) != value.value_or(7)) std::abort();
  try {
    if (StrToInt(text) != value) std::abort();
  } catch (const EConvertError&) {
    if (value) std::abort();
  }
  return 0;
}
