#pragma once
// A parsed filter text and its application to rows (the language is described in DataSet.h).
//   auto filter = TFilterExpression::Parse(u"(parentid=12) AND NOT fname IS NULL"_s);
//   TRowView rows = filter->Apply(store, TRowView::AllRows(store.RowCount()));
#include "platform/data/cursor/FilterNode.h"
#include "platform/data/cursor/RowView.h"

#include <QString>
#include <memory>

class TRowStore;

class TFilterExpression {
public:
  // Raises Exception "Invalid filter expression '%s': %s at position %s" (position 1-based).
  static std::shared_ptr<const TFilterExpression> Parse(const QString& Text);
  ~TFilterExpression();

  // The rows of Base (in Base's order) that satisfy the expression. A conjunct "field = literal"
  // is answered from the field's index. Raises "Field '%s' not found" for an unknown field.
  TRowView Apply(const TRowStore& Store, const TRowView& Base) const;

private:
  TFilterExpression(std::unique_ptr<TFilterNode> Root, int SlotCount);
  std::unique_ptr<TFilterNode> FRoot;
  int FSlotCount = 0;
};
