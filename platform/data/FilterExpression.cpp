#include "platform/data/FilterExpression.h"

#include "platform/base/Exception.h"
#include "platform/data/FieldIndex.h"
#include "platform/data/RowStore.h"
#include "platform/data/ValueKey.h"

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

enum class TOp { Eq, Ne, Lt, Gt, Le, Ge };

struct TOperand {
  bool IsField = false;
  QString Name;     // field name as written
  QVariant Literal; // null QVariant for NULL
  int Slot = -1;    // which entry of the bound field list
};

enum class TTok { Ident, Number, String, LParen, RParen, Op, And, Or, Not, Is, Null, End };

struct TToken {
  TTok Kind = TTok::End;
  QString Text;
  QVariant Value;
  TOp Op = TOp::Eq;
  qsizetype Pos = 0;
};

}  // namespace

struct TFilterExpression::TNode {
  enum TKind { And, Or, Not, Compare, IsNull } Kind = Compare;
  std::unique_ptr<TNode> Left, Right;
  TOperand A, B;
  TOp Op = TOp::Eq;
  bool Negate = false;  // IS NOT NULL
};

namespace {

using TNode = TFilterExpression::TNode;

class TParser {
public:
  explicit TParser(const QString& Text) : FText(Text) { Advance(); }

  std::unique_ptr<TNode> ParseAll() {
    auto root = ParseOr();
    if (FTok.Kind != TTok::End) Fail(u"unexpected text after the expression"_s);
    return root;
  }
  int SlotCount() const { return FSlots; }

private:
  [[noreturn]] void Fail(const QString& What) const {
    throw Exception(Format(u"Invalid filter expression '%s': %s at position %s"_s,
                           {FText, What, QString::number(FTok.Pos + 1)}));
  }

  void Advance() {
    qsizetype i = FPos;
    while (i < FText.size() && FText[i].isSpace()) ++i;
    FTok = TToken{};
    FTok.Pos = i;
    if (i >= FText.size()) {
      FTok.Kind = TTok::End;
      FPos = i;
      return;
    }
    const QChar c = FText[i];
    auto next = [&](qsizetype k) { return k < FText.size() ? FText[k] : QChar(); };
    if (c == u'(' || c == u')') {
      FTok.Kind = c == u'(' ? TTok::LParen : TTok::RParen;
      FPos = i + 1;
    } else if (c == u'=' || c == u'<' || c == u'>' || (c == u'!' && next(i + 1) == u'=')) {
      FTok.Kind = TTok::Op;
      const QChar d = next(i + 1);
      FPos = i + 1;
      if (c == u'=') {
        FTok.Op = TOp::Eq;
      } else if (c == u'!') {
        FTok.Op = TOp::Ne;
        FPos = i + 2;
      } else if (c == u'<' && d == u'>') {
        FTok.Op = TOp::Ne;
        FPos = i + 2;
      } else if (d == u'=') {
        FTok.Op = c == u'<' ? TOp::Le : TOp::Ge;
        FPos = i + 2;
      } else {
        FTok.Op = c == u'<' ? TOp::Lt : TOp::Gt;
      }
    } else if (c == u'\'' || c == u'"') {
      QString value;
      qsizetype k = i + 1;
      for (;;) {
        if (k >= FText.size()) {
          FPos = i;
          Fail(u"unterminated string"_s);
        }
        if (FText[k] == c) {
          if (next(k + 1) == c) {
            value += c;
            k += 2;
            continue;
          }
          break;
        }
        value += FText[k++];
      }
      FTok.Kind = TTok::String;
      FTok.Value = value;
      FPos = k + 1;
    } else if (c == u'[') {
      const qsizetype close = FText.indexOf(u']', i + 1);
      if (close < 0) Fail(u"']' expected"_s);
      FTok.Kind = TTok::Ident;
      FTok.Text = FText.mid(i + 1, close - i - 1);
      FPos = close + 1;
    } else if (c.isDigit() || ((c == u'-' || c == u'+' || c == u'.') && (next(i + 1).isDigit() || next(i + 1) == u'.'))) {
      qsizetype k = i + 1;
      bool dot = c == u'.';
      while (k < FText.size() && (FText[k].isDigit() || (FText[k] == u'.' && !dot))) {
        if (FText[k] == u'.') dot = true;
        ++k;
      }
      if (k < FText.size() && (FText[k] == u'e' || FText[k] == u'E')) {
        qsizetype e = k + 1;
        if (e < FText.size() && (FText[e] == u'+' || FText[e] == u'-')) ++e;
        if (e < FText.size() && FText[e].isDigit()) {
          dot = true;
          k = e;
          while (k < FText.size() && FText[k].isDigit()) ++k;
        }
      }
      const QString text = FText.mid(i, k - i);
      bool ok = false;
      if (!dot) {
        const qlonglong whole = text.toLongLong(&ok);
        if (ok) FTok.Value = whole;
      }
      if (!ok) {
        const double real = text.toDouble(&ok);
        if (!ok) Fail(u"a number expected"_s);
        FTok.Value = real;
      }
      FTok.Kind = TTok::Number;
      FPos = k;
      if (k < FText.size() && (FText[k].isLetter() || FText[k] == u'_')) {
        FTok.Pos = k;
        Fail(u"an operator expected"_s);
      }
    } else if (c.isLetter() || c == u'_') {
      qsizetype k = i + 1;
      while (k < FText.size() && (FText[k].isLetterOrNumber() || FText[k] == u'_')) ++k;
      FTok.Text = FText.mid(i, k - i);
      const QString word = FTok.Text.toUpper();
      if (word == u"AND"_s) FTok.Kind = TTok::And;
      else if (word == u"OR"_s) FTok.Kind = TTok::Or;
      else if (word == u"NOT"_s) FTok.Kind = TTok::Not;
      else if (word == u"IS"_s) FTok.Kind = TTok::Is;
      else if (word == u"NULL"_s) FTok.Kind = TTok::Null;
      else FTok.Kind = TTok::Ident;
      FPos = k;
    } else {
      Fail(Format(u"unexpected character '%s'"_s, {QString(c)}));
    }
  }

