#pragma once
// A1-style references: column letters, cell and range texts, as the package parts spell them.
#include <cstdint>
#include <string>
#include <string_view>

constexpr int32_t MaxSheetRow = 1048576;
constexpr int32_t MaxSheetColumn = 16384;

// A rectangle of cells, 1-based, with R1 <= R2 and C1 <= C2.
struct TCellRect {
  int32_t R1 = 0, C1 = 0, R2 = 0, C2 = 0;
  bool Contains(int32_t Row, int32_t Col) const { return Row >= R1 && Row <= R2 && Col >= C1 && Col <= C2; }
  bool Intersects(const TCellRect& Other) const {
    return R1 <= Other.R2 && Other.R1 <= R2 && C1 <= Other.C2 && Other.C1 <= C2;
  }
  bool operator==(const TCellRect&) const = default;
};

// Appends the column letters of Col (1 = "A", 27 = "AA") to Out.
void AppendColumnName(std::string& Out, int32_t Col);
std::string ColumnName(int32_t Col);
// "B5"; "B5:U5" for a rectangle (a single cell gives "B5").
std::string CellName(int32_t Row, int32_t Col);
std::string RectName(const TCellRect& Rect);

// Parses "B5" (dollar signs allowed); false when the text is not a cell reference inside the sheet.
bool ParseCellName(std::string_view Text, int32_t& Row, int32_t& Col);
// Parses "B5:U5" or "B5"; the corners come back ordered.
bool ParseRectName(std::string_view Text, TCellRect& Rect);
