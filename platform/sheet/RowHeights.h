#pragma once
// Heights for rows that hold wrapped text, estimated when a sheet is saved. A spreadsheet application fits
// such a row when the cells are written through it; a file carries only the heights written into it, and
// readers that do not re-fit on opening (LibreOffice, printing) would run the wrapped lines into the next
// row. The lines are counted by breaking each text at spaces and line breaks into its cell's width (the
// sheet's column widths; a one-row merged range's whole width for the cell that begins it), taking every
// character as wide as a digit of the Normal font scaled to the cell's font, bold a tenth wider: on the
// generous side, so that a line too many is rather given than one cut off.
#include "platform/sheet/CellRef.h"
#include "platform/sheet/SheetRowStore.h"

#include <optional>
#include <string_view>
#include <vector>

class TStyles;
class TSharedStrings;
namespace pugi {
class xml_node;
}

class TRowHeights {
public:
  // Worksheet is the sheet part's root (its <cols> and <sheetFormatPr> are read); Merges its merged ranges.
  TRowHeights(const TStyles& Styles, const TSharedStrings& Strings, const pugi::xml_node& Worksheet,
              const std::vector<TCellRect>& Merges);

  // The sheet's default row height in points.
  double DefaultHeight() const { return FDefaultHeight; }
  // The height in points Row's wrapped texts need when it is more than Current (the row's height now);
  // nothing otherwise. Rows are to be asked about in ascending order.
  std::optional<double> Needed(const TRow& Row, double Current);

  // Lines Text takes in Width characters, a character being CharWidth wide (both in digit widths).
  static int Lines(std::string_view Text, double Width, double CharWidth);

private:
  double Width(int32_t Row, int32_t Col);

  const TStyles& FStyles;
  const TSharedStrings& FStrings;
  std::vector<double> FColWidths;  // by column number; columns past the end have FDefaultWidth
  double FDefaultWidth = 8.43;
  double FDefaultHeight = 15;
  double FLineRatio = 1.32;  // line height / font size
  double FNormalSize = 11;
  struct TMergeStart {
    int32_t Row, Col;
    double Width;  // characters; < 0: the range spans rows, its text is not fitted
  };
  std::vector<TMergeStart> FMergeStarts;  // by row, then column
  size_t FMergeAt = 0;
};