  std::unique_ptr<TNode> Binary(TNode::TKind Kind, std::unique_ptr<TNode> L, std::unique_ptr<TNode> R) {
    auto node = std::make_unique<TNode>();
    node->Kind = Kind;
    node->Left = std::move(L);
    node->Right = std::move(R);
    return node;
  }

  std::unique_ptr<TNode> ParseOr() {
    auto left = ParseAnd();
    while (FTok.Kind == TTok::Or) {
      Advance();
      left = Binary(TNode::Or, std::move(left), ParseAnd());
    }
    return left;
  }

  std::unique_ptr<TNode> ParseAnd() {
    auto left = ParseNot();
    while (FTok.Kind == TTok::And) {
      Advance();
      left = Binary(TNode::And, std::move(left), ParseNot());
    }
    return left;
  }

  std::unique_ptr<TNode> ParseNot() {
    if (FTok.Kind == TTok::Not) {
      Advance();
      auto node = std::make_unique<TNode>();
      node->Kind = TNode::Not;
      node->Left = ParseNot();
      return node;
    }
    if (FTok.Kind == TTok::LParen) {
      Advance();
      auto inner = ParseOr();
      if (FTok.Kind != TTok::RParen) Fail(u"')' expected"_s);
      Advance();
      return inner;
    }
    return ParseComparison();
  }

  TOperand ParseOperand() {
    TOperand operand;
    switch (FTok.Kind) {
      case TTok::Ident:
        operand.IsField = true;
        operand.Name = FTok.Text;
        operand.Slot = FSlots++;
        break;
      case TTok::Number:
      case TTok::String:
        operand.Literal = FTok.Value;
        break;
      case TTok::Null:
        break;
      default:
        Fail(u"a field name or a value expected"_s);
    }
    Advance();
    return operand;
  }

  std::unique_ptr<TNode> ParseComparison() {
    auto node = std::make_unique<TNode>();
    node->A = ParseOperand();
    if (FTok.Kind == TTok::Is) {
      Advance();
      node->Kind = TNode::IsNull;
      if (FTok.Kind == TTok::Not) {
        node->Negate = true;
        Advance();
      }
      if (FTok.Kind != TTok::Null) Fail(u"NULL expected"_s);
      Advance();
      return node;
    }
    if (FTok.Kind != TTok::Op) Fail(u"a comparison operator expected"_s);
    node->Op = FTok.Op;
    Advance();
    node->B = ParseOperand();
    const bool aNull = !node->A.IsField && node->A.Literal.isNull();
    const bool bNull = !node->B.IsField && node->B.Literal.isNull();
    if ((aNull || bNull) && (node->Op == TOp::Eq || node->Op == TOp::Ne)) {
      // "x = NULL" reads as a NULL test, the way users of such filters write it.
      node->Kind = TNode::IsNull;
      node->Negate = node->Op == TOp::Ne;
      if (aNull) std::swap(node->A, node->B);
    } else {
      node->Kind = TNode::Compare;
    }
    return node;
  }

