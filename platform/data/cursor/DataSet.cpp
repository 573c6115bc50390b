#include "platform/data/cursor/DataSet.h"

#include "platform/base/Exception.h"
#include "platform/base/IntegerConversion.h"
#include "platform/data/cursor/DataSource.h"
#include "platform/data/cursor/FieldIndex.h"
#include "platform/data/cursor/FilterExpression.h"
#include "platform/data/cursor/RowStore.h"
#include "platform/data/cursor/RowView.h"
#include "platform/data/cursor/SortOrder.h"
#include "platform/data/cursor/ValueKey.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QVariant NullOf(TFieldType Type) {
  switch (Type) {
  case ftInteger:
    return QVariant(QMetaType::fromType<int>());
  case ftLargeint:
    return QVariant(QMetaType::fromType<qlonglong>());
  case ftFloat:
    return QVariant(QMetaType::fromType<double>());
  case ftBoolean:
    return QVariant(QMetaType::fromType<bool>());
  case ftBlob:
    return QVariant(QMetaType::fromType<QByteArray>());
  case ftString:
  case ftWideString:
    return QVariant(QMetaType::fromType<QString>());
  default:
    return {};
  }
}

// A value written into a field takes the field's kind, as the server's column would.
QVariant ConvertForField(const QVariant& Value, TFieldType Type) {
  if (Value.isNull() || !Value.isValid()) return NullOf(Type);
  switch (Type) {
  case ftInteger:
    if (Value.typeId() == QMetaType::QString) return StrToInt(Value.toString());
    if (Value.canConvert<int>()) return Value.toInt();
    break;
  case ftLargeint:
    if (Value.typeId() == QMetaType::QString) {
      bool ok = false;
      const qlonglong number = Value.toString().trimmed().toLongLong(&ok);
      if (!ok) throw EConvertError(Format(u"''%s'' is not a valid integer value"_s, {Value.toString()}));
      return number;
    }
    return Value.toLongLong();
  case ftFloat: {
    bool ok = false;
    const double number = Value.toDouble(&ok);
    if (!ok) throw EConvertError(Format(u"''%s'' is not a valid floating point value"_s, {Value.toString()}));
    return number;
  }
  case ftString:
  case ftWideString:
    return Value.toString();
  case ftBoolean:
    return Value.toBool();
  default:
    break;
  }
  return Value;
}

}  // namespace

TDataSet::TDataSet() = default;

TDataSet::~TDataSet() {
  for (TDataSource* source : std::vector<TDataSource*>(FDataSources)) source->DataSetGone();
}

void TDataSet::CheckActive() const {
  if (!Active()) throw Exception(u"Cannot perform this operation on a closed dataset"_s);
}

void TDataSet::Open() {
  if (Active()) return;
  Activate(OpenCursor());
}

void TDataSet::SetActive(bool Value) {
  if (Value)
    Open();
  else
    Close();
}

void TDataSet::Activate(std::shared_ptr<TRowStore> Store) {
  FStore = std::move(Store);
  FViewVersion = FStore->Version();
  FPlainView.reset();
  FFilteredView.reset();
  try {
    if (FFiltered && !FFilter.trimmed().isEmpty()) FFilterExpression = TFilterExpression::Parse(FFilter);
    (void)View();  // an unknown field in Sort or Filter fails the Open
  } catch (...) {
    FStore.reset();
    FPlainView.reset();
    FFilteredView.reset();
    throw;
  }
  for (int i = 0; i < FStore->FieldCount(); ++i)
    FFields.push_back(std::make_unique<TField>(this, i, FStore->Field(i).Name, FStore->Field(i).DataType));
  FState = dsBrowse;
  Reposition();
  Notify(TEvent::ActiveChanged);
}

void TDataSet::Close() {
  if (!Active()) return;
  FEditBuffer.clear();
  FState = dsInactive;
  FFields.clear();
  FStore.reset();
  FPlainView.reset();
  FFilteredView.reset();
  FRecNo = -1;
  FCurrentRowId = 0;
  FEof = FBof = true;
  Notify(TEvent::ActiveChanged);
}

