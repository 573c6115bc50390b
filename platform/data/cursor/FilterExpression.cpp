#include "platform/data/cursor/FilterExpression.h"

#include "platform/base/Exception.h"
#include "platform/data/cursor/FieldIndex.h"
#include "platform/data/cursor/FilterParser.h"
#include "platform/data/cursor/RowStore.h"
#include "platform/data/cursor/ValueKey.h"

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

struct TBinding {
  const TRowStore& Store;
  std::vector<int> Fields;  // slot -> field index
};

void Bind(const TFilterNode* Node, const TRowStore& Store, std::vector<int>& Fields) {
  if (!Node) return;
  for (const TFilterOperand* operand : {&Node->A, &Node->B}) {
    if (!operand->IsField) continue;
    const int index = Store.IndexOf(operand->Name);
    if (index < 0) throw Exception(Format(u"Field '%s' not found"_s, {operand->Name}));
    Fields[static_cast<std::size_t>(operand->Slot)] = index;
  }
  Bind(Node->Left.get(), Store, Fields);
  Bind(Node->Right.get(), Store, Fields);
}

TFieldType TypeOf(const TFilterOperand& Operand, const TBinding& B) {
  return Operand.IsField ? B.Store.Field(B.Fields[static_cast<std::size_t>(Operand.Slot)]).DataType : ftUnknown;
}

QVariant ValueOf(const TFilterOperand& Operand, int Row, const TBinding& B) {
  return Operand.IsField ? B.Store.Value(Row, B.Fields[static_cast<std::size_t>(Operand.Slot)]) : Operand.Literal;
}

bool Evaluate(const TFilterNode& Node, int Row, const TBinding& B) {
  switch (Node.Kind) {
  case TFilterNode::And:
    return Evaluate(*Node.Left, Row, B) && Evaluate(*Node.Right, Row, B);
  case TFilterNode::Or:
    return Evaluate(*Node.Left, Row, B) || Evaluate(*Node.Right, Row, B);
  case TFilterNode::Not:
    return !Evaluate(*Node.Left, Row, B);
  case TFilterNode::IsNull:
    return ValueOf(Node.A, Row, B).isNull() != Node.Negate;
  case TFilterNode::Compare: {
    // A literal takes the kind of the field it meets; two fields each keep their own.
    TFieldType typeA = TypeOf(Node.A, B);
    TFieldType typeB = TypeOf(Node.B, B);
    if (!Node.A.IsField) typeA = typeB;
    if (!Node.B.IsField) typeB = typeA;
    const TValueKey a = TValueKey::ForField(ValueOf(Node.A, Row, B), typeA);
    const TValueKey b = TValueKey::ForField(ValueOf(Node.B, Row, B), typeB);
    if (a.IsNull() || b.IsNull()) return false;
    const int c = a.Compare(b);
    switch (Node.Op) {
    case TFilterOp::Eq:
      return c == 0;
    case TFilterOp::Ne:
      return c != 0;
    case TFilterOp::Lt:
      return c < 0;
    case TFilterOp::Gt:
      return c > 0;
    case TFilterOp::Le:
      return c <= 0;
    case TFilterOp::Ge:
      return c >= 0;
    }
  }
  }
  return false;
}

// A conjunct of the top-level AND chain of the form field = non-null literal, if any.
const TFilterNode* IndexableConjunct(const TFilterNode* Node) {
  if (Node->Kind == TFilterNode::And) {
    if (const TFilterNode* left = IndexableConjunct(Node->Left.get())) return left;
    return IndexableConjunct(Node->Right.get());
  }
  if (Node->Kind == TFilterNode::Compare && Node->Op == TFilterOp::Eq && Node->A.IsField != Node->B.IsField) {
    const TFilterOperand& literal = Node->A.IsField ? Node->B : Node->A;
    if (!literal.Literal.isNull()) return Node;
  }
  return nullptr;
}

}  // namespace

TFilterExpression::TFilterExpression(std::unique_ptr<TFilterNode> Root, int SlotCount)
    : FRoot(std::move(Root)), FSlotCount(SlotCount) {}
TFilterExpression::~TFilterExpression() = default;

std::shared_ptr<const TFilterExpression> TFilterExpression::Parse(const QString& Text) {
  int slotCount = 0;
  auto root = ParseFilter(Text, slotCount);
  return std::shared_ptr<const TFilterExpression>(new TFilterExpression(std::move(root), slotCount));
}

TRowView TFilterExpression::Apply(const TRowStore& Store, const TRowView& Base) const {
  TBinding binding{Store, std::vector<int>(static_cast<std::size_t>(FSlotCount), -1)};
  Bind(FRoot.get(), Store, binding.Fields);

  std::vector<int> result;
  if (const TFilterNode* conjunct = IndexableConjunct(FRoot.get())) {
    const TFilterOperand& field = conjunct->A.IsField ? conjunct->A : conjunct->B;
    const TFilterOperand& literal = conjunct->A.IsField ? conjunct->B : conjunct->A;
    const int fieldIndex = binding.Fields[static_cast<std::size_t>(field.Slot)];
    const TFieldIndex& index = Store.Index(fieldIndex);
    const std::vector<int> candidates = index.EqualPositions(TValueKey::ForField(literal.Literal, index.FieldType()));
    const bool onlyConjunct = conjunct == FRoot.get();
    if (Base.IsAllRows()) {
      for (int position : candidates)
        if (onlyConjunct || Evaluate(*FRoot, position, binding)) result.push_back(position);
    } else {
      std::vector<std::pair<int, int>> ordered;  // (place in Base, position)
      for (int position : candidates) {
        const int place = Base.IndexOfPosition(position);
        if (place >= 0 && (onlyConjunct || Evaluate(*FRoot, position, binding))) ordered.emplace_back(place, position);
      }
      std::sort(ordered.begin(), ordered.end());
      for (const auto& entry : ordered) result.push_back(entry.second);
    }
    return TRowView::Of(std::move(result));
  }
  const int count = Base.Size();
  for (int i = 0; i < count; ++i) {
    const int position = Base.Position(i);
    if (Evaluate(*FRoot, position, binding)) result.push_back(position);
  }
  return TRowView::Of(std::move(result));
}
