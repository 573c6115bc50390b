#pragma once
// One text being searched for, compared without regard to case, with what is known about it: which
// shared strings contain it, and the first row that can hold it (rows above hold no match but the top-left
// cell, which a search visits last).
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

class TSharedStrings;

struct TTextSearch {
  explicit TTextSearch(const QString& What);
  // True when shared string Index contains the text.
  bool Matches(const TSharedStrings& Strings, uint32_t Index);

  QString Folded;
  std::string AsciiLower;  // set when the text is ASCII: then the UTF-8 bytes can be compared directly
  bool Ascii = false;
  std::vector<int8_t> Known;  // per shared string: -1 unknown, 0 no, 1 yes
  int32_t CleanAbove = 1;
};