void TDataSet::Sync() const {
  if (!FStore || FViewVersion == FStore->Version()) return;
  FViewVersion = FStore->Version();
  FPlainView.reset();
  FFilteredView.reset();
  const TRowView& view = View();
  int index = -1;
  const int position = FStore->PositionOf(FCurrentRowId);
  if (position >= 0) index = view.IndexOfPosition(position);
  if (index < 0 && view.Size() > 0) index = std::clamp(FRecNo, 0, view.Size() - 1);
  if (view.Size() == 0) index = -1;
  FRecNo = index;
  FCurrentRowId = index >= 0 ? FStore->RowId(view.Position(index)) : 0;
  if (index < 0) FEof = FBof = true;
}

const TRowView& TDataSet::PlainView() const {
  if (!FPlainView) FPlainView = std::make_shared<const TRowView>(SortedRows(*FStore, FSort));
  return *FPlainView;
}

const TRowView& TDataSet::View() const {
  if (FFiltered && FFilterExpression) {
    if (!FFilteredView)
      FFilteredView = std::make_shared<const TRowView>(FFilterExpression->Apply(*FStore, PlainView()));
    return *FFilteredView;
  }
  return PlainView();
}

void TDataSet::Reposition() {
  const TRowView& view = View();
  FRecNo = view.Size() > 0 ? 0 : -1;
  FCurrentRowId = FRecNo >= 0 ? FStore->RowId(view.Position(0)) : 0;
  FBof = true;
  FEof = FRecNo < 0;
}

void TDataSet::MoveTo(int ViewIndex, bool AtBof, bool AtEof) {
  const int distance = ViewIndex - FRecNo;
  const quint64 before = FCurrentRowId;
  FRecNo = ViewIndex;
  FCurrentRowId = FStore->RowId(View().Position(ViewIndex));
  // The state is complete before the links hear of it: a handler may move the cursor again.
  FBof = AtBof;
  FEof = AtEof;
  if (FCurrentRowId != before) Notify(TEvent::DataSetScrolled, distance);
}

void TDataSet::First() {
  CheckActive();
  CheckBrowseMode();
  Sync();
  if (View().Size() > 0) {
    MoveTo(0, true, false);
  } else {
    FBof = FEof = true;
  }
}

void TDataSet::Last() {
  CheckActive();
  CheckBrowseMode();
  Sync();
  const int size = View().Size();
  if (size > 0) {
    MoveTo(size - 1, false, true);
  } else {
    FBof = FEof = true;
  }
}

void TDataSet::Next() {
  CheckActive();
  CheckBrowseMode();
  Sync();
  if (FRecNo + 1 < View().Size()) {
    MoveTo(FRecNo + 1, false, false);
  } else {
    FEof = true;
  }
}

void TDataSet::Prior() {
  CheckActive();
  CheckBrowseMode();
  Sync();
  if (FRecNo > 0) {
    MoveTo(FRecNo - 1, false, false);
  } else {
    FBof = true;
  }
}

bool TDataSet::Eof() const {
  if (!Active()) return true;
  Sync();
  return FEof || FRecNo < 0;
}

bool TDataSet::Bof() const {
  if (!Active()) return true;
  Sync();
  return FBof || FRecNo < 0;
}

bool TDataSet::IsEmpty() const { return RecordCount() == 0; }

int TDataSet::RecordCount() const {
  if (!Active()) return 0;
  Sync();
  return View().Size();
}

int TDataSet::RecNo() const {
  if (!Active()) return 0;
  Sync();
  return FRecNo + 1;
}

TField* TDataSet::FindField(const QString& FieldName) {
  if (!FStore) return nullptr;
  const int index = FStore->IndexOf(FieldName);
  return index < 0 ? nullptr : FFields[static_cast<std::size_t>(index)].get();
}

