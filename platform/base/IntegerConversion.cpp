#include "platform/base/IntegerConversion.h"

#include "platform/base/Exception.h"

#include <algorithm>
#include <charconv>

std::optional<std::int32_t> TryStrToInt(const QString& Text) {
  qsizetype i = 0;
  const qsizetype n = Text.size();
  while (i < n && Text[i] == u' ') ++i;
  bool negative = false;
  if (i < n && (Text[i] == u'+' || Text[i] == u'-')) {
    negative = Text[i] == u'-';
    ++i;
  }
  int base = 10;
  if (i < n && Text[i] == u'$') {
    base = 16;
    ++i;
  } else if (i < n && (Text[i] == u'x' || Text[i] == u'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < n && Text[i] == u'0' && (Text[i + 1] == u'x' || Text[i + 1] == u'X')) {
    base = 16;
    i += 2;
  }
  if (i == n) return std::nullopt;
  // Magnitude limit: 2^31 for a negative value, 2^31 - 1 otherwise.
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t value = 0;
  for (; i < n; ++i) {
    const char16_t c = Text[i].unicode();
    int digit;
    if (c >= u'0' && c <= u'9')
      digit = c - u'0';
    else if (base == 16 && c >= u'a' && c <= u'f')
      digit = c - u'a' + 10;
    else if (base == 16 && c >= u'A' && c <= u'F')
      digit = c - u'A' + 10;
    else
      return std::nullopt;
    value = value * base + digit;
    if (value > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

std::int32_t StrToInt(const QString& Text) {
  if (const auto value = TryStrToInt(Text)) return *value;
  throw EConvertError(Format(QStringLiteral("''%s'' is not a valid integer value"), {Text}));
}

std::int32_t StrToIntDef(const QString& Text, std::int32_t Default) { return TryStrToInt(Text).value_or(Default); }

QString IntToStr(std::int64_t Value) {
  char digits[24];
  const char* end = std::to_chars(digits, digits + sizeof digits, Value).ptr;
  QString text(end - digits, Qt::Uninitialized);
  std::copy(static_cast<const char*>(digits), end, reinterpret_cast<char16_t*>(text.data()));
  return text;
}
