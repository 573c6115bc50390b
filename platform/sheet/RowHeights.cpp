#include "platform/sheet/RowHeights.h"

#include "platform/sheet/SharedStrings.h"
#include "platform/sheet/Styles.h"

#include <algorithm>
#include <cmath>
#include <pugixml.hpp>

namespace {

// A cell's text starts and ends a little inside its borders: about five pixels of a seven-pixel digit.
constexpr double CellPadding = 0.75;
constexpr double BoldWidening = 1.1;
constexpr double MaxRowHeight = 409;  // points, the most a row can be

}  // namespace

TRowHeights::TRowHeights(const TStyles& Styles, const TSharedStrings& Strings, const pugi::xml_node& Worksheet,
                         const std::vector<TCellRect>& Merges)
    : FStyles(Styles), FStrings(Strings), FNormalSize(Styles.NormalFontSize()) {
  const pugi::xml_node format = Worksheet.child("sheetFormatPr");
  if (pugi::xml_attribute width = format.attribute("defaultColWidth"); width && width.as_double() > 0)
    FDefaultWidth = width.as_double();
  else if (pugi::xml_attribute base = format.attribute("baseColWidth"); base && base.as_double() > 0)
    FDefaultWidth = base.as_double() + 0.43;
  FDefaultHeight = FNormalSize * 1.36;
  if (pugi::xml_attribute height = format.attribute("defaultRowHeight"); height && height.as_double() > 0)
    FDefaultHeight = height.as_double();
  FLineRatio = std::clamp(FDefaultHeight / FNormalSize, 1.2, 1.6);

  for (pugi::xml_node col : Worksheet.child("cols").children("col")) {
    const int32_t from = std::max(1, col.attribute("min").as_int()),
                  to = std::min(MaxSheetColumn, col.attribute("max").as_int());
    if (from > to) continue;
    const double width = col.attribute("hidden").as_bool() ? 0 : col.attribute("width").as_double(FDefaultWidth);
    if (static_cast<int32_t>(FColWidths.size()) <= to) FColWidths.resize(static_cast<size_t>(to) + 1, FDefaultWidth);
    std::fill(FColWidths.begin() + from, FColWidths.begin() + to + 1, width);
  }

  // Widths summed from column 1, so that a merge's width costs the same however many columns it spans.
  std::vector<double> before(FColWidths.size() + 1, 0);
  for (size_t c = 1; c < FColWidths.size(); ++c) before[c + 1] = before[c] + FColWidths[c];
  const auto upTo = [&](int32_t Col) {  // the widths of columns 1 .. Col - 1
    const auto n = static_cast<int32_t>(FColWidths.size());
    if (Col <= n) return before[static_cast<size_t>(std::max(Col, 1))];
    return before.back() + (Col - std::max(n, 1)) * FDefaultWidth;
  };
  for (const TCellRect& merge : Merges)
    FMergeStarts.push_back({merge.R1, merge.C1, merge.R1 == merge.R2 ? upTo(merge.C2 + 1) - upTo(merge.C1) : -1});
  std::sort(FMergeStarts.begin(), FMergeStarts.end(),
            [](const TMergeStart& a, const TMergeStart& b) { return a.Row != b.Row ? a.Row < b.Row : a.Col < b.Col; });
}

double TRowHeights::Width(int32_t Row, int32_t Col) {
  while (FMergeAt < FMergeStarts.size() && FMergeStarts[FMergeAt].Row < Row) ++FMergeAt;
  for (size_t i = FMergeAt; i < FMergeStarts.size() && FMergeStarts[i].Row == Row; ++i)
    if (FMergeStarts[i].Col == Col) return FMergeStarts[i].Width;
  return Col < static_cast<int32_t>(FColWidths.size()) ? FColWidths[static_cast<size_t>(Col)] : FDefaultWidth;
}

std::optional<double> TRowHeights::Needed(const TRow& Row, double Current) {
  double needed = 0;
  for (const TCell& cell : Row.Cells) {
    if (cell.Type != TCellType::String) continue;
    const TTextLayout layout = FStyles.TextLayout(cell.Style);
    if (!layout.Wrap) continue;
    const double width = Width(Row.Number, cell.Col);
    if (width <= 0) continue;  // hidden, or part of a merge over several rows
    const double charWidth = layout.FontSize / FNormalSize * (layout.Bold ? BoldWidening : 1.0);
    const int lines = Lines(FStrings.Text(cell.Index), std::max(1.0, width - CellPadding), charWidth);
    needed = std::max(needed, lines * layout.FontSize * FLineRatio);
  }
  needed = std::min(MaxRowHeight, std::round(needed * 100) / 100);
  if (needed <= Current + 0.01) return std::nullopt;
  return needed;
}

int TRowHeights::Lines(std::string_view Text, double Width, double CharWidth) {
  int lines = 1;
  double used = 0;  // the current line's width
  double word = 0;  // the width of the word being read
  bool lineHasWord = false;
  // A word that is wider than a whole line is broken where the line ends.
  auto place = [&] {
    if (word <= 0) return;
    if (lineHasWord && used + CharWidth + word <= Width) {
      used += CharWidth + word;
    } else {
      if (lineHasWord) ++lines;
      const double extra = std::ceil(word / Width) - 1;
      lines += static_cast<int>(extra);
      used = word - extra * Width;
      lineHasWord = true;
    }
    word = 0;
  };
  for (const char ch : Text) {
    if ((static_cast<unsigned char>(ch) & 0xC0) == 0x80) continue;  // inside a UTF-8 sequence
    if (ch == ' ') {
      place();
    } else if (ch == '\n') {
      place();
      ++lines;
      used = 0;
      lineHasWord = false;
    } else if (ch != '\r') {
      word += CharWidth;
    }
  }
  place();
  return lines;
}