TField& TDataSet::FieldByName(const QString& FieldName) {
  if (TField* field = FindField(FieldName)) return *field;
  throw Exception(Format(u"Field '%s' not found"_s, {FieldName}));
}

TField& TDataSet::Fields(int Index) {
  if (Index < 0 || Index >= FieldCount())
    throw Exception(Format(u"Field index %s out of range"_s, {QString::number(Index)}));
  return *FFields[static_cast<std::size_t>(Index)];
}

void TDataSet::SetFilter(const QString& Value) {
  if (Value == FFilter) return;
  std::shared_ptr<const TFilterExpression> expression;
  if (!Value.trimmed().isEmpty()) expression = TFilterExpression::Parse(Value);
  if (Active() && FFiltered) {
    CheckBrowseMode();
    Sync();
    std::shared_ptr<const TRowView> view;
    if (expression) view = std::make_shared<const TRowView>(expression->Apply(*FStore, PlainView()));
    FFilter = Value;
    FFilterExpression = std::move(expression);
    FFilteredView = std::move(view);
    Reposition();
    Notify(TEvent::DataSetChanged);
    return;
  }
  FFilter = Value;
  FFilterExpression = std::move(expression);
  FFilteredView.reset();
}

void TDataSet::SetFiltered(bool Value) {
  if (Value == FFiltered) return;
  if (!Active()) {
    FFiltered = Value;
    return;
  }
  CheckBrowseMode();
  Sync();
  FFiltered = Value;
  try {
    (void)View();
  } catch (...) {
    FFiltered = !Value;
    throw;
  }
  Reposition();
  Notify(TEvent::DataSetChanged);
}

void TDataSet::SetSort(const QString& Value) {
  if (Value == FSort) return;
  if (!Active()) {
    FSort = Value;
    return;
  }
  CheckBrowseMode();
  Sync();
  auto plain = std::make_shared<const TRowView>(SortedRows(*FStore, Value));
  FSort = Value;
  FPlainView = std::move(plain);
  FFilteredView.reset();
  Reposition();
  Notify(TEvent::DataSetChanged);
}

int TDataSet::FindInView(const QString& FieldName, const QVariant& Value) const {
  const int field = FStore->IndexOf(FieldName);
  if (field < 0) throw Exception(Format(u"Field '%s' not found"_s, {FieldName}));
  const TRowView& view = View();
  const TValueKey key = TValueKey::ForField(Value, FStore->Field(field).DataType);
  if (key.IsNull()) {
    for (int i = 0; i < view.Size(); ++i)
      if (FStore->IsNull(view.Position(i), field)) return i;
    return -1;
  }
  const TFieldIndex& index = FStore->Index(field);
  if (view.IsAllRows()) return index.FirstPosition(key);
  int best = -1;
  for (int position : index.EqualPositions(key)) {
    const int place = view.IndexOfPosition(position);
    if (place >= 0 && (best < 0 || place < best)) best = place;
  }
  return best;
}

bool TDataSet::Locate(const QString& FieldName, const QVariant& Value) {
  CheckActive();
  CheckBrowseMode();
  Sync();
  const int index = FindInView(FieldName, Value);
  if (index < 0) return false;
  MoveTo(index, false, false);
  return true;
}

QVariant TDataSet::Lookup(const QString& KeyField, const QVariant& KeyValue, const QString& ResultField) {
  CheckActive();
  Sync();
  const int result = FStore->IndexOf(ResultField);
  if (result < 0) throw Exception(Format(u"Field '%s' not found"_s, {ResultField}));
  const int index = FindInView(KeyField, KeyValue);
  if (index < 0) return {};
  return FStore->Value(View().Position(index), result);
}

bool TDataSet::ExistsUnfiltered(const QString& FieldName, const QVariant& Value) {
  CheckActive();
  Sync();
  const int field = FStore->IndexOf(FieldName);
  if (field < 0) throw Exception(Format(u"Field '%s' not found"_s, {FieldName}));
  const TValueKey key = TValueKey::ForField(Value, FStore->Field(field).DataType);
  // Without the filter every row is in view, whatever the sort: the field's index alone answers.
  return !key.IsNull() && FStore->Index(field).FirstPosition(key) >= 0;
}

