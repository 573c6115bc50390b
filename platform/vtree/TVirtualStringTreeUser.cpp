// Focus, selection, check marks, text and images, drag and drop, and the base hooks that raise
// the application's events.
#include "platform/vtree/TVirtualStringTree.h"

void TVirtualStringTree::SetFocusedNode(PVirtualNode Node) {
  if (Node == FRoot) Node = nullptr;
  if (Node == FFocusedNode) return;
  FFocusedNode = Node;
  Announce([&](TVirtualTreeObserver& o) { o.FocusChanged(Node); });
  DoFocusChange(Node, NoColumn);
}

bool TVirtualStringTree::Selected(PVirtualNode Node) const {
  return Node && Node != FRoot && (Node->States & vsSelected);
}

void TVirtualStringTree::SetSelected(PVirtualNode Node, bool Value) {
  if (!Node || Node == FRoot || Selected(Node) == Value) return;
  if (Value) {
    if (!(TreeOptions.SelectionOptions & toMultiSelect)) {
      for (PVirtualNode other : FSelection) {
        other->States &= ~vsSelected;
        Announce([&](TVirtualTreeObserver& o) { o.NodeChanged(other); });
      }
      FSelection.clear();
    }
    Node->States |= vsSelected;
    FSelection.push_back(Node);
  } else {
    Node->States &= ~vsSelected;
    std::erase(FSelection, Node);
  }
  Announce([&](TVirtualTreeObserver& o) { o.NodeChanged(Node); });
  DoChange(Node);
}

void TVirtualStringTree::ClearSelection() {
  if (FSelection.empty()) return;
  const std::vector<PVirtualNode> was = std::move(FSelection);
  FSelection.clear();
  for (PVirtualNode n : was) {
    n->States &= ~vsSelected;
    Announce([&](TVirtualTreeObserver& o) { o.NodeChanged(n); });
  }
  DoChange(nullptr);
}

PVirtualNode TVirtualStringTree::GetFirstSelected() const { return FSelection.empty() ? nullptr : FSelection.front(); }

void TVirtualStringTree::UserSelect(PVirtualNode Node) {
  if (Node == FRoot) Node = nullptr;
  SetFocusedNode(Node);
  if (!Node) return;
  if (TreeOptions.SelectionOptions & toMultiSelect) ClearSelection();
  SetSelected(Node, true);
}

void TVirtualStringTree::ToggleCheckByUser(PVirtualNode Node) {
  if (!Node || Node == FRoot) return;
  InitNode(Node);
  const bool checked = Node->CheckState == csCheckedNormal || Node->CheckState == csCheckedPressed;
  switch (Node->CheckType) {
  case ctCheckBox:
  case ctTriStateCheckBox:
    SetCheckState(Node, checked ? csUncheckedNormal : csCheckedNormal);
    break;
  case ctRadioButton:
    if (!checked) SetCheckState(Node, csCheckedNormal);
    break;
  case ctNone:
  case ctButton:
    break;
  }
}

void TVirtualStringTree::SetCheckState(PVirtualNode Node, TCheckState Value) {
  if (!Node || Node == FRoot || Node->CheckState == Value) return;
  if (!DoChecking(Node, Value) || Node->CheckState == Value) return;
  if (Node->CheckType == ctRadioButton && Value == csCheckedNormal) {
    for (PVirtualNode s = Node->Parent->FirstChild; s; s = s->NextSibling)
      if (s != Node && s->CheckType == ctRadioButton && s->CheckState != csUncheckedNormal) {
        s->CheckState = csUncheckedNormal;
        Announce([&](TVirtualTreeObserver& o) { o.NodeChanged(s); });
      }
  }
  Node->CheckState = Value;
  Announce([&](TVirtualTreeObserver& o) { o.NodeChanged(Node); });
  DoChecked(Node);
}

QString TVirtualStringTree::GetText(PVirtualNode Node, TColumnIndex Column, TVSTTextType TextType) {
  if (!Node || Node == FRoot) return {};
  QString text = FDefaultText;
  DoGetText(Node, Column, TextType, text);
  return text;
}

void TVirtualStringTree::SetText(PVirtualNode Node, TColumnIndex Column, const QString& Text) {
  if (!Node || Node == FRoot) return;
  FWatchedNode = Node;
  DoNewText(Node, Column, Text);
  // The hook may have removed the node (a write-back that reloads the branch).
  const bool alive = FWatchedNode == Node;
  FWatchedNode = nullptr;
  if (!alive) return;
  Announce([&](TVirtualTreeObserver& o) { o.NodeChanged(Node); });
}