  const QString& FText;
  qsizetype FPos = 0;
  TToken FTok;
  int FSlots = 0;
};

struct TBinding {
  const TRowStore& Store;
  std::vector<int> Fields;  // slot -> field index
};

void Bind(const TNode* Node, const TRowStore& Store, std::vector<int>& Fields) {
  if (!Node) return;
  for (const TOperand* operand : {&Node->A, &Node->B}) {
    if (!operand->IsField) continue;
    const int index = Store.IndexOf(operand->Name);
    if (index < 0) throw Exception(Format(u"Field '%s' not found"_s, {operand->Name}));
    Fields[static_cast<std::size_t>(operand->Slot)] = index;
  }
  Bind(Node->Left.get(), Store, Fields);
  Bind(Node->Right.get(), Store, Fields);
}

TFieldType TypeOf(const TOperand& Operand, const TBinding& B) {
  return Operand.IsField ? B.Store.Field(B.Fields[static_cast<std::size_t>(Operand.Slot)]).DataType : ftUnknown;
}

const QVariant& ValueOf(const TOperand& Operand, const TRowStore::TRow& Row, const TBinding& B) {
  return Operand.IsField ? Row.Values[static_cast<std::size_t>(B.Fields[static_cast<std::size_t>(Operand.Slot)])]
                         : Operand.Literal;
}

bool Evaluate(const TNode& Node, const TRowStore::TRow& Row, const TBinding& B) {
  switch (Node.Kind) {
    case TNode::And:
      return Evaluate(*Node.Left, Row, B) && Evaluate(*Node.Right, Row, B);
    case TNode::Or:
      return Evaluate(*Node.Left, Row, B) || Evaluate(*Node.Right, Row, B);
    case TNode::Not:
      return !Evaluate(*Node.Left, Row, B);
    case TNode::IsNull:
      return ValueOf(Node.A, Row, B).isNull() != Node.Negate;
    case TNode::Compare: {
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
        case TOp::Eq: return c == 0;
        case TOp::Ne: return c != 0;
        case TOp::Lt: return c < 0;
        case TOp::Gt: return c > 0;
        case TOp::Le: return c <= 0;
        case TOp::Ge: return c >= 0;
      }
    }
  }
  return false;
}

// A conjunct of the top-level AND chain of the form field = non-null literal, if any.
const TNode* IndexableConjunct(const TNode* Node) {
  if (Node->Kind == TNode::And) {
    if (const TNode* left = IndexableConjunct(Node->Left.get())) return left;
    return IndexableConjunct(Node->Right.get());
  }
  if (Node->Kind == TNode::Compare && Node->Op == TOp::Eq && Node->A.IsField != Node->B.IsField) {
    const TOperand& literal = Node->A.IsField ? Node->B : Node->A;
    if (!literal.Literal.isNull()) return Node;
  }
  return nullptr;
}

}  // namespace

TFilterExpression::TFilterExpression(std::unique_ptr<TNode> Root) : FRoot(std::move(Root)) {}
TFilterExpression::~TFilterExpression() = default;

std::shared_ptr<const TFilterExpression> TFilterExpression::Parse(const QString& Text) {
  TParser parser(Text);
  auto root = parser.ParseAll();
  auto expression = std::shared_ptr<TFilterExpression>(new TFilterExpression(std::move(root)));
  expression->FSlotCount = parser.SlotCount();
  return expression;
}

TRowView TFilterExpression::Apply(const TRowStore& Store, const TRowView& Base) const {
  TBinding binding{Store, std::vector<int>(static_cast<std::size_t>(FSlotCount), -1)};
  Bind(FRoot.get(), Store, binding.Fields);

  std::vector<int> result;
  if (const TNode* conjunct = IndexableConjunct(FRoot.get())) {
    const TOperand& field = conjunct->A.IsField ? conjunct->A : conjunct->B;
    const TOperand& literal = conjunct->A.IsField ? conjunct->B : conjunct->A;
    const int fieldIndex = binding.Fields[static_cast<std::size_t>(field.Slot)];
    const TFieldIndex& index = Store.Index(fieldIndex);
    const std::vector<int> candidates =
        index.EqualPositions(TValueKey::ForField(literal.Literal, index.FieldType()));
    const bool onlyConjunct = conjunct == FRoot.get();
    if (Base.IsAllRows()) {
      for (int position : candidates)
        if (onlyConjunct || Evaluate(*FRoot, Store.Row(position), binding)) result.push_back(position);
    } else {
      std::vector<std::pair<int, int>> ordered;  // (place in Base, position)
      for (int position : candidates) {
        const int place = Base.IndexOfPosition(position);
        if (place >= 0 && (onlyConjunct || Evaluate(*FRoot, Store.Row(position), binding)))
          ordered.emplace_back(place, position);
      }
      std::sort(ordered.begin(), ordered.end());
      for (const auto& entry : ordered) result.push_back(entry.second);
    }
    return TRowView::Of(std::move(result));
  }
  const int count = Base.Size();
  for (int i = 0; i < count; ++i) {
    const int position = Base.Position(i);
    if (Evaluate(*FRoot, Store.Row(position), binding)) result.push_back(position);
  }
  return TRowView::Of(std::move(result));
}