TBookmark TDataSet::GetBookmark() const {
  if (!Active()) return {};
  Sync();
  if (!HasCurrentRow()) return {};
  return TBookmark(FStore->Serial(), FCurrentRowId);
}

bool TDataSet::BookmarkValid(const TBookmark& Bookmark) const {
  if (!Active() || Bookmark.IsNone() || Bookmark.FStoreSerial != FStore->Serial()) return false;
  Sync();
  const int position = FStore->PositionOf(Bookmark.FRowId);
  return position >= 0 && View().IndexOfPosition(position) >= 0;
}

void TDataSet::GotoBookmark(const TBookmark& Bookmark) {
  CheckActive();
  if (Bookmark.IsNone()) return;  // what an empty cursor handed out
  CheckBrowseMode();
  if (!BookmarkValid(Bookmark)) throw Exception(u"Record not found"_s);
  MoveTo(View().IndexOfPosition(FStore->PositionOf(Bookmark.FRowId)), false, false);
}

std::vector<QVariant> TDataSet::CurrentValues() const { return FStore->RowValues(View().Position(FRecNo)); }

QVariant TDataSet::GetFieldValue(int Index) const {
  if (const QVariant* value = FieldValueRef(Index)) return *value;
  if (!Active() || Index < 0 || Index >= FStore->FieldCount()) return {};
  return NullOf(FStore->Field(Index).DataType);
}

const QVariant* TDataSet::FieldValueRef(int Index) const {
  if (!Active() || Index < 0 || Index >= FStore->FieldCount()) return nullptr;
  if (FState == dsEdit || FState == dsInsert) return &FEditBuffer[static_cast<std::size_t>(Index)];
  Sync();
  if (!HasCurrentRow()) return nullptr;
  // The rows hold no QVariants; the current row's values are made once per row and field, so that
  // a reader may keep the reference until the cursor moves.
  const int position = View().Position(FRecNo);
  if (FRowCacheStore != FStore->Serial() || FRowCacheVersion != FStore->Version() || FRowCachePosition != position) {
    FRowCacheStore = FStore->Serial();
    FRowCacheVersion = FStore->Version();
    FRowCachePosition = position;
    ++FRowCacheGeneration;  // every slot is stale now, without touching them
    const auto fields = static_cast<std::size_t>(FStore->FieldCount());
    if (FRowCache.size() != fields) {
      FRowCache.assign(fields, QVariant());
      FRowCacheGenerations.assign(fields, 0);
    }
  }
  const auto slot = static_cast<std::size_t>(Index);
  if (FRowCacheGenerations[slot] != FRowCacheGeneration) {
    FRowCache[slot] = FStore->Value(position, Index);
    FRowCacheGenerations[slot] = FRowCacheGeneration;
  }
  return &FRowCache[slot];
}

void TDataSet::SetFieldValue(int Index, const QVariant& Value) {
  if (FState != dsEdit && FState != dsInsert) throw Exception(u"Dataset not in edit or insert mode"_s);
  FEditBuffer[static_cast<std::size_t>(Index)] = ConvertForField(Value, FStore->Field(Index).DataType);
  Notify(TEvent::RecordChanged, 0, FFields[static_cast<std::size_t>(Index)].get());
}

void TDataSet::Edit() {
  CheckActive();
  CheckCanModify();
  if (FState == dsEdit || FState == dsInsert) return;
  Sync();
  if (!HasCurrentRow()) throw Exception(u"Cannot edit an empty dataset"_s);
  FEditBuffer = CurrentValues();
  FState = dsEdit;
  Notify(TEvent::RecordChanged);
}

