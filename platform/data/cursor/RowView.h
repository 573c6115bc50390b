#pragma once
// The rows one cursor walks, in its order: store positions, or simply all rows in row order
// (which costs nothing to make). Finding a row's place in the view is O(1) after the first call.
#include <unordered_map>
#include <vector>

class TRowView {
public:
  static TRowView AllRows(int Count);
  static TRowView Of(std::vector<int> Positions);

  int Size() const { return FIdentity ? FCount : static_cast<int>(FPositions.size()); }
  bool IsAllRows() const { return FIdentity; }
  int Position(int Index) const { return FIdentity ? Index : FPositions[static_cast<std::size_t>(Index)]; }
  int IndexOfPosition(int Position) const;  // -1 when the row is not in the view

private:
  bool FIdentity = false;
  int FCount = 0;
  std::vector<int> FPositions;
  mutable std::unordered_map<int, int> FIndexOf;
};
