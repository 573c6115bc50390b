#pragma once
// A small tree fixture: every node carries an int name in its data area; an observer and the
// hooks write what they see into one log, so a test can compare the order of events.
#include "platform/vtree/TVirtualStringTree.h"

#include <QString>
#include <QStringList>

inline int& NodeName(TVirtualStringTree& Tree, PVirtualNode Node) { return *static_cast<int*>(Tree.GetNodeData(Node)); }

inline QString Name(TVirtualStringTree& Tree, PVirtualNode Node) {
  if (!Node) return QStringLiteral("none");
  if (Node == Tree.RootNode()) return QStringLiteral("root");
  return QString::number(NodeName(Tree, Node));
}

inline PVirtualNode Add(TVirtualStringTree& Tree, PVirtualNode Parent, int Id) {
  PVirtualNode n = Tree.AddChild(Parent);
  NodeName(Tree, n) = Id;
  return n;
}

class TLogObserver : public TVirtualTreeObserver {
public:
  TLogObserver(TVirtualStringTree& Tree, QStringList& Log) : FTree(Tree), FLog(Log) { Tree.AddObserver(this); }
  ~TLogObserver() override { FTree.RemoveObserver(this); }
  void BeforeInsertChildren(PVirtualNode P, int F, int L) override { Put(u"+? %1 %2..%3", P, F, L); }
  void AfterInsertChildren(PVirtualNode P, int F, int L) override { Put(u"+! %1 %2..%3", P, F, L); }
  void BeforeRemoveChildren(PVirtualNode P, int F, int L) override { Put(u"-? %1 %2..%3", P, F, L); }
  void AfterRemoveChildren(PVirtualNode P, int F, int L) override { Put(u"-! %1 %2..%3", P, F, L); }
  void BeforeReset() override { FLog << QStringLiteral("reset?"); }
  void AfterReset() override { FLog << QStringLiteral("reset!"); }
  void NodeChanged(PVirtualNode N) override { FLog << QStringLiteral("changed ") + Name(FTree, N); }
  void Invalidated() override { FLog << QStringLiteral("invalidated"); }
  void Expanded(PVirtualNode N) override { FLog << QStringLiteral("expanded ") + Name(FTree, N); }
  void Collapsed(PVirtualNode N) override { FLog << QStringLiteral("collapsed ") + Name(FTree, N); }
  void FocusChanged(PVirtualNode N) override { FLog << QStringLiteral("focus ") + Name(FTree, N); }
  void UpdateBegun() override { FLog << QStringLiteral("update("); }
  void UpdateEnded() override { FLog << QStringLiteral("update)"); }
  void BulkBegun() override { FLog << QStringLiteral("bulk("); }
  void BulkEnded() override { FLog << QStringLiteral("bulk)"); }

private:
  void Put(const char16_t* Pattern, PVirtualNode P, int F, int L) {
    FLog << QString::fromUtf16(Pattern).arg(Name(FTree, P)).arg(F).arg(L);
  }
  TVirtualStringTree& FTree;
  QStringList& FLog;
};

#include <ostream>
// Readable failure output for texts.
inline void PrintTo(const QString& Text, std::ostream* Os) { *Os << '"' << Text.toStdString() << '"'; }