void TDataSet::Insert() {
  CheckActive();
  CheckCanModify();
  CheckBrowseMode();
  Sync();
  FEditBuffer.clear();
  for (int i = 0; i < FStore->FieldCount(); ++i) FEditBuffer.push_back(NullOf(FStore->Field(i).DataType));
  FInsertAtEnd = false;
  FInsertBeforeId = HasCurrentRow() ? FCurrentRowId : 0;
  FState = dsInsert;
  Notify(TEvent::DataSetChanged);
}

void TDataSet::Append() {
  Insert();
  FInsertAtEnd = true;
  FInsertBeforeId = 0;
}

void TDataSet::Post() {
  CheckActive();
  if (FState != dsEdit && FState != dsInsert) throw Exception(u"Dataset not in edit or insert mode"_s);
  if (FState == dsEdit) {
    const int position = FStore->PositionOf(FCurrentRowId);
    if (position < 0) throw Exception(u"Record not found"_s);
    FStore->UpdateRow(position, std::move(FEditBuffer));
  } else {
    int position = FInsertAtEnd ? FStore->RowCount() : FStore->PositionOf(FInsertBeforeId);
    if (position < 0) position = FStore->RowCount();
    FCurrentRowId = FStore->InsertRow(position, std::move(FEditBuffer));
  }
  FEditBuffer.clear();
  FState = dsBrowse;
  Sync();
  FEof = FBof = false;
  if (!HasCurrentRow()) FEof = FBof = true;
  Notify(TEvent::DataSetChanged);
}

void TDataSet::Cancel() {
  if (FState != dsEdit && FState != dsInsert) return;
  FEditBuffer.clear();
  FState = dsBrowse;
  Notify(TEvent::DataSetChanged);
}

void TDataSet::CheckBrowseMode() {
  if (FState == dsEdit || FState == dsInsert) Post();
}

void TDataSet::Delete() {
  CheckActive();
  CheckCanModify();
  if (FState == dsInsert) {
    Cancel();
    return;
  }
  if (FState == dsEdit) {
    FEditBuffer.clear();
    FState = dsBrowse;
  }
  Sync();
  if (!HasCurrentRow()) throw Exception(u"Cannot delete from an empty dataset"_s);
  const TRowView& view = View();
  quint64 next = 0;
  if (FRecNo + 1 < view.Size())
    next = FStore->RowId(view.Position(FRecNo + 1));
  else if (FRecNo > 0)
    next = FStore->RowId(view.Position(FRecNo - 1));
  FStore->DeleteRow(FStore->PositionOf(FCurrentRowId));
  FCurrentRowId = next;
  Sync();
  FBof = FEof = !HasCurrentRow();
  Notify(TEvent::DataSetChanged);
}

void TDataSet::DisableControls() { ++FDisableCount; }

void TDataSet::EnableControls() {
  if (FDisableCount == 0) return;
  if (--FDisableCount > 0) return;
  const bool activeChanged = FActiveChangedWhileDisabled;
  const bool held = FHeldChange;
  FActiveChangedWhileDisabled = false;
  FHeldChange = false;
  if (activeChanged)
    Notify(TEvent::ActiveChanged);
  else if (held && Active())
    Notify(TEvent::DataSetChanged);
}

void TDataSet::Notify(TEvent Event, int Distance, TField* Field) {
  if (FDisableCount > 0) {
    if (Event == TEvent::ActiveChanged)
      FActiveChangedWhileDisabled = true;
    else
      FHeldChange = true;
    return;
  }
  for (TDataSource* source : std::vector<TDataSource*>(FDataSources)) {
    if (std::find(FDataSources.begin(), FDataSources.end(), source) == FDataSources.end()) continue;
    switch (Event) {
    case TEvent::ActiveChanged:
      source->UpdateLinksActive();
      break;
    case TEvent::DataSetChanged:
      source->NotifyDataSetChanged();
      break;
    case TEvent::DataSetScrolled:
      source->NotifyScrolled(Distance);
      break;
    case TEvent::RecordChanged:
      source->NotifyRecordChanged(Field);
      break;
    }
  }
}
