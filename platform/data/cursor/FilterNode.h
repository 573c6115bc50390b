#pragma once
// The parsed form of a filter text: a tree of AND, OR, NOT, comparisons and NULL tests.
#include <QString>
#include <QVariant>
#include <memory>

enum class TFilterOp { Eq, Ne, Lt, Gt, Le, Ge };

struct TFilterOperand {
  bool IsField = false;
  QString Name;      // field name as written
  QVariant Literal;  // null QVariant for NULL
  int Slot = -1;     // which entry of the bound field list (fields only)
};

struct TFilterNode {
  enum TKind { And, Or, Not, Compare, IsNull } Kind = Compare;
  std::unique_ptr<TFilterNode> Left, Right;
  TFilterOperand A, B;
  TFilterOp Op = TFilterOp::Eq;
  bool Negate = false;  // IS NOT NULL, <> NULL
};
