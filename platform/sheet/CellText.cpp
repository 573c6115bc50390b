#include "platform/sheet/CellText.h"

#include <array>
#include <cstring>

namespace {

constexpr char Hex[] = "0123456789ABCDEF";

void AppendEscape(std::string& Out, uint32_t Code) {
  const char escape[] = {'_', 'x', Hex[(Code >> 12) & 15], Hex[(Code >> 8) & 15], Hex[(Code >> 4) & 15], Hex[Code & 15],
                         '_'};
  Out.append(escape, sizeof escape);
}

// UTF-8 of one code point; surrogates get the generalised form, as the engine keeps them.
void AppendCodePoint(std::string& Out, uint32_t Code) {
  if (Code < 0x80) {
    Out.push_back(static_cast<char>(Code));
  } else if (Code < 0x800) {
    Out.push_back(static_cast<char>(0xC0 | (Code >> 6)));
    Out.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
  } else if (Code < 0x10000) {
    Out.push_back(static_cast<char>(0xE0 | (Code >> 12)));
    Out.push_back(static_cast<char>(0x80 | ((Code >> 6) & 0x3F)));
    Out.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
  } else {
    Out.push_back(static_cast<char>(0xF0 | (Code >> 18)));
    Out.push_back(static_cast<char>(0x80 | ((Code >> 12) & 0x3F)));
    Out.push_back(static_cast<char>(0x80 | ((Code >> 6) & 0x3F)));
    Out.push_back(static_cast<char>(0x80 | (Code & 0x3F)));
  }
}

int HexValue(char Ch) {
  if (Ch >= '0' && Ch <= '9') return Ch - '0';
  if (Ch >= 'A' && Ch <= 'F') return Ch - 'A' + 10;
  if (Ch >= 'a' && Ch <= 'f') return Ch - 'a' + 10;
  return -1;
}

// The code of an escape _xHHHH_ at Text[At], or -1.
int32_t EscapeAt(std::string_view Text, size_t At) {
  if (At + 7 > Text.size() || Text[At] != '_' || Text[At + 1] != 'x' || Text[At + 6] != '_') return -1;
  int32_t code = 0;
  for (size_t i = At + 2; i < At + 6; ++i) {
    const int digit = HexValue(Text[i]);
    if (digit < 0) return -1;
    code = code * 16 + digit;
  }
  return code;
}

// Bytes that may start something the escape has to change; everything else is copied as it is.
constexpr std::array<bool, 256> MakeSpecial() {
  std::array<bool, 256> special{};
  for (int ch = 0; ch < 0x20; ++ch) special[static_cast<size_t>(ch)] = ch != '\t' && ch != '\n';
  for (const int ch : {int{'&'}, int{'<'}, int{'>'}, int{'_'}, 0xED, 0xEF}) special[static_cast<size_t>(ch)] = true;
  return special;
}
constexpr std::array<bool, 256> Special = MakeSpecial();

}  // namespace

QByteArray StoredText(const QString& Text) {
  // Most texts hold no surrogate at all: Qt's own conversion is the fast road for them.
  const char16_t* units = reinterpret_cast<const char16_t*>(Text.utf16());
  const auto size = static_cast<size_t>(Text.size());
  bool surrogates = false;
  for (size_t i = 0; i < size; ++i) surrogates |= static_cast<char16_t>(units[i] - 0xD800u) < 0x800u;
  if (!surrogates) return Text.toUtf8();
  std::string out;
  out.reserve(size * 3);
  for (size_t i = 0; i < size; ++i) {
    uint32_t code = units[i];
    if (QChar::isHighSurrogate(code) && i + 1 < size && QChar::isLowSurrogate(units[i + 1]))
      code = QChar::surrogateToUcs4(static_cast<char16_t>(code), units[++i]);
    AppendCodePoint(out, code);
  }
  return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

QString TextFromStored(std::string_view Stored) {
  // Generalised surrogates start ED A0..ED BF; without them the text is plain UTF-8.
  bool surrogates = false;
  for (size_t i = 0; i + 1 < Stored.size(); ++i)
    if (static_cast<unsigned char>(Stored[i]) == 0xED && static_cast<unsigned char>(Stored[i + 1]) >= 0xA0) {
      surrogates = true;
      break;
    }
  if (!surrogates) return QString::fromUtf8(Stored.data(), static_cast<qsizetype>(Stored.size()));
  QString out;
  out.reserve(static_cast<qsizetype>(Stored.size()));
  size_t i = 0;
  while (i < Stored.size()) {
    const size_t start = i;
    while (i < Stored.size() && !(static_cast<unsigned char>(Stored[i]) == 0xED && i + 2 < Stored.size() &&
                                  static_cast<unsigned char>(Stored[i + 1]) >= 0xA0))
      ++i;
    out += QString::fromUtf8(Stored.data() + start, static_cast<qsizetype>(i - start));
    if (i >= Stored.size()) break;
    const uint32_t code = 0xD000u | ((static_cast<unsigned char>(Stored[i + 1]) & 0x3Fu) << 6) |
                          (static_cast<unsigned char>(Stored[i + 2]) & 0x3Fu);
    out += QChar(static_cast<char16_t>(code));
    i += 3;
  }
  return out;
}

void AppendCellText(std::string& Out, std::string_view Stored) {
  size_t start = 0;
  const size_t size = Stored.size();
  for (size_t i = 0; i < size; ++i) {
    const auto ch = static_cast<unsigned char>(Stored[i]);
    if (!Special[ch]) continue;
    const char* entity = nullptr;
    int32_t escape = -1;
    size_t width = 1;
    switch (ch) {
    case '&':
      entity = "&amp;";
      break;
    case '<':
      entity = "&lt;";
      break;
    case '>':
      entity = "&gt;";
      break;
    case '\r':
      entity = "&#13;";
      break;
    case '_':
      if (EscapeAt(Stored, i) < 0) continue;
      escape = '_';  // the text's own _xHHHH_: its underscore is escaped
      break;
    case 0xED:  // a generalised surrogate
      if (i + 2 >= size || static_cast<unsigned char>(Stored[i + 1]) < 0xA0) continue;
      escape = static_cast<int32_t>(0xD000u | ((static_cast<unsigned char>(Stored[i + 1]) & 0x3Fu) << 6) |
                                    (static_cast<unsigned char>(Stored[i + 2]) & 0x3Fu));
      width = 3;
      break;
    case 0xEF:  // U+FFFE and U+FFFF are no XML characters
      if (i + 2 >= size || static_cast<unsigned char>(Stored[i + 1]) != 0xBF ||
          static_cast<unsigned char>(Stored[i + 2]) < 0xBE)
        continue;
      escape = 0xFFFE + (static_cast<unsigned char>(Stored[i + 2]) - 0xBE);
      width = 3;
      break;
    default:
      escape = ch;
      break;  // a control character
    }
    Out.append(Stored.data() + start, i - start);
    if (entity)
      Out.append(entity);
    else
      AppendEscape(Out, static_cast<uint32_t>(escape));
    i += width - 1;
    start = i + 1;
  }
  Out.append(Stored.data() + start, size - start);
}

std::string DecodeCellText(std::string_view Text) {
  if (Text.find("_x") == std::string_view::npos) return std::string(Text);
  std::string out;
  out.reserve(Text.size());
  for (size_t i = 0; i < Text.size(); ++i) {
    const int32_t code = Text[i] == '_' ? EscapeAt(Text, i) : -1;
    if (code < 0) {
      out.push_back(Text[i]);
      continue;
    }
    AppendCodePoint(out, static_cast<uint32_t>(code));
    i += 6;
  }
  return out;
}
