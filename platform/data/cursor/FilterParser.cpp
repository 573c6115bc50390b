#include "platform/data/cursor/FilterParser.h"

#include "platform/base/Exception.h"

using namespace Qt::StringLiterals;

namespace {

enum class TTok { Ident, Number, String, LParen, RParen, Op, And, Or, Not, Is, Null, End };

struct TToken {
  TTok Kind = TTok::End;
  QString Text;
  QVariant Value;
  TFilterOp Op = TFilterOp::Eq;
  qsizetype Pos = 0;
};

class TParser {
public:
  explicit TParser(const QString& Text) : FText(Text) { Advance(); }

  std::unique_ptr<TFilterNode> ParseAll() {
    auto root = ParseOr();
    if (FTok.Kind != TTok::End) Fail(u"unexpected text after the expression"_s);
    return root;
  }
  int SlotCount() const { return FSlots; }

private:
  [[noreturn]] void Fail(const QString& What) const {
    throw Exception(
        Format(u"Invalid filter expression '%s': %s at position %s"_s, {FText, What, QString::number(FTok.Pos + 1)}));
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
        FTok.Op = TFilterOp::Eq;
      } else if (c == u'!') {
        FTok.Op = TFilterOp::Ne;
        FPos = i + 2;
      } else if (c == u'<' && d == u'>') {
        FTok.Op = TFilterOp::Ne;
        FPos = i + 2;
      } else if (d == u'=') {
        FTok.Op = c == u'<' ? TFilterOp::Le : TFilterOp::Ge;
        FPos = i + 2;
      } else {
        FTok.Op = c == u'<' ? TFilterOp::Lt : TFilterOp::Gt;
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
    } else if (c.isDigit() ||
               ((c == u'-' || c == u'+' || c == u'.') && (next(i + 1).isDigit() || next(i + 1) == u'.'))) {
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
      if (word == u"AND"_s)
        FTok.Kind = TTok::And;
      else if (word == u"OR"_s)
        FTok.Kind = TTok::Or;
      else if (word == u"NOT"_s)
        FTok.Kind = TTok::Not;
      else if (word == u"IS"_s)
        FTok.Kind = TTok::Is;
      else if (word == u"NULL"_s)
        FTok.Kind = TTok::Null;
      else
        FTok.Kind = TTok::Ident;
      FPos = k;
    } else {
      Fail(Format(u"unexpected character '%s'"_s, {QString(c)}));
    }
  }

  std::unique_ptr<TFilterNode> Binary(TFilterNode::TKind Kind, std::unique_ptr<TFilterNode> L,
                                      std::unique_ptr<TFilterNode> R) {
    auto node = std::make_unique<TFilterNode>();
    node->Kind = Kind;
    node->Left = std::move(L);
    node->Right = std::move(R);
    return node;
  }

  std::unique_ptr<TFilterNode> ParseOr() {
    auto left = ParseAnd();
    while (FTok.Kind == TTok::Or) {
      CountOperator();
      Advance();
      left = Binary(TFilterNode::Or, std::move(left), ParseAnd());
    }
    return left;
  }

  std::unique_ptr<TFilterNode> ParseAnd() {
    auto left = ParseNot();
    while (FTok.Kind == TTok::And) {
      CountOperator();
      Advance();
      left = Binary(TFilterNode::And, std::move(left), ParseNot());
    }
    return left;
  }

  std::unique_ptr<TFilterNode> ParseNot() {
    if (FTok.Kind == TTok::Not) {
      Nest();
      Advance();
      auto node = std::make_unique<TFilterNode>();
      node->Kind = TFilterNode::Not;
      node->Left = ParseNot();
      --FDepth;
      return node;
    }
    if (FTok.Kind == TTok::LParen) {
      Nest();
      Advance();
      auto inner = ParseOr();
      if (FTok.Kind != TTok::RParen) Fail(u"')' expected"_s);
      Advance();
      --FDepth;
      return inner;
    }
    return ParseComparison();
  }

