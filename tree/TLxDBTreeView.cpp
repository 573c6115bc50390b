// Building nodes from the clone: activation, the top level, branches on first need, text and images.
#include "tree/TLxDBTreeView.h"

#include "platform/base/IntegerConversion.h"
#include "platform/vtree/TUpdateBracket.h"

#include <utility>

namespace {
QString VariantText(const QVariant& Value) { return Value.isNull() ? QString() : Value.toString(); }
}  // namespace

TLxDBTreeView::TLxDBTreeView()
    : FDBTreeFields(std::make_unique<TLxDBTreeFields>(this)), FDBTreeImages(std::make_unique<TLxDBTreeImages>()) {
  FNodes = std::make_unique<TLxNodeList>();
  FDataLink = std::make_unique<TLxDBTreeViewLink>(this);
  TreeOptions.PaintOptions &= ~std::uint32_t(toUseBlendedImages);
  SetNodeDataSize(sizeof(TLxNodeItem*));
  SetRootNodeCount(0);
}

TLxDBTreeView::~TLxDBTreeView() {
  DetachEvents();
  FDataLink->SetDataSource(nullptr);  // deactivates: the tree is emptied and the clone goes
  FreeCloneDataSet();
  Clear();  // nodes added by hand outside any binding, while the hooks still work
  FDBTreeFields.reset();
  FDBTreeImages.reset();
  FNodes.reset();
  FDataLink.reset();
}

void TLxDBTreeView::SetDataSource(TDataSource* Value) {
  if (Value == FDataLink->DataSource()) return;
  FDataLink->SetDataSource(Value);
}

void TLxDBTreeView::Clear() {
  if (FNodes) FNodes->ClearItems();
  TVirtualStringTree::Clear();
}

void TLxDBTreeView::DataActiveChanged() {
  ForgetChildTable();
  FChildFilterOwed.reset();  // the clone it was owed to goes
  if (FDataLink->Active() && FDataLink->IsDataAvail()) {
    if (FCloneDataSet) {
      // A field name changed while open: the old clone and its nodes go before the new clone comes.
      {
        TUpdateBracket update(*this);
        Clear();
      }
      FreeCloneDataSet();
    }
    CreateCloneDataSet();
    BindCloneFields();
    LoadRootNodes();
    SyncToCurrentRecord();
  } else {
    {
      TUpdateBracket update(*this);
      Clear();
    }
    FreeCloneDataSet();
  }
}

void TLxDBTreeView::BindCloneFields() {
  FCloneHasChildrenField = FCloneKeyField = FCloneParentField = FCloneListField = nullptr;
  if (!FCloneDataSet) return;
  auto find = [&](const QString& name) { return name.isEmpty() ? nullptr : FCloneDataSet->FindField(name); };
  FCloneHasChildrenField = find(FDBTreeFields->HasChildrenFieldName());
  FCloneKeyField = find(FDBTreeFields->KeyFieldName());
  FCloneParentField = find(FDBTreeFields->ParentFieldName());
  FCloneListField = find(FDBTreeFields->ListFieldName());
}

void TLxDBTreeView::FreeCloneDataSet() {
  FCloneHasChildrenField = FCloneKeyField = FCloneParentField = FCloneListField = nullptr;
  if (!FCloneDataSet) return;
  FCloneDataSet->Close();
  FCloneDataSet.reset();
}

void TLxDBTreeView::SetChildFilter(const QString& Value) {
  if (!FCloneDataSet) return;
  const QString& parentField = FDBTreeFields->ParentFieldName();
  TDataSet* master = Master();
  // A master switched to filtered with an empty text filters nothing; "()" would be malformed.
  if (master && master->Filtered() && !master->Filter().isEmpty())
    FCloneDataSet->SetFilter(QStringLiteral("(") + master->Filter() + QStringLiteral(") AND (") + parentField +
                             QStringLiteral("=") + Value + QStringLiteral(")"));
  else
    FCloneDataSet->SetFilter(parentField + QStringLiteral("=") + Value);
}

