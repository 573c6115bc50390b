// Keeping tree and master in step after loading: following the master's row, reflecting posted
// changes, and writing caption edits and drag-and-drop moves back.
#include "tree/TLxDBTreeView.h"

#include "platform/base/Exception.h"
#include "platform/vtree/TUpdateBracket.h"
#include "tree/LxCommon.h"
#include "tree/TFlagGuard.h"

#include <QSet>
#include <exception>

namespace {
QString VariantText(const QVariant& Value) { return Value.isNull() ? QString() : Value.toString(); }
}  // namespace

void TLxDBTreeView::SyncCloneToMaster() {
  TDataSet* master = Master();
  if (!FCloneDataSet || !master || master->ControlsDisabled()) return;
  FCloneDataSet->SetFiltered(false);
  const QString& keyField = FDBTreeFields->KeyFieldName();
  FCloneDataSet->Locate(keyField, master->FieldByName(keyField).Value());
}

void TLxDBTreeView::FocusNode(PVirtualNode Node) {
  SetSelected(FocusedNode(), false);
  SetFocusedNode(Node);
  SetSelected(Node, true);
}

QString TLxDBTreeView::GetNodeCaption(PVirtualNode Node) const {
  TLxNodeItem* item = NodeItem(Node);
  return item ? item->Caption().trimmed() : QString();
}

void TLxDBTreeView::SyncToCurrentRecord() {
  if (!FCloneDataSet || !FCloneDataSet->Active() || FCloneDataSet->IsEmpty()) return;
  TFlagGuard scrolling(FScrolling);
  try {
    SyncCloneToMaster();
    const QString key = FCloneKeyField ? FCloneKeyField->AsString() : QString();
    if (PVirtualNode node = FindNode(key))
      FocusNode(node);
    else
      FocusNode(FindOrLoadNode(key));
  } catch (const std::exception&) {
    // Following the master is best effort: a failed load leaves the focus where it is.
  }
}

PVirtualNode TLxDBTreeView::FindOrLoadNode(const QVariant& Key) {
  // Up the parent chain to the root value or a node that exists, then down again, expanding each
  // level. A chain that comes back to a key it has passed is a missing parent, not a recursion.
  const QString& rootValue = FDBTreeFields->ParentOfRootValue();
  QStringList chain;  // keys without a node, the wanted one first
  QSet<QString> seen;
  QString key = VariantText(Key);
  PVirtualNode base = nullptr;
  while (true) {
    if (key == rootValue) {
      base = RootNode();
      break;
    }
    if ((base = FindNode(key))) break;
    const QVariant parent = seen.contains(key) ? QVariant()
                                               : FCloneDataSet->Lookup(FDBTreeFields->KeyFieldName(), key,
                                                                       FDBTreeFields->ParentFieldName());
    if (parent.isNull()) {
      ShowInformation(
          Format(QStringLiteral("Can not find parent (%s=%s). Wrong database."), {FDBTreeFields->KeyFieldName(), key}));
      return nullptr;
    }
    seen.insert(key);
    chain.push_back(key);
    key = VariantText(parent);
  }
  for (qsizetype i = chain.size() - 1; i >= 0; --i) {
    SetExpanded(base, true);  // nothing for the hidden root
    base = FindNode(chain[i]);
    if (!base) return nullptr;
  }
  return base;
}

void TLxDBTreeView::DoChange(PVirtualNode Node) {
  TVirtualStringTree::DoChange(Node);
  if (FScrolling || FRecordChaning || !FDataLink->IsDataAvail()) return;
  TLxNodeItem* item = NodeItem(FocusedNode());
  if (!item) return;
  try {
    Master()->Locate(FDBTreeFields->KeyFieldName(), item->Key());
  } catch (const std::exception&) {
    // The master stays where it was.
  }
}

void TLxDBTreeView::CheckFocusedRecord() {
  PVirtualNode focused = FocusedNode();
  if (!FCloneDataSet || !focused) return;
  SyncCloneToMaster();
  TLxNodeItem* item = NodeItem(focused);
  if (!item) return;
  const TBookmark bookmark = FCloneDataSet->GetBookmark();
  PVirtualNode next = nullptr;
  if (!FCloneDataSet->Locate(FDBTreeFields->KeyFieldName(), item->Key())) {
    TFlagGuard changing(FRecordChaning);
    next = focused->NextSibling ? focused->NextSibling : focused->PrevSibling ? focused->PrevSibling : focused->Parent;
    DeleteNode(focused);
  }
  if (next)
    FocusNode(next);
  else if (FCloneDataSet->BookmarkValid(bookmark))
    FCloneDataSet->GotoBookmark(bookmark);
}

