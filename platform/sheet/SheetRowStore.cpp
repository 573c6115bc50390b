#include "platform/sheet/SheetRowStore.h"

#include <algorithm>

void TSheetRowStore::MoveGap(int32_t Row) {
  while (!FFront.empty() && FFront.back().Number > Row) {
    FFront.back().Number -= FShift;
    FBack.push_back(std::move(FFront.back()));
    FFront.pop_back();
  }
  while (!FBack.empty() && FBack.back().Number + FShift <= Row) {
    FBack.back().Number += FShift;
    FFront.push_back(std::move(FBack.back()));
    FBack.pop_back();
  }
}

TRow* TSheetRowStore::Find(int32_t Row) {
  MoveGap(Row);
  if (!FFront.empty() && FFront.back().Number == Row) return &FFront.back();
  return nullptr;
}

TRow& TSheetRowStore::Get(int32_t Row) {
  if (TRow* row = Find(Row)) return *row;
  TRow& row = FFront.emplace_back();
  row.Number = Row;
  return row;
}

void TSheetRowStore::InsertBefore(int32_t Row) {
  MoveGap(Row - 1);
  ++FShift;
}

void TSheetRowStore::Append(TRow&& Row) {
  MoveGap(Row.Number);
  FFront.push_back(std::move(Row));
}

void TSheetRowStore::ForEach(int32_t From, const std::function<bool(TRow&)>& Visit) {
  auto front = std::lower_bound(FFront.begin(), FFront.end(), From,
                                [](const TRow& row, int32_t value) { return row.Number < value; });
  for (; front != FFront.end(); ++front)
    if (!Visit(*front)) return;
  // The back half is descending; show each row with its real number for the visit only.
  auto back = std::lower_bound(FBack.rbegin(), FBack.rend(), From - FShift,
                               [](const TRow& row, int32_t value) { return row.Number < value; });
  for (; back != FBack.rend(); ++back) {
    back->Number += FShift;
    const bool more = Visit(*back);
    back->Number -= FShift;
    if (!more) return;
  }
}

int32_t TSheetRowStore::FirstNumber() const {
  if (!FFront.empty()) return FFront.front().Number;
  return FBack.empty() ? 0 : FBack.back().Number + FShift;
}

int32_t TSheetRowStore::LastNumber() const {
  if (!FBack.empty()) return FBack.front().Number + FShift;
  return FFront.empty() ? 0 : FFront.back().Number;
}
