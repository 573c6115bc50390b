#include "platform/sheet/CellRef.h"

#include <algorithm>
#include <charconv>

void AppendColumnName(std::string& Out, int32_t Col) {
  char letters[4];
  int n = 0;
  while (Col > 0 && n < 4) {
    const int32_t rem = (Col - 1) % 26;
    letters[n++] = static_cast<char>('A' + rem);
    Col = (Col - 1) / 26;
  }
  while (n > 0) Out.push_back(letters[--n]);
}

std::string ColumnName(int32_t Col) {
  std::string out;
  AppendColumnName(out, Col);
  return out;
}

std::string CellName(int32_t Row, int32_t Col) {
  std::string out;
  AppendColumnName(out, Col);
  out += std::to_string(Row);
  return out;
}

std::string RectName(const TCellRect& Rect) {
  std::string out = CellName(Rect.R1, Rect.C1);
  if (Rect.R1 != Rect.R2 || Rect.C1 != Rect.C2) {
    out.push_back(':');
    out += CellName(Rect.R2, Rect.C2);
  }
  return out;
}

bool ParseCellName(std::string_view Text, int32_t& Row, int32_t& Col) {
  size_t i = 0;
  if (i < Text.size() && Text[i] == '$') ++i;
  int32_t col = 0;
  size_t letters = 0;
  while (i < Text.size() && letters < 4) {
    char ch = Text[i];
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    if (ch < 'A' || ch > 'Z') break;
    col = col * 26 + (ch - 'A' + 1);
    ++i;
    ++letters;
  }
  if (letters == 0 || col > MaxSheetColumn) return false;
  if (i < Text.size() && Text[i] == '$') ++i;
  int32_t row = 0;
  const auto [end, ec] = std::from_chars(Text.data() + i, Text.data() + Text.size(), row);
  if (ec != std::errc() || end != Text.data() + Text.size() || row < 1 || row > MaxSheetRow) return false;
  Row = row;
  Col = col;
  return true;
}

bool ParseRectName(std::string_view Text, TCellRect& Rect) {
  const size_t colon = Text.find(':');
  int32_t r1 = 0, c1 = 0, r2 = 0, c2 = 0;
  if (colon == std::string_view::npos) {
    if (!ParseCellName(Text, r1, c1)) return false;
    Rect = {r1, c1, r1, c1};
    return true;
  }
  if (!ParseCellName(Text.substr(0, colon), r1, c1) || !ParseCellName(Text.substr(colon + 1), r2, c2)) return false;
  Rect = {std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
  return true;
}