  // Parentheses and NOT nest by recursion here, and every operator adds a level to the tree that is
  // bound, evaluated and freed by recursion: limits keep a text nested thousands deep, or a chain of
  // thousands of ANDs and ORs, from exhausting the stack. The filters the program writes use a few.
  static constexpr int MaxNesting = 256;
  static constexpr int MaxOperators = 4096;
  void Nest() {
    if (++FDepth > MaxNesting) Fail(u"nesting deeper than 256 levels"_s);
  }
  void CountOperator() {
    if (++FOperators > MaxOperators) Fail(u"more than 4096 AND and OR operators"_s);
  }

  TFilterOperand ParseOperand() {
    TFilterOperand operand;
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

  std::unique_ptr<TFilterNode> ParseComparison() {
    auto node = std::make_unique<TFilterNode>();
    node->A = ParseOperand();
    if (FTok.Kind == TTok::Is) {
      Advance();
      node->Kind = TFilterNode::IsNull;
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
    if ((aNull || bNull) && (node->Op == TFilterOp::Eq || node->Op == TFilterOp::Ne)) {
      // "x = NULL" reads as a NULL test, the way users of such filters write it.
      node->Kind = TFilterNode::IsNull;
      node->Negate = node->Op == TFilterOp::Ne;
      if (aNull) std::swap(node->A, node->B);
    } else {
      node->Kind = TFilterNode::Compare;
    }
    return node;
  }

  const QString& FText;
  qsizetype FPos = 0;
  TToken FTok;
  int FSlots = 0;
  int FDepth = 0;
  int FOperators = 0;
};

bool IsAsciiLetter(QChar C) { return (C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z') || C == u'_'; }
bool IsAsciiDigit(QChar C) { return C >= u'0' && C <= u'9'; }

// "name=integer" exactly (ASCII name, no spaces, an optional minus), the text a data-bound tree
// sets for every branch it loads: read without the tokenizer, into the tree the parser makes.
// Anything else, keywords and errors included, is left to the parser (none).
std::unique_ptr<TFilterNode> ParseFieldEqualsInteger(const QString& Text) {
  const qsizetype equals = Text.indexOf(u'=');
  if (equals <= 0 || !IsAsciiLetter(Text[0])) return nullptr;
  for (qsizetype i = 1; i < equals; ++i)
    if (!IsAsciiLetter(Text[i]) && !IsAsciiDigit(Text[i])) return nullptr;
  qsizetype digits = equals + 1;
  if (digits < Text.size() && Text[digits] == u'-') ++digits;
  // Up to 18 digits always fit a qlonglong, as the parser reads a whole number.
  if (digits >= Text.size() || Text.size() - digits > 18) return nullptr;
  for (qsizetype i = digits; i < Text.size(); ++i)
    if (!IsAsciiDigit(Text[i])) return nullptr;
  const QString name = Text.left(equals);
  const QString word = name.toUpper();
  if (word == u"AND"_s || word == u"OR"_s || word == u"NOT"_s || word == u"IS"_s || word == u"NULL"_s) return nullptr;
  bool ok = false;
  const qlonglong value = QStringView(Text).mid(equals + 1).toLongLong(&ok);
  if (!ok) return nullptr;
  auto node = std::make_unique<TFilterNode>();
  node->Kind = TFilterNode::Compare;
  node->Op = TFilterOp::Eq;
  node->A.IsField = true;
  node->A.Name = name;
  node->A.Slot = 0;
  node->B.Literal = value;
  return node;
}

}  // namespace

std::unique_ptr<TFilterNode> ParseFilter(const QString& Text, int& SlotCount) {
  if (auto simple = ParseFieldEqualsInteger(Text)) {
    SlotCount = 1;
    return simple;
  }
  TParser parser(Text);
  auto root = parser.ParseAll();
  SlotCount = parser.SlotCount();
  return root;
}