void TLxDBTreeView::SwitchCloneFilterOff() noexcept {
  try {
    if (FCloneDataSet && FCloneDataSet->Active()) FCloneDataSet->SetFiltered(false);
  } catch (...) {
    // Already failing: the first error is the one to report.
  }
}

std::uint32_t TLxDBTreeView::LoadFilteredRows(PVirtualNode Parent) {
  std::uint32_t count = 0;
  try {
    FCloneDataSet->SetFiltered(true);
    for (FCloneDataSet->First(); !FCloneDataSet->Eof(); FCloneDataSet->Next()) {
      AddNode(Parent);
      ++count;
    }
  } catch (...) {
    SwitchCloneFilterOff();
    throw;
  }
  FCloneDataSet->SetFiltered(false);
  return count;
}

void TLxDBTreeView::LoadRootNodes() {
  TUpdateBracket update(*this);
  Clear();
  if (!FCloneDataSet) return;
  SetChildFilter(FDBTreeFields->ParentOfRootValue());
  LoadFilteredRows(nullptr);
}

PVirtualNode TLxDBTreeView::AddNode(PVirtualNode Parent) {
  PVirtualNode node = AddItemNode(Parent, FCloneKeyField ? FCloneKeyField->AsString() : QString(),
                                  FCloneListField ? FCloneListField->AsString() : QString());
  SetHasChildren(node, FCloneHasChildrenField ? FCloneHasChildrenField->AsBoolean() : HasChildRecords(node));
  return node;
}

PVirtualNode TLxDBTreeView::AddItemNode(PVirtualNode Parent, const QString& Key, const QString& Caption) {
  PVirtualNode node = AddChild(Parent);
  TLxNodeItem* item = FNodes->InsertItem(Key, node);
  *static_cast<TLxNodeItem**>(GetNodeData(node)) = item;
  item->SetCaption(Caption);
  return node;
}

bool TLxDBTreeView::HasChildRecords(PVirtualNode Node) {
  TLxNodeItem* item = NodeItem(Node);
  if (!FCloneDataSet || !item) return false;
  // Asked once per loaded node: the unfiltered rows answer directly, where switching the clone's
  // filter off and on and going back to its row would cost more than the lookup.
  return FCloneDataSet->ExistsUnfiltered(FDBTreeFields->ParentFieldName(), item->Key());
}

bool TLxDBTreeView::NodeHasChildren() {
  if (!FCloneDataSet || !FCloneKeyField) return false;
  const QVariant key = FCloneKeyField->Value();
  const TBookmark bookmark = FCloneDataSet->GetBookmark();
  const bool filtered = FCloneDataSet->Filtered();
  FCloneDataSet->SetFiltered(false);
  const bool found = FCloneDataSet->Locate(FDBTreeFields->ParentFieldName(), key);
  FCloneDataSet->SetFiltered(filtered);
  if (FCloneDataSet->BookmarkValid(bookmark)) FCloneDataSet->GotoBookmark(bookmark);
  return found;
}

PVirtualNode TLxDBTreeView::FindNode(const QVariant& Key) const { return FNodes->NodeByID(VariantText(Key)); }

TLxNodeItem* TLxDBTreeView::NodeItem(PVirtualNode Node) const {
  if (!FNodes || FNodes->Count() == 0) return nullptr;
  auto* data = static_cast<TLxNodeItem**>(GetNodeData(Node));
  return data ? *data : nullptr;
}

void TLxDBTreeView::DoInitChildren(PVirtualNode Node, std::uint32_t& ChildCount) {
  TLxNodeItem* item = NodeItem(Node);
  if (!(Node->States & vsInitialized) || !FCloneDataSet || !item) return;
  TUpdateBracket update(*this);
  if (const std::shared_ptr<const TLxChildTable> table = FChildTable) {
    std::int64_t key = 0;
    if (TLxChildTable::ParseKey(item->Key(), key)) {
      FChildFilterOwed = item->Key();
      ChildCount = LoadTableRows(*table, Node, key);
      return;
    }
  }
  FChildFilterOwed.reset();  // the filtered load leaves the clone as it should be
  SetChildFilter(item->Key());
  ChildCount = LoadFilteredRows(Node);
  if (FFullExpanding > 0) ConsiderChildTable(item->Key(), ChildCount);
}

