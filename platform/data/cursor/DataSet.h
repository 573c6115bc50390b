#pragma once
// A client-side static cursor: the whole result is held in memory (a TRowStore that clones share),
// and this cursor keeps its own position, filter, sort and edit buffer over it.
//
//   query.Open();
//   for (query.First(); !query.Eof(); query.Next()) Use(query.FieldByName(u"fname"_s).AsString());
//
// Navigation follows the component convention: Next on the last row sets Eof and stays there, as
// Prior on the first sets Bof; First sets Bof, Last sets Eof; an empty view has both. Moving (First/Next/Prior/Last/Locate/GotoBookmark) while
// editing or inserting posts the edit first. Operations other than the state queries raise
// "Cannot perform this operation on a closed dataset" while closed.
//
// Filters ("parentid=12", "(F) AND (parentid=12)", "fname <> 'x' OR id IS NULL"): AND, OR, NOT,
// parentheses, = <> != < > <= >=, numbers, 'quoted' strings ('' doubles a quote), [bracketed names],
// NULL, IS [NOT] NULL. "= NULL" / "<> NULL" test for NULL as well. Any other comparison with NULL
// is false. Text compares without regard to case; a literal is converted to its field's kind, so
// id = '12' matches the integer 12. A malformed text raises from SetFilter:
// "Invalid filter expression '%s': %s at position %s"; an unknown field raises "Field '%s' not
// found" when the filter is applied. A conjunct "field = literal" is served from the field's index
// (O(log N + matches)); Locate and Lookup likewise. Indexes live with the rows, are shared by
// clones, and are rebuilt lazily after Post or Delete. Switching Filtered off and on again with an
// unchanged text reuses the filtered rows.
//
// Sort: "name [ASC|DESC][, name ...]", stable; "" is row order. Text sorts without regard to case,
// NULL first.
//
// Notifications to the links of the data sources over this dataset (none while ControlsDisabled):
//   Open, Close                                      ActiveChanged
//   First/Next/Prior/Last/Locate/GotoBookmark moving  DataSetScrolled(distance); no move, no notice
//   Edit                                             RecordChanged(nullptr)
//   TField::SetValue in dsEdit/dsInsert              RecordChanged(field)
//   Insert, Append, Post, Cancel, Delete             DataSetChanged, sent after the state change
//                                                    (Post is back in dsBrowse when it notifies)
//   SetFilter, SetFiltered, SetSort while open       DataSetChanged (after moving to the first row)
//   EnableControls back to zero                      ActiveChanged if Active changed meanwhile,
//                                                    else DataSetChanged if anything was held back
// A notice goes out once the cursor's state is complete, so a handler may move the cursor again.
// Unposted edits live in the editing cursor only: a clone sees a change once it is posted.
#include "platform/data/cursor/Bookmark.h"
#include "platform/data/cursor/DataTypes.h"
#include "platform/data/cursor/Field.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class TDataSource;
class TRowStore;
class TRowView;
class TFilterExpression;

class TDataSet {
public:
  TDataSet();
  TDataSet(const TDataSet&) = delete;
  TDataSet& operator=(const TDataSet&) = delete;
  // Detaches every data source (their links see the dataset go).
  virtual ~TDataSet();

  void Open();
  void Close();  // cancels an unposted edit; keeps Filter, Filtered and Sort for the next Open
  bool Active() const { return FState != dsInactive; }
  void SetActive(bool Value);
  TDataSetState State() const { return FState; }

  void First();
  void Next();
  void Prior();
  void Last();
  bool Eof() const;
  bool Bof() const;
  bool IsEmpty() const;     // with the filter applied; O(1) once the view is made
  int RecordCount() const;  // with the filter applied; 0 when closed
  int RecNo() const;        // 1-based position in the view, 0 when there is no current row

  TField& FieldByName(const QString& FieldName);  // case-insensitive; "Field '%s' not found"
  TField* FindField(const QString& FieldName);    // nullptr when missing or closed
  int FieldCount() const { return static_cast<int>(FFields.size()); }
  TField& Fields(int Index);

  const QString& Filter() const { return FFilter; }
  void SetFilter(const QString& Value);
  bool Filtered() const { return FFiltered; }
  void SetFiltered(bool Value);
  const QString& Sort() const { return FSort; }
  void SetSort(const QString& Value);

