#pragma once
// The record behind one tree node: the row's key as text, its caption, a free value for the
// application, and the node. Key and node never change after creation.
#include "platform/vtree/TVirtualNode.h"

#include <QString>
#include <QVariant>

class TLxNodeItem {
public:
  TLxNodeItem(QString AKey, PVirtualNode ANode) : FNode(ANode), FKey(std::move(AKey)) {}
  TLxNodeItem(const TLxNodeItem&) = delete;
  TLxNodeItem& operator=(const TLxNodeItem&) = delete;

  const QString& Key() const { return FKey; }
  PVirtualNode Node() const { return FNode; }
  const QString& Caption() const { return FCaption; }
  void SetCaption(const QString& Value) { FCaption = Value; }
  const QVariant& Param() const { return FParam; }
  void SetParam(const QVariant& Value) { FParam = Value; }

private:
  PVirtualNode FNode;
  QString FKey;
  QString FCaption;
  QVariant FParam;
};