int TVirtualStringTree::GetImageIndex(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column) {
  int index = -1;
  bool ghosted = false;
  if (Node && Node != FRoot) DoGetImageIndex(Node, Kind, Column, ghosted, index);
  return index;
}

void TVirtualStringTree::StartDrag() { DoStartDrag(); }

bool TVirtualStringTree::DragOver(TVirtualStringTree* Source, QPoint Pt) {
  std::uint32_t effect = deMove;
  return DoDragOver(Source, Pt, effect);
}

std::uint32_t TVirtualStringTree::DragDrop(TVirtualStringTree* Source, QPoint Pt) {
  std::uint32_t effect = deMove;
  DoDragDrop(Source, Pt, effect);
  return effect;
}

void TVirtualStringTree::KeyDown(int Key) { DoKeyDown(Key); }

void TVirtualStringTree::DetachEvents() {
  OnInitNode = nullptr;
  OnInitChildren = nullptr;
  OnFreeNode = nullptr;
  OnGetText = nullptr;
  OnGetImageIndex = nullptr;
  OnChange = nullptr;
  OnFocusChanged = nullptr;
  OnChecking = nullptr;
  OnChecked = nullptr;
  OnNewText = nullptr;
  OnStartDrag = nullptr;
  OnDragOver = nullptr;
  OnDragDrop = nullptr;
  OnKeyDown = nullptr;
  OnExpanded = nullptr;
  OnCollapsed = nullptr;
  NodeAtResolver = nullptr;
}

// --- base hooks: raise the events ---

void TVirtualStringTree::DoInitNode(PVirtualNode ParentNode, PVirtualNode Node, TVirtualNodeInitStates& InitialStates) {
  if (OnInitNode) OnInitNode(this, ParentNode, Node, InitialStates);
}

void TVirtualStringTree::DoInitChildren(PVirtualNode Node, std::uint32_t& ChildCount) {
  if (OnInitChildren) OnInitChildren(this, Node, ChildCount);
}

void TVirtualStringTree::DoFreeNode(PVirtualNode Node) {
  if (OnFreeNode) OnFreeNode(this, Node);
}

void TVirtualStringTree::DoGetText(PVirtualNode Node, TColumnIndex Column, TVSTTextType TextType, QString& CellText) {
  if (OnGetText) OnGetText(this, Node, Column, TextType, CellText);
}

void TVirtualStringTree::DoGetImageIndex(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column, bool& Ghosted,
                                         int& Index) {
  if (OnGetImageIndex) OnGetImageIndex(this, Node, Kind, Column, Ghosted, Index);
}

void TVirtualStringTree::DoChange(PVirtualNode Node) {
  if (OnChange) OnChange(this, Node);
}

void TVirtualStringTree::DoFocusChange(PVirtualNode Node, TColumnIndex Column) {
  if (OnFocusChanged) OnFocusChanged(this, Node, Column);
}

bool TVirtualStringTree::DoChecking(PVirtualNode Node, TCheckState& NewState) {
  bool allowed = true;
  if (OnChecking) OnChecking(this, Node, NewState, allowed);
  return allowed;
}

void TVirtualStringTree::DoChecked(PVirtualNode Node) {
  if (OnChecked) OnChecked(this, Node);
}

void TVirtualStringTree::DoNewText(PVirtualNode Node, TColumnIndex Column, const QString& Text) {
  if (OnNewText) OnNewText(this, Node, Column, Text);
}

void TVirtualStringTree::DoStartDrag() {
  if (OnStartDrag) OnStartDrag(this);
}

bool TVirtualStringTree::DoDragOver(TVirtualStringTree* Source, QPoint Pt, std::uint32_t& Effect) {
  bool accept = false;
  if (OnDragOver) OnDragOver(this, Source, Pt, Effect, accept);
  return accept;
}

void TVirtualStringTree::DoDragDrop(TVirtualStringTree* Source, QPoint Pt, std::uint32_t& Effect) {
  if (OnDragDrop) OnDragDrop(this, Source, Pt, Effect);
}

void TVirtualStringTree::DoKeyDown(int& Key) {
  if (OnKeyDown) OnKeyDown(this, Key);
}

void TVirtualStringTree::DoExpanded(PVirtualNode Node) {
  if (OnExpanded) OnExpanded(this, Node);
}

void TVirtualStringTree::DoCollapsed(PVirtualNode Node) {
  if (OnCollapsed) OnCollapsed(this, Node);
}