void TLxDBTreeView::AddMissingCurrentNode() {
  if (!FCloneDataSet) return;
  SyncCloneToMaster();
  if (!FCloneKeyField || !FCloneParentField || FCloneDataSet->IsEmpty()) return;
  if (FindNode(FCloneKeyField->AsString())) return;
  SyncCloneToMaster();
  const QString key = FCloneKeyField->AsString();
  const QString parentText = FCloneParentField->AsString();
  PVirtualNode parent = parentText == FDBTreeFields->ParentOfRootValue() ? RootNode() : FindNode(parentText);
  if (!parent) return;
  const TBookmark bookmark = FCloneDataSet->GetBookmark();
  SetExpanded(parent, true);
  if (FCloneDataSet->BookmarkValid(bookmark)) FCloneDataSet->GotoBookmark(bookmark);
  // The expansion may have loaded the row itself; a second node would break the key index.
  if (!FindNode(key)) AddNode(parent == RootNode() ? nullptr : parent);
  SyncToCurrentRecord();
}

void TLxDBTreeView::DataSetChanged() {
  TDataSet* master = Master();
  if (!FCloneDataSet || !master || master->State() != dsBrowse) return;
  CheckFocusedRecord();
  SyncToCurrentRecord();
  AddMissingCurrentNode();
}

void TLxDBTreeView::DataRecordChanged(TField* Field) {
  SyncCloneToMaster();
  if (FRecordChaning || !Field) return;
  TFlagGuard changing(FRecordChaning);
  TDataSet* master = Master();
  if (!master) return;
  const QString masterKey = master->FieldByName(FDBTreeFields->KeyFieldName()).AsString();
  if (Field->FieldName().compare(FDBTreeFields->ListFieldName(), Qt::CaseInsensitive) == 0) {
    PVirtualNode focused = FocusedNode();
    TLxNodeItem* item = NodeItem(focused);
    if (item && item->Key() == masterKey) {
      TUpdateBracket update(*this);
      item->SetCaption(Field->AsString());  // NULL shows as empty text, as a loaded NULL caption does
      InvalidateNode(focused);
    }
  } else if (Field->FieldName().compare(FDBTreeFields->ParentFieldName(), Qt::CaseInsensitive) == 0) {
    MoveRow(Field);
  }
}

bool TLxDBTreeView::IsInSubtree(PVirtualNode Node, PVirtualNode Top) const {
  for (PVirtualNode n = Node; n && n != RootNode(); n = n->Parent)
    if (n == Top) return true;
  return false;
}

void TLxDBTreeView::MoveRow(TField* ParentField) {
  const QString key = Master()->FieldByName(FDBTreeFields->KeyFieldName()).AsString();
  PVirtualNode node = FindNode(key);
  if (!node) return;
  const bool hadChildren = node->States & vsHasChildren;
  // The old node goes first: expanding the new parent may load the moved row (a clone that shows
  // the change before the post), and one key must never get a second node. A new parent inside the
  // moved subtree goes with it, and the row is then left without a node.
  DeleteNode(node);
  PVirtualNode newParent = FindNode(ParentField->AsString());
  if (!newParent) return;
  SetExpanded(newParent, true);
  if (FindNode(key)) return;
  if (!FCloneDataSet->Locate(FDBTreeFields->KeyFieldName(), key)) return;
  PVirtualNode moved = AddNode(newParent);
  SetHasChildren(moved, hadChildren);
}

void TLxDBTreeView::DoNewText(PVirtualNode Node, TColumnIndex Column, const QString& Text) {
  TVirtualStringTree::DoNewText(Node, Column, Text);
  TDataSet* master = Master();
  if (OnNewText || !master) return;
  master->Edit();
  master->FieldByName(FDBTreeFields->ListFieldName()).SetValue(Text);
  master->Post();
}

void TLxDBTreeView::DoStartDrag() { FDraggedNode = FocusedNode(); }

bool TLxDBTreeView::DoDragOver(TVirtualStringTree* Source, QPoint Pt, std::uint32_t& Effect) {
  const bool accept = TVirtualStringTree::DoDragOver(Source, Pt, Effect);
  if (OnDragOver) return accept;
  return Source == this;
}

void TLxDBTreeView::DoDragDrop(TVirtualStringTree* Source, QPoint Pt, std::uint32_t& Effect) {
  TVirtualStringTree::DoDragDrop(Source, Pt, Effect);
  if (OnDragDrop) return;
  Effect = deNone;
  PVirtualNode target = GetNodeAt(Pt.x(), Pt.y());
  // A drop from elsewhere has nothing to do with our dragged node; one into the dragged node's own
  // subtree would make the rows a parent cycle.
  if (Source != this || !target || !FDraggedNode || IsInSubtree(target, FDraggedNode)) return;
  if (!AskQuestion(
          Format(QStringLiteral("Move node %s into node %s?"), {GetNodeCaption(FDraggedNode), GetNodeCaption(target)})))
    return;
  TLxNodeItem* targetItem = NodeItem(target);
  TLxNodeItem* draggedItem = NodeItem(FDraggedNode);
  TDataSet* master = Master();
  if (!targetItem || !draggedItem || !master) return;
  const QString newParent = targetItem->Key();
  if (!master->Locate(FDBTreeFields->KeyFieldName(), draggedItem->Key())) return;
  master->Edit();
  master->FieldByName(FDBTreeFields->ParentFieldName()).SetValue(newParent);
  master->Post();
}
