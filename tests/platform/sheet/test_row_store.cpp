// The gap buffer against a plain ordered map doing the same writes and inserts the slow way.
#include "platform/sheet/SheetRowStore.h"

#include <gtest/gtest.h>
#include <map>

namespace {

// The reference: row number -> a tag stored in the row's first cell's style.
using TModel = std::map<int32_t, uint32_t>;

void ModelInsert(TModel& Model, int32_t Row) {
  TModel moved;
  for (const auto& [number, tag] : Model) moved[number >= Row ? number + 1 : number] = tag;
  Model = std::move(moved);
}

TModel Dump(TSheetRowStore& Store) {
  TModel out;
  int32_t last = 0;
  Store.ForEach(1, [&](TRow& row) {
    EXPECT_GT(row.Number, last) << "rows out of order";
    last = row.Number;
    out[row.Number] = row.Cells.empty() ? 0 : row.Cells[0].Style;
    return true;
  });
  return out;
}

void Put(TSheetRowStore& Store, TModel& Model, int32_t Row, uint32_t Tag) {
  TRow& row = Store.Get(Row);
  row.Cells.resize(1);
  row.Cells[0].Style = Tag;
  Model[Row] = Tag;
}

}  // namespace

TEST(RowStore, WritesAndInsertsAroundAMovingPositionMatchTheModel) {
  TSheetRowStore store;
  TModel model;
  for (int32_t r = 1; r <= 40; r += 3) Put(store, model, r, static_cast<uint32_t>(r));  // a template's rows
  uint32_t tag = 1000;
  // The schedule's walk: write, insert below, step; with jumps back up and far down in between.
  int32_t position = 5;
  for (int step = 0; step < 300; ++step) {
    Put(store, model, position, ++tag);
    store.InsertBefore(position + 1);
    ModelInsert(model, position + 1);
    position += (step % 7 == 0) ? 2 : 1;
    if (step % 50 == 49) {
      Put(store, model, 2, ++tag);               // back near the top
      Put(store, model, position + 100, ++tag);  // far below
    }
  }
  EXPECT_EQ(Dump(store), model);
  EXPECT_EQ(store.FirstNumber(), model.begin()->first);
  EXPECT_EQ(store.LastNumber(), model.rbegin()->first);
}

TEST(RowStore, FindAndForEachFromAMiddleRowSeeShiftedNumbers) {
  TSheetRowStore store;
  TModel model;
  for (int32_t r : {2, 4, 6, 8}) Put(store, model, r, static_cast<uint32_t>(r));
  store.InsertBefore(5);  // 6 and 8 move to 7 and 9
  ModelInsert(model, 5);
  EXPECT_EQ(store.Find(6), nullptr);
  ASSERT_NE(store.Find(7), nullptr);
  EXPECT_EQ(store.Find(7)->Cells[0].Style, 6u);
  store.Find(2);  // gap back at the top: the rest sits behind it, shifted
  std::vector<int32_t> seen;
  store.ForEach(5, [&](TRow& row) {
    seen.push_back(row.Number);
    return true;
  });
  EXPECT_EQ(seen, (std::vector<int32_t>{7, 9}));
  EXPECT_EQ(Dump(store), model);
}
