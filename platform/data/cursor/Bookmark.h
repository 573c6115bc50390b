#pragma once
// A saved row position. A bookmark names a row, not a row number: it stays valid while the row
// exists, whatever is filtered, sorted, inserted or deleted around it, and a clone accepts the
// bookmarks of its master (they share rows). Default-constructed: no row.
#include <QtGlobal>

class TBookmark {
public:
  TBookmark() = default;
  bool IsNone() const { return FRowId == 0; }
  friend bool operator==(const TBookmark&, const TBookmark&) = default;

private:
  friend class TDataSet;
  TBookmark(quint64 StoreSerial, quint64 RowId) : FStoreSerial(StoreSerial), FRowId(RowId) {}
  quint64 FStoreSerial = 0;
  quint64 FRowId = 0;
};
