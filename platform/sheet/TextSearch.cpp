#include "platform/sheet/TextSearch.h"

#include "platform/sheet/SharedStrings.h"

#include <algorithm>

TTextSearch::TTextSearch(const QString& What) : Folded(What.toCaseFolded()) {
  Ascii = std::all_of(What.begin(), What.end(), [](QChar ch) { return ch.unicode() < 0x80; });
  if (Ascii) AsciiLower = What.toLower().toStdString();
}

static bool ContainsAscii(const std::string& Text, const std::string& Lower) {
  auto lower = [](char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch; };
  auto it =
      std::search(Text.begin(), Text.end(), Lower.begin(), Lower.end(), [&](char a, char b) { return lower(a) == b; });
  return it != Text.end();
}

bool TTextSearch::Matches(const TSharedStrings& Strings, uint32_t Index) {
  if (Index >= Known.size()) Known.resize(Strings.Count(), -1);
  int8_t& known = Known[Index];
  if (known < 0) {
    const std::string& text = Strings.Text(Index);
    const bool yes = Ascii ? ContainsAscii(text, AsciiLower) : QString::fromUtf8(text).toCaseFolded().contains(Folded);
    known = yes ? 1 : 0;
  }
  return known == 1;
}
