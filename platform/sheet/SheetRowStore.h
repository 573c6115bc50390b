#pragma once
// The rows of a worksheet as a gap buffer keyed by row number. Rows before the gap keep their numbers;
// rows after it store theirs relative to one shift counter, so inserting a row at the gap is O(1), and
// moving the gap by k rows costs O(k): writing and inserting around a moving position stays linear.
#include <cstdint>
#include <functional>
#include <vector>

enum class TCellType : uint8_t { Empty, Number, String, Bool, Raw };

// One cell: its column, its style (index into the workbook's cell formats) and its value. Text is an
// index into the shared strings; Raw is a cell kept as written (formula, error) in the sheet's raw list.
struct TCell {
  uint16_t Col = 0;
  TCellType Type = TCellType::Empty;
  uint32_t Style = 0;
  union {
    double Number;
    uint32_t Index;
    bool Bool;
  };
  TCell() : Number(0) {}
};

// One row: its number, its attributes as written in the part (height, style; index into the sheet's
// attribute list, 0 for none) and its cells, ordered by column.
struct TRow {
  int32_t Number = 0;
  uint32_t Attrs = 0;
  std::vector<TCell> Cells;
};

class TSheetRowStore {
public:
  // The row numbered Row, or nullptr; moves the gap to Row.
  TRow* Find(int32_t Row);
  // The row numbered Row, made empty when it did not exist; moves the gap to Row.
  TRow& Get(int32_t Row);
  // Every row numbered Row or more moves one down; moves the gap to Row - 1.
  void InsertBefore(int32_t Row);
  // Appends a row known to lie below every row held (used while loading).
  void Append(TRow&& Row);

  // Visits the rows in ascending order, from the first numbered From or more; stops when Visit returns false.
  // Visit may change cells but not row numbers.
  void ForEach(int32_t From, const std::function<bool(TRow&)>& Visit);
  bool Empty() const { return FFront.empty() && FBack.empty(); }
  int32_t FirstNumber() const;
  int32_t LastNumber() const;

private:
  void MoveGap(int32_t Row);

  std::vector<TRow> FFront;  // numbers <= the gap, ascending, absolute
  std::vector<TRow> FBack;   // numbers > the gap, descending (nearest last), stored minus FShift
  int32_t FShift = 0;
};