  // First row of the view, in view order, whose FieldName equals Value; moves there when found.
  bool Locate(const QString& FieldName, const QVariant& Value);
  // ResultField of that row without moving; a null QVariant when no row matches.
  QVariant Lookup(const QString& KeyField, const QVariant& KeyValue, const QString& ResultField);
  // Whether any row, filtered out or not, has FieldName equal to Value (a NULL Value matches no
  // row); no move, no notice. What Lookup(F, V, F) not being NULL says with Filtered off.
  bool ExistsUnfiltered(const QString& FieldName, const QVariant& Value);

  TBookmark GetBookmark() const;  // none when there is no current row
  // "Record not found" when the row is gone or filtered out; a none bookmark does nothing.
  void GotoBookmark(const TBookmark& Bookmark);
  bool BookmarkValid(const TBookmark& Bookmark) const;  // the row exists and is in the view

  void Edit();             // "Cannot edit an empty dataset" when there is no row
  void Insert();           // the new row will go before the current one
  void Append();           // the new row will go after the last one
  void Delete();           // the current row; the cursor goes to the row after it (or the new last one)
  void Post();             // writes the edit buffer into the shared rows; the cursor stays on that row
  void Cancel();           // drops the edit buffer
  void CheckBrowseMode();  // posts a pending edit

  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return FDisableCount > 0; }

  // The value of field Index in the current row (the edit buffer's while editing).
  QVariant GetFieldValue(int Index) const;
  // The same value in place, for readers that need no copy; nullptr where GetFieldValue gives a
  // NULL of its own (closed, no such field, no current row). Valid until the cursor moves or the
  // rows change.
  const QVariant* FieldValueRef(int Index) const;
  void SetFieldValue(int Index, const QVariant& Value);

protected:
  // Fetches the rows that Open shows; derived classes run their query here.
  virtual std::shared_ptr<TRowStore> OpenCursor() = 0;
  // Raises when this cursor may not write (the read-only clone).
  virtual void CheckCanModify() const {}
  const std::shared_ptr<TRowStore>& Store() const { return FStore; }

private:
  friend class TDataSource;
  enum class TEvent { ActiveChanged, DataSetChanged, DataSetScrolled, RecordChanged };

  void CheckActive() const;
  void Activate(std::shared_ptr<TRowStore> Store);
  void Notify(TEvent Event, int Distance = 0, TField* Field = nullptr);
  void Sync() const;             // catches up with row changes made through another cursor
  const TRowView& View() const;  // call after Sync
  const TRowView& PlainView() const;
  int FindInView(const QString& FieldName, const QVariant& Value) const;
  void MoveTo(int ViewIndex, bool AtBof, bool AtEof);  // notifies DataSetScrolled on a change of row
  void Reposition();                                   // to the first row without notice (after refilter/resort)
  bool HasCurrentRow() const { return FRecNo >= 0; }
  std::vector<QVariant> CurrentValues() const;

  TDataSetState FState = dsInactive;
  std::shared_ptr<TRowStore> FStore;
  std::vector<std::unique_ptr<TField>> FFields;
  std::vector<TDataSource*> FDataSources;

  QString FFilter;
  bool FFiltered = false;
  QString FSort;
  std::shared_ptr<const TFilterExpression> FFilterExpression;

  // Views are made on demand and dropped when the rows change (the store's version moves on).
  mutable std::shared_ptr<const TRowView> FPlainView;     // sorted, unfiltered
  mutable std::shared_ptr<const TRowView> FFilteredView;  // sorted and filtered
  mutable quint64 FViewVersion = 0;

  // The position: an index in the view (-1: none) and the row's id, which finds the row again
  // after the rows change.
  mutable int FRecNo = -1;
  mutable quint64 FCurrentRowId = 0;
  mutable bool FEof = true;
  mutable bool FBof = true;

  // The current row's values as FieldValueRef hands them out (see there).
  mutable quint64 FRowCacheStore = 0;  // the store's serial: a new store may reuse an old one's address
  mutable quint64 FRowCacheVersion = 0;
  mutable int FRowCachePosition = -1;
  mutable quint64 FRowCacheGeneration = 1;
  mutable std::vector<QVariant> FRowCache;
  mutable std::vector<quint64> FRowCacheGenerations;  // a slot holds the current row's value when equal

  std::vector<QVariant> FEditBuffer;
  bool FInsertAtEnd = false;
  quint64 FInsertBeforeId = 0;  // row an Insert goes before; 0 appends

  int FDisableCount = 0;
  bool FHeldChange = false;
  bool FActiveChangedWhileDisabled = false;
};
