#include "platform/sheet/Range.h"

#include "platform/base/Exception.h"
#include "platform/sheet/Worksheet.h"

#include <algorithm>

TRange::TRange(std::shared_ptr<TWorksheet> Sheet, const TCellRect& Rect) : FSheet(std::move(Sheet)), FRect(Rect) {}

TRange TRange::Item(int32_t Row, int32_t Col) const {
  const int64_t r = int64_t{FRect.R1} + Row - 1, c = int64_t{FRect.C1} + Col - 1;
  if (r < 1 || c < 1 || r > MaxSheetRow || c > MaxSheetColumn)
    throw Exception(Format(QStringLiteral("Ячейка вне листа «%s»: строка %s, столбец %s."),
                           {FSheet->Name(), QString::number(r), QString::number(c)}));
  const auto row = static_cast<int32_t>(r), col = static_cast<int32_t>(c);
  return TRange(FSheet, {row, col, row, col});
}

TRange TRange::Span(const TRange& Other) const {
  const TCellRect& o = Other.FRect;
  return TRange(
      FSheet, {std::min(FRect.R1, o.R1), std::min(FRect.C1, o.C1), std::max(FRect.R2, o.R2), std::max(FRect.C2, o.C2)});
}

std::optional<TRange> TRange::Find(const QString& What) const {
  const auto found = FSheet->Find(What, FRect);
  if (!found) return std::nullopt;
  return TRange(FSheet, {found->Row, found->Col, found->Row, found->Col});
}

void TRange::SetValue(const QVariant& Value) const {
  for (int32_t r = FRect.R1; r <= FRect.R2; ++r)
    for (int32_t c = FRect.C1; c <= FRect.C2; ++c) FSheet->SetValue(r, c, Value);
}

void TRange::SetValues(const QVariant* Values, size_t Count) const {
  const auto width = static_cast<size_t>(FRect.C2 - FRect.C1 + 1);
  size_t next = 0;
  for (int32_t r = FRect.R1; r <= FRect.R2 && next < Count; ++r) {
    const size_t count = std::min(width, Count - next);
    FSheet->SetRowValues(r, FRect.C1, Values + next, count);
    next += count;
  }
}

void TRange::Select() const { FSheet->Select(FRect); }

void TRange::Insert() const {
  if (FRect.C1 != 1 || FRect.C2 != MaxSheetColumn)
    throw Exception(Format(QStringLiteral("Вставить можно только целые строки листа «%s»."), {FSheet->Name()}));
  for (int32_t r = FRect.R1; r <= FRect.R2; ++r) FSheet->InsertRow(FRect.R1);
  FSheet->Select(FRect);  // the selection stays on the new rows
}

void TRange::Merge() const { FSheet->Merge(FRect); }
void TRange::SetBold(bool On) const { FSheet->SetBold(FRect, On); }
void TRange::SetHorizontalAlignment(THorizontalAlignment Alignment) const {
  FSheet->SetHorizontalAlignment(FRect, Alignment);
}
void TRange::SetWrapText(bool On) const { FSheet->SetWrapText(FRect, On); }
void TRange::SetShrinkToFit(bool On) const { FSheet->SetShrinkToFit(FRect, On); }
void TRange::SetBorderLineStyle(TBorderIndex Index, TLineStyle Style) const { FSheet->SetBorder(FRect, Index, Style); }
