#pragma once
// The data of a drag that starts in a TVirtualTreeView: the tree it came from, so that a drop
// can name its source to the target tree.
#include "platform/vtree/TVirtualStringTree.h"

#include <QMimeData>

class TVirtualTreeMimeData : public QMimeData {
  Q_OBJECT
public:
  explicit TVirtualTreeMimeData(TVirtualStringTree* Source) : FSource(Source) {}
  TVirtualStringTree* Source() const { return FSource; }
  // The source tree of a drag's data, or none when it did not start in one of our views.
  static TVirtualStringTree* SourceOf(const QMimeData* Data);
  static QString MimeType() { return QStringLiteral("application/x-ppr-virtual-tree-node"); }

private:
  TVirtualStringTree* FSource;
};
