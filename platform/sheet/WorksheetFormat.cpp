// Range formats and merges of a worksheet.
#include "platform/base/Exception.h"
#include "platform/sheet/Styles.h"
#include "platform/sheet/TextSearch.h"
#include "platform/sheet/Worksheet.h"
#include "platform/sheet/WorksheetXml.h"

#include <algorithm>

// Applies Change(row, col) -> TStyleChange (Param 0 for borders: leave the cell) to every cell of Rect,
// making the cells that do not exist yet.
template <class TChange>
void TWorksheet::Restyle(const TCellRect& Rect, TChange Change) {
  CheckRect(Rect);
  const auto width = static_cast<size_t>(Rect.C2 - Rect.C1 + 1);
  std::vector<QVariant> none;
  // Cells of one row mostly share a format: remember the last derivation.
  uint32_t lastFrom = UINT32_MAX, lastTo = 0;
  uint64_t lastKey = 0;
  for (int32_t r = Rect.R1; r <= Rect.R2; ++r) {
    TRow& row = FRows.Get(r);
    auto begin = std::lower_bound(row.Cells.begin(), row.Cells.end(), Rect.C1,
                                  [](const TCell& cell, int32_t col) { return cell.Col < col; });
    auto end = std::lower_bound(begin, row.Cells.end(), Rect.C2 + 1,
                                [](const TCell& cell, int32_t col) { return cell.Col < col; });
    if (static_cast<size_t>(end - begin) != width) {
      std::vector<TCell> span(width);
      for (size_t i = 0; i < width; ++i) span[i].Col = static_cast<uint16_t>(Rect.C1 + static_cast<int32_t>(i));
      for (auto it = begin; it != end; ++it) span[static_cast<size_t>(it->Col - Rect.C1)] = *it;
      const auto at = row.Cells.erase(begin, end);
      begin = row.Cells.insert(at, span.begin(), span.end());
      end = begin + static_cast<ptrdiff_t>(width);
    }
    for (auto it = begin; it != end; ++it) {
      const TStyleChange change = Change(r, static_cast<int32_t>(it->Col));
      if (change.Kind == TStyleChange::Borders && (change.Param & 0xFF) == 0) continue;
      if (it->Style != lastFrom || change.Key() != lastKey) {
        lastFrom = it->Style;
        lastKey = change.Key();
        lastTo = FStyles->Derive(lastFrom, change);
      }
      it->Style = lastTo;
    }
  }
}

void TWorksheet::SetBorder(const TCellRect& Rect, TBorderIndex Index, TLineStyle Style) {
  constexpr int32_t Left = 1, Right = 2, Top = 4, Bottom = 8;
  const int32_t none = Style == TLineStyle::None ? 0x100 : 0;
  Restyle(Rect, [&](int32_t r, int32_t c) {
    int32_t sides = 0;
    switch (Index) {
    case TBorderIndex::EdgeLeft:
      sides = c == Rect.C1 ? Left : 0;
      break;
    case TBorderIndex::EdgeRight:
      sides = c == Rect.C2 ? Right : 0;
      break;
    case TBorderIndex::EdgeTop:
      sides = r == Rect.R1 ? Top : 0;
      break;
    case TBorderIndex::EdgeBottom:
      sides = r == Rect.R2 ? Bottom : 0;
      break;
    case TBorderIndex::InsideVertical:
      sides = (c > Rect.C1 ? Left : 0) | (c < Rect.C2 ? Right : 0);
      break;
    case TBorderIndex::InsideHorizontal:
      sides = (r > Rect.R1 ? Top : 0) | (r < Rect.R2 ? Bottom : 0);
      break;
    }
    return TStyleChange{TStyleChange::Borders, sides ? (sides | none) : 0};
  });
}

void TWorksheet::SetWrapText(const TCellRect& Rect, bool On) {
  Restyle(Rect, [&](int32_t, int32_t) { return TStyleChange{TStyleChange::Wrap, On ? 1 : 0}; });
}

void TWorksheet::SetShrinkToFit(const TCellRect& Rect, bool On) {
  Restyle(Rect, [&](int32_t, int32_t) { return TStyleChange{TStyleChange::Shrink, On ? 1 : 0}; });
}

void TWorksheet::SetBold(const TCellRect& Rect, bool On) {
  Restyle(Rect, [&](int32_t, int32_t) { return TStyleChange{TStyleChange::Bold, On ? 1 : 0}; });
}

void TWorksheet::SetHorizontalAlignment(const TCellRect& Rect, THorizontalAlignment Alignment) {
  Restyle(Rect, [&](int32_t, int32_t) { return TStyleChange{TStyleChange::HAlign, static_cast<int32_t>(Alignment)}; });
}

void TWorksheet::Merge(const TCellRect& Rect) {
  CheckRect(Rect);
  if (Rect.R1 == Rect.R2 && Rect.C1 == Rect.C2) return;
  for (const TCellRect& merge : FMerges)
    if (merge.Intersects(Rect) && !(Rect.Contains(merge.R1, merge.C1) && Rect.Contains(merge.R2, merge.C2)))
      throw Exception(Format(QStringLiteral("Нельзя объединить ячейки %s на листе «%s»: диапазон частично "
                                            "перекрывает объединённые ячейки %s."),
                             {QString::fromStdString(RectName(Rect)), FName, QString::fromStdString(RectName(merge))}));
  std::erase_if(FMerges, [&](const TCellRect& merge) { return merge.Intersects(Rect); });
  // Only the top-left value survives a merge; the others go without a question.
  for (int32_t r = Rect.R1; r <= Rect.R2; ++r) {
    TRow* row = FRows.Find(r);
    if (!row) continue;
    for (TCell& cell : row->Cells)
      if (cell.Col >= Rect.C1 && cell.Col <= Rect.C2 && !(r == Rect.R1 && cell.Col == Rect.C1))
        cell.Type = TCellType::Empty;
  }
  FMerges.push_back(Rect);
}
