// Building nodes from the clone: activation, the top level, branches on first need, text and images.
#include "tree/TLxDBTreeView.h"

#include "tree/TUpdateBracket.h"

#include <charconv>

namespace {
QString VariantText(const QVariant& Value) { return Value.isNull() ? QString() : Value.toString(); }

// TField::AsString for the kinds keys and captions come in, without its detour through Qt's
// general conversion: it is read twice for every node a load adds.
QString FieldText(const TField* Field) {
  if (!Field) return {};
  const QVariant* value = Field->DataSet()->FieldValueRef(Field->Index());
  if (value && !value->isNull()) {
    if (value->typeId() == QMetaType::Int) {
      // QString::number's digits, without its trip through the locale code.
      char digits[16];
      const auto end = std::to_chars(digits, digits + sizeof digits, *static_cast<const int*>(value->constData())).ptr;
      return QString::fromLatin1(digits, end - digits);
    }
    if (value->typeId() == QMetaType::QString) return *static_cast<const QString*>(value->constData());
  }
  return Field->AsString();
}
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
  PVirtualNode node = AddChild(Parent);
  TLxNodeItem* item = FNodes->InsertItem(FieldText(FCloneKeyField), node);
  *static_cast<TLxNodeItem**>(GetNodeData(node)) = item;
  item->SetCaption(FieldText(FCloneListField));
  SetHasChildren(node, FCloneHasChildrenField ? FCloneHasChildrenField->AsBoolean() : HasChildRecords(node));
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

PVirtualNode TLxDBTreeView::FindNode(const QVariant& Key) const {
  const int index = FNodes->Search(VariantText(Key));
  return index == -1 ? nullptr : FNodes->GetNode(index);
}

TLxNodeItem* TLxDBTreeView::NodeItem(PVirtualNode Node) const {
  if (!FNodes || FNodes->Count() == 0) return nullptr;
  auto* data = static_cast<TLxNodeItem**>(GetNodeData(Node));
  return data ? *data : nullptr;
}

void TLxDBTreeView::DoInitChildren(PVirtualNode Node, std::uint32_t& ChildCount) {
  TLxNodeItem* item = NodeItem(Node);
  if (!(Node->States & vsInitialized) || !FCloneDataSet || !item) return;
  TUpdateBracket update(*this);
  SetChildFilter(item->Key());
  ChildCount = LoadFilteredRows(Node);
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
