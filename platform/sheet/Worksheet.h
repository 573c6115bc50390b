#pragma once
// One worksheet of a loaded workbook: its cells in memory, every other part of the sheet's XML kept as it was.
//
// Rows live in a gap buffer (TSheetRowStore), so writing and inserting around a moving position costs
// O(1) amortised per row; inserting a row shifts the merged ranges at once, and the workbook's defined
// names (print area, print titles) and the formulas of every sheet when it is saved.
//
//   auto sheet = book->ActiveSheet();
//   if (auto found = sheet->Find(u"#body#"_s)) sheet->SetValue(found->Row, found->Col, QVariant());
#include "platform/sheet/CellRef.h"
#include "platform/sheet/SheetFormat.h"
#include "platform/sheet/SheetRowStore.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class TStyles;
class TSharedStrings;
struct TTextSearch;
namespace pugi {
class xml_node;
}

// The longest text a cell holds, in UTF-16 code units; readers cut or refuse longer ones.
constexpr qsizetype MaxCellTextLength = 32767;

struct TCellPos {
  int32_t Row = 0;
  int32_t Col = 0;
};

class TWorksheet {
public:
  // Parses the sheet part Xml; Styles and Strings are the workbook's, shared with its other sheets. Fails,
  // naming the sheet, on a part that a reader would have to repair: rows or cells out of order, formats or
  // shared strings that do not exist, invalid or overlapping columns and merges, an invalid dimension.
  TWorksheet(QString Name, std::shared_ptr<TStyles> Styles, std::shared_ptr<TSharedStrings> Strings,
             const std::string& Xml);
  ~TWorksheet();
  TWorksheet(const TWorksheet&) = delete;
  TWorksheet& operator=(const TWorksheet&) = delete;

  const QString& Name() const { return FName; }

  // The value of a cell: QString for text, double for a number (qint64 when it is whole), QDate/QDateTime
  // for a number under a date format, bool, or an invalid QVariant for an empty cell. A formula or error cell
  // gives its cached value text.
  QVariant Value(int32_t Row, int32_t Col) const;
  // Stores Value: text, any number, bool, QDate/QDateTime/QTime (as a date serial under a date format);
  // an invalid QVariant or an empty text clears the value and keeps the cell's format. A text longer than
  // MaxCellTextLength fails, naming the cell, and changes nothing.
  void SetValue(int32_t Row, int32_t Col, const QVariant& Value);
  // Stores Count values into Row from column Col on, in one pass over the row.
  void SetRowValues(int32_t Row, int32_t Col, const QVariant* Values, size_t Count);

  // The first text cell whose text contains What, compared without regard to case. Cells are visited by
  // rows, left to right, starting with the cell after the top-left cell of Within (the whole sheet when
  // not given); the top-left cell is visited last, as a spreadsheet's Find without a start cell does.
  // Number, boolean and formula cells are not searched. An empty What finds nothing.
  std::optional<TCellPos> Find(const QString& What, const std::optional<TCellRect>& Within = std::nullopt);

  // A blank row now lies at Row: every row from Row down moves one down, with its cells, height and
  // format, and so do the merged ranges (a range spanning Row grows), the dimension and, at save time,
  // the defined names that point into this sheet. The new row takes the format of the row above it
  // (row style and height, and each cell's style, without values), as a spreadsheet's insert does.
  void InsertRow(int32_t Row);

  void SetBorder(const TCellRect& Rect, TBorderIndex Index, TLineStyle Style);
  void SetWrapText(const TCellRect& Rect, bool On);
  void SetShrinkToFit(const TCellRect& Rect, bool On);
  void SetBold(const TCellRect& Rect, bool On);
  void SetHorizontalAlignment(const TCellRect& Rect, THorizontalAlignment Alignment);
  // Merges Rect: the top-left cell keeps its value, every other cell of it loses its value (not its format).
  // Merged ranges lying wholly inside Rect are replaced; a partial overlap fails. A one-cell Rect does nothing.
  void Merge(const TCellRect& Rect);
  const std::vector<TCellRect>& MergedRanges() const { return FMerges; }

  // The style index of a cell (0 for a cell that does not exist).
  uint32_t CellStyle(int32_t Row, int32_t Col) const;
  // The row's height in points, when the row sets one.
  std::optional<double> RowHeight(int32_t Row) const;
  // The used area: every row and column that holds a cell; A1 alone for an empty sheet.
  TCellRect Dimension() const;

  // The sheet's selection, set by selecting a range; nothing before the first selection.
  const std::optional<TCellRect>& Selection() const { return FSelection; }
  void Select(const TCellRect& Rect) { FSelection = Rect; }

  // Row insert positions since the last call, in order; the workbook replays them over its defined names
  // and every sheet's formulas.
  std::vector<int32_t> TakeInsertLog();
  // Replays row inserts made on Sheet (this one or another) over the references of this sheet's formulas:
  // cell formulas, array formula ranges, conditional formats' and validations' formulas.
  void ShiftFormulas(const QString& Sheet, const std::vector<int32_t>& Rows);
  // True when a cell, a conditional format or a validation holds a formula.
  bool HasFormulas() const;

  // The sheet part's XML with the current cells, merged ranges and dimension, handed to Put in pieces of
  // some hundred kilobytes, in order (Put takes a piece's bytes and leaves the string empty), so that a big
  // sheet's XML never stands whole in memory. Rows that hold wrapped text and have no custom height get the
  // height their lines need (see TRowHeights), not marked custom.
  void Serialize(const std::function<void(std::string& Piece)>& Put);

private:
  struct TXmlParts;
  void ParseSheetData(const pugi::xml_node& SheetData);
  TCell& CellAt(int32_t Row, int32_t Col);
  const TCell* FindCell(int32_t Row, int32_t Col) const;
  void StoreValue(int32_t Row, TCell& Cell, const QVariant& Value);
  template <class TChange>
  void Restyle(const TCellRect& Rect, TChange Change);
  void NoteText(int32_t Row, uint32_t StringIndex);
  bool CellMatches(const TCell& Cell, TTextSearch& Search) const;
  void CheckRect(const TCellRect& Rect) const;
  // A damaged part: fails naming the sheet and what is wrong (the workbook adds the file).
  [[noreturn]] void Damaged(const QString& What) const;
  void CheckColumns(const pugi::xml_node& Cols) const;

  QString FName;
  std::shared_ptr<TStyles> FStyles;
  std::shared_ptr<TSharedStrings> FStrings;
  std::unique_ptr<TXmlParts> FXml;
  mutable TSheetRowStore FRows;
  std::vector<TCellRect> FMerges;
  std::optional<TCellRect> FSelection;
  std::vector<int32_t> FInsertLog;
  // Searches remember the first row that can hold their text, so that repeated searches down a long sheet
  // (clearing each marker found) stay linear.
  std::unordered_map<std::u16string, std::unique_ptr<TTextSearch>> FSearches;
};
