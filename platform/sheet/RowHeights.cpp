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
    const bool hidden = col.attribute("hidden").as_bool();
    const double width = hidden ? 0 : col.attribute("width").as_double(FDefaultWidth);
    // A last <col> often runs to the sheet's end; past the used columns it only repeats its width.
    const int32_t stored = std::min(to, from + 256);
    if (static_cast<int32_t>(FColWidths.size()) <= stored) FColWidths.resize(static_cast<size_t>(stored) + 1, -1);
    for (int32_t c = from; c <= stored; ++c) FColWidths[static_cast<size_t>(c)] = width;
    if (stored < to) FDefaultWidth = width;
  }
  for (double& width : FColWidths)
    if (width < 0) width = FDefaultWidth;

  for (const TCellRect& merge : Merges) {
    double width = -1;
    if (merge.R1 == merge.R2) {
      width = 0;
      for (int32_t c = merge.C1; c <= merge.C2; ++c)
        width += c < static_cast<int32_t>(FColWidths.size()) ? FColWidths[static_cast<size_t>(c)] : FDefaultWidth;
    }
    FMergeStarts.push_back({merge.R1, merge.C1, width});
  }
  std::sort(FMergeStarts.begin(), FMergeStarts.end(), [](const TMergeStart& a, const TMergeStart& b) {
    return a.Row != b.Row ? a.Row < b.Row : a.Col < b.Col;
  });
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
  double used = 0;     // the current line's width
  double word = 0;     // the width of the word being read
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
