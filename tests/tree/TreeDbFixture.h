#pragma once
// A real SQLite file with one lookup table (id, parentid, fname[, haschildren]) in a given row
// order, read by a TADOQuery through the data layer, and a tree bound to it with the window's
// settings (KeyFieldName "Id", ParentFieldName "parentId", ListFieldName "fname", root "-1").
#include "platform/data/ado/ADOConnection.h"
#include "platform/data/ado/ADOQuery.h"
#include "platform/data/cursor/DataLink.h"
#include "platform/data/cursor/DataSource.h"
#include "tree/TLxADOTree.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>
#include <ostream>
#include <vector>

inline void PrintTo(const QString& Text, std::ostream* Os) { *Os << '"' << Text.toStdString() << '"'; }

// The inner operations a test looks at.
class TTestTree : public TLxADOTree {
public:
  using TLxDBTreeView::DataRecordChanged;
  using TLxDBTreeView::FCloneDataSet;
  using TLxDBTreeView::FindNode;
  using TLxDBTreeView::GetNodeCaption;
  using TLxDBTreeView::NodeItem;
  using TLxDBTreeView::Nodes;
  QStringList IndexKeys() const {
    QStringList keys;
    for (int i = 0; i < Nodes().Count(); ++i) keys << Nodes().GetKey(i);
    return keys;
  }
  PVirtualNode Node(int Key) const { return FindNode(Key); }
  QString KeyOf(PVirtualNode N) const {
    TLxNodeItem* item = NodeItem(N);
    return item ? item->Key() : QStringLiteral("none");
  }
};

// Counts the master's notifications as any other control on the same data source would see them.
class TCountingLink : public TDataLink {
public:
  int Scrolled = 0;
  int Changed = 0;

protected:
  void DataSetScrolled(int) override { ++Scrolled; }
  void DataSetChanged() override { ++Changed; }
};

struct TLookupRow {
  QVariant Id;
  QVariant ParentId;
  QVariant Caption;
  QVariant HasChildren = {};
};

class TTreeDb {
public:
  // Writes the rows into a new database file; they come back in this order.
  explicit TTreeDb(const std::vector<TLookupRow>& Rows);
  void Exec(const QString& Sql);  // straight into the file, past the data layer
  QString FileName() const { return FDir.filePath(QStringLiteral("lookups.db")); }

  TADOConnection Connection;
  TADOQuery Query;  // SELECT id, parentid, fname, haschildren ... in row order
  TDataSource Source{&Query};

private:
  QTemporaryDir FDir;
};

// Shape of the nodes that exist, in pre-order: one dot per level, the caption, "+" for the
// has-children mark, "*" for the focused node.
QStringList Shape(TTestTree& Tree);

// Binds Tree to Db with the window's settings; the query is not opened.
void Bind(TTestTree& Tree, TTreeDb& Db);

// The A/B/C/D example: (1,-1,A) (2,1,B) (3,1,C) (4,-1,D).
std::vector<TLookupRow> AbcdRows();
