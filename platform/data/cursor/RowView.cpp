#include "platform/data/cursor/RowView.h"

TRowView TRowView::AllRows(int Count) {
  TRowView view;
  view.FIdentity = true;
  view.FCount = Count;
  return view;
}

TRowView TRowView::Of(std::vector<int> Positions) {
  TRowView view;
  view.FPositions = std::move(Positions);
  return view;
}

int TRowView::IndexOfPosition(int Position) const {
  if (FIdentity) return Position >= 0 && Position < FCount ? Position : -1;
  if (FPositions.size() <= 32) {  // a branch of a tree: a scan beats building a map
    for (std::size_t i = 0; i < FPositions.size(); ++i)
      if (FPositions[i] == Position) return static_cast<int>(i);
    return -1;
  }
  if (FIndexOf.empty() && !FPositions.empty()) {
    FIndexOf.reserve(FPositions.size());
    for (std::size_t i = 0; i < FPositions.size(); ++i) FIndexOf.emplace(FPositions[i], static_cast<int>(i));
  }
  auto it = FIndexOf.find(Position);
  return it == FIndexOf.end() ? -1 : it->second;
}
