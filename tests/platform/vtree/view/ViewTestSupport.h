#pragma once
// Widgets under test need one QApplication (offscreen); a small lazy tree whose nodes carry an int
// name; a recorder for Qt's warnings (QAbstractItemModelTester reports through them).
#include "platform/vtree/TVirtualStringTree.h"

#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& Text, std::ostream* Os) { *Os << '"' << Text.toStdString() << '"'; }

// The lazy tree: top-level nodes 1, 2, 3 with the has-children mark. Children load on first need
// and are named parent*10 + position + 1, so node 1 gets 11 and 12, node 11 gets 111 and 112
// (blank nodes from SetRootNodeCount get their names when initialised).
// Nodes named below 100 carry the mark; node 3's load finds nothing. Every node is a check box;
// the caption is "n" and the name.
class TLazyTree : public TVirtualStringTree {
public:
  TLazyTree();
  int Name(PVirtualNode Node) { return Node ? *static_cast<int*>(GetNodeData(Node)) : 0; }
  // The existing node with that name, or none (no loading).
  PVirtualNode Find(int Name);
  // Pre-order names of the nodes that exist ("?" before initialisation names them), "+" for the
  // mark, "(x)" for expanded.
  QStringList Shape();
  int Loads = 0;
};

// Collects Qt warnings for its lifetime.
class TWarningRecorder {
public:
  TWarningRecorder();
  ~TWarningRecorder();
  TWarningRecorder(const TWarningRecorder&) = delete;
  TWarningRecorder& operator=(const TWarningRecorder&) = delete;
  QStringList Warnings;
};
