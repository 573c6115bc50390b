#pragma once
// A handle on a rectangle of one worksheet, with the calls the automation layer makes on a range.
// It is fetched anew for every call and holds no state of its own beyond the rectangle.
#include "platform/sheet/CellRef.h"
#include "platform/sheet/SheetFormat.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

class TWorksheet;

class TRange {
public:
  TRange(std::shared_ptr<TWorksheet> Sheet, const TCellRect& Rect);

  const TCellRect& Rect() const { return FRect; }
  int32_t Row() const { return FRect.R1; }
  int32_t Column() const { return FRect.C1; }
  TWorksheet& Sheet() const { return *FSheet; }

  // The cell at Row, Col counted from this range's top-left cell as 1, 1 (0 is the row or column
  // before it); fails when that cell lies outside the sheet.
  TRange Item(int32_t Row, int32_t Col) const;
  // The smallest rectangle holding both ranges (their corners in any order).
  TRange Span(const TRange& Other) const;

  // The first cell in the range holding What (the rule is TWorksheet::Find's), or nothing.
  std::optional<TRange> Find(const QString& What) const;

  // Every cell of the range gets Value.
  void SetValue(const QVariant& Value) const;
  // The values, row by row, one per cell; cells beyond the values keep theirs.
  void SetValues(const QVariant* Values, size_t Count) const;
  void Select() const;
  // Inserts blank rows in place of the range's rows (the range must be whole rows).
  void Insert() const;
  void Merge() const;
  void SetBold(bool On) const;
  void SetHorizontalAlignment(THorizontalAlignment Alignment) const;
  void SetWrapText(bool On) const;
  void SetShrinkToFit(bool On) const;
  void SetBorderLineStyle(TBorderIndex Index, TLineStyle Style) const;

private:
  std::shared_ptr<TWorksheet> FSheet;
  TCellRect FRect;
};
