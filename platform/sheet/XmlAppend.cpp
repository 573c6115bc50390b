#include "platform/sheet/XmlAppend.h"

#include <charconv>
#include <cmath>

void AppendXmlEscaped(std::string& Out, std::string_view Text) {
  size_t start = 0;
  for (size_t i = 0; i < Text.size(); ++i) {
    const unsigned char ch = static_cast<unsigned char>(Text[i]);
    const char* rep = nullptr;
    switch (ch) {
    case '&':
      rep = "&amp;";
      break;
    case '<':
      rep = "&lt;";
      break;
    case '>':
      rep = "&gt;";
      break;
    case '"':
      rep = "&quot;";
      break;
    // Readers turn raw white space in an attribute into blanks; references keep it.
    case '\t':
      rep = "&#9;";
      break;
    case '\n':
      rep = "&#10;";
      break;
    case '\r':
      rep = "&#13;";
      break;
    default:
      if (ch < 0x20) rep = "";  // no XML character
    }
    if (rep) {
      Out.append(Text.data() + start, i - start);
      Out.append(rep);
      start = i + 1;
    }
  }
  Out.append(Text.data() + start, Text.size() - start);
}

void AppendNumber(std::string& Out, double Value) {
  if (!std::isfinite(Value)) Value = 0;
  // Whole numbers as integers: "-9000000000", not the shortest form "-9e+09", which readers take for a float.
  if (Value == std::trunc(Value) && std::fabs(Value) < 1e15) {
    AppendInt(Out, static_cast<int64_t>(Value));
    return;
  }
  char buf[32];
  const auto res = std::to_chars(buf, buf + sizeof buf, Value);
  Out.append(buf, res.ptr);
}

void AppendInt(std::string& Out, int64_t Value) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, Value);
  Out.append(buf, res.ptr);
}

bool NeedsSpacePreserve(std::string_view Text) {
  if (Text.empty()) return false;
  auto blank = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r'; };
  return blank(Text.front()) || blank(Text.back());
}