void TLxDBTreeView::ConsiderChildTable(const QString& Key, std::uint32_t Loaded) {
  FLoadedInFullExpand += Loaded;
  if (FChildTable || FChildTableRefused || !FCloneKeyField || !FCloneParentField) return;
  // The whole tree loads every row that hangs under the top level: the pass pays at once. One
  // branch may hold few of the rows: the pass waits until the loads have brought a share of them.
  const auto rows = static_cast<std::uint32_t>(FCloneDataSet->RecordCount());
  if (!FWholeTreeExpanding && FLoadedInFullExpand < rows / 16) return;
  // Only where the filter is the plain "parent=key": a master filter or a descendant's own
  // child filter decides more than the table knows.
  FChildTableRefused = true;
  if (FCloneDataSet->Filter() != FDBTreeFields->ParentFieldName() + QStringLiteral("=") + Key) return;
  auto table = std::make_shared<TLxChildTable>();
  FChildFilterOwed = Key;  // the pass below moves the clone
  if (!table->Build(*FCloneDataSet, *FCloneKeyField, *FCloneParentField, FCloneListField, FCloneHasChildrenField))
    return;
  FNodes->Reserve(static_cast<int>(rows));
  FChildTable = std::move(table);
}

std::uint32_t TLxDBTreeView::LoadTableRows(const TLxChildTable& Table, PVirtualNode Parent, std::int64_t Key) {
  std::uint32_t count = 0;
  Table.ForEachChild(Key, [&](const TLxChildTable::TRow& Row) {
    SetHasChildren(AddItemNode(Parent, IntToStr(Row.Key), Row.Caption), Row.HasChildren);
    ++count;
  });
  return count;
}

void TLxDBTreeView::DoBeforeFullExpand(PVirtualNode Node) {
  if (FFullExpanding++ > 0) return;
  FWholeTreeExpanding = Node == nullptr;
  FLoadedInFullExpand = 0;
  FChildTableRefused = false;
}

void TLxDBTreeView::DoAfterFullExpand() {
  if (--FFullExpanding > 0) return;
  FChildTable.reset();
  SettleChildFilter();
}

void TLxDBTreeView::SettleChildFilter() {
  if (!FChildFilterOwed) return;
  const QString key = *std::exchange(FChildFilterOwed, std::nullopt);
  if (!FCloneDataSet || !FCloneDataSet->Active()) return;
  SetChildFilter(key);
  FCloneDataSet->SetFiltered(false);
  FCloneDataSet->First();
}

void TLxDBTreeView::DoFreeNode(PVirtualNode Node) {
  if (Node == FDraggedNode) FDraggedNode = nullptr;
  TLxNodeItem* item = NodeItem(Node);
  if (FNodes && item) {
    const int index = FNodes->Search(item->Key());
    if (index != -1) {
      FNodes->Delete(index);
      delete item;
    }
  }
  TVirtualStringTree::DoFreeNode(Node);
}

void TLxDBTreeView::DoGetText(PVirtualNode Node, TColumnIndex /*Column*/, TVSTTextType /*TextType*/,
                              QString& CellText) {
  try {
    if (TLxNodeItem* item = NodeItem(Node)) CellText = item->Caption();
  } catch (...) {
    // A node whose item cannot be read keeps the text the control passed.
  }
}

void TLxDBTreeView::DoGetImageIndex(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column, bool& Ghosted,
                                    int& Index) {
  if (OnGetImageIndex) {
    TVirtualStringTree::DoGetImageIndex(Node, Kind, Column, Ghosted, Index);
    return;
  }
  const bool hasChildren = Node->States & vsHasChildren;
  if (Kind == ikNormal)
    Index = hasChildren ? FDBTreeImages->HasChildrenImageIndex() : FDBTreeImages->NoChildrenImageIndex();
  else if (Kind == ikSelected)
    Index = hasChildren ? FDBTreeImages->HasChildrenSelectedIndex() : FDBTreeImages->NoChildrenSelectedIndex();
}

void TLxDBTreeView::DoKeyDown(int& /*Key*/) {
  // Key presses are not reported; the view's own navigation and check boxes still work.
}
