// Initialisation, lazy children, expansion, walks and the headless row geometry.
#include "platform/vtree/TUpdateBracket.h"
#include "platform/vtree/TVirtualStringTree.h"

namespace {
// Set while the init-children hook of a node runs, so that a walk inside the hook does not load again.
constexpr TVirtualNodeStates vsLoadingChildren = 1u << 16;
}  // namespace

void TVirtualStringTree::InitNode(PVirtualNode Node) {
  if (!Node || Node == FRoot || (Node->States & vsInitialized)) return;
  Node->States |= vsInitialized;
  TVirtualNodeInitStates initial = 0;
  DoInitNode(Node->Parent == FRoot ? nullptr : Node->Parent, Node, initial);
  if (initial & ivsHasChildren) Node->States |= vsHasChildren;
  if (initial & ivsSelected) SetSelected(Node, true);
  if (initial & ivsExpanded) SetExpanded(Node, true);
}

void TVirtualStringTree::InitChildren(PVirtualNode Node) {
  if (!Node || Node == FRoot) return;
  InitNode(Node);
  if (!(Node->States & vsHasChildren) || Node->ChildCount > 0 || (Node->States & vsLoadingChildren)) return;
  std::uint32_t count = 0;
  Node->States |= vsLoadingChildren;
  try {
    DoInitChildren(Node, count);
  } catch (...) {
    Node->States &= ~vsLoadingChildren;
    throw;
  }
  Node->States &= ~vsLoadingChildren;
  SetChildCount(Node, count);
}

bool TVirtualStringTree::HasChildren(PVirtualNode Node) const {
  return Node && (Node == FRoot ? Node->ChildCount > 0 : (Node->States & vsHasChildren) != 0);
}

void TVirtualStringTree::SetHasChildren(PVirtualNode Node, bool Value) {
  if (!Node || Node == FRoot) return;
  if (Value) {
    if (Node->States & vsHasChildren) return;
    Node->States |= vsHasChildren;
  } else {
    DeleteChildren(Node);
    if (!(Node->States & (vsHasChildren | vsExpanded))) return;
    Node->States &= ~(vsHasChildren | vsExpanded);
  }
  Announce([&](TVirtualTreeObserver& o) { o.NodeChanged(Node); });
}

void TVirtualStringTree::SetChildCount(PVirtualNode Node, std::uint32_t Count) {
  if (!Node) Node = FRoot;
  while (Node->ChildCount < Count) AddChild(Node);
  while (Node->ChildCount > Count) DeleteNode(Node->LastChild);
  if (Count == 0 && Node != FRoot) SetHasChildren(Node, false);
}

bool TVirtualStringTree::Expanded(PVirtualNode Node) const {
  return Node && Node != FRoot && (Node->States & vsExpanded);
}

void TVirtualStringTree::SetExpanded(PVirtualNode Node, bool Value) {
  if (!Node || Node == FRoot) return;
  if (Value) {
    if (Node->States & vsExpanded) return;
    InitNode(Node);
    InitChildren(Node);
    if (Node->ChildCount == 0 || (Node->States & vsExpanded)) return;
    Node->States |= vsExpanded;
    Announce([&](TVirtualTreeObserver& o) { o.Expanded(Node); });
    DoExpanded(Node);
  } else {
    if (!(Node->States & vsExpanded)) return;
    Node->States &= ~vsExpanded;
    Announce([&](TVirtualTreeObserver& o) { o.Collapsed(Node); });
    DoCollapsed(Node);
  }
}

void TVirtualStringTree::ToggleNode(PVirtualNode Node) { SetExpanded(Node, !Expanded(Node)); }

// The update bracket of a full expansion or collapse and, when it covers the whole tree, the bulk
// announcements around it; both end on every path out.
class TVirtualStringTree::TBulkChange {
public:
  TBulkChange(TVirtualStringTree& Tree, bool WholeTree) : FUpdate(Tree), FTree(Tree), FWholeTree(WholeTree) {
    if (FWholeTree && FTree.FBulkCount++ == 0) FTree.Announce([](TVirtualTreeObserver& o) { o.BulkBegun(); });
  }
  ~TBulkChange() {
    if (FWholeTree && --FTree.FBulkCount == 0) FTree.Announce([](TVirtualTreeObserver& o) { o.BulkEnded(); });
  }
  TBulkChange(const TBulkChange&) = delete;
  TBulkChange& operator=(const TBulkChange&) = delete;

private:
  TUpdateBracket FUpdate;  // opened first, closed after the bulk's end is announced
  TVirtualStringTree& FTree;
  bool FWholeTree;
};

void TVirtualStringTree::FullExpand(PVirtualNode Node) {
  if (Node == FRoot) Node = nullptr;
  const PVirtualNode stop = Node ? SubtreeEnd(Node) : nullptr;
  TBulkChange bulk(*this, Node == nullptr);
  DoBeforeFullExpand(Node);
  try {
    for (PVirtualNode n = Node ? Node : GetFirst(); n && n != stop; n = GetNext(n))
      if ((n->States & vsHasChildren) || n->ChildCount > 0) SetExpanded(n, true);
  } catch (...) {
    try {
      DoAfterFullExpand();
    } catch (...) {
      // The walk's error is the one to report.
    }
    throw;
  }
  DoAfterFullExpand();
}

void TVirtualStringTree::FullCollapse(PVirtualNode Node) {
  if (Node == FRoot) Node = nullptr;
  const PVirtualNode stop = Node ? SubtreeEnd(Node) : nullptr;
  TBulkChange bulk(*this, Node == nullptr);
  for (PVirtualNode n = Node ? Node : GetFirstNoInit(); n && n != stop; n = GetNextNoInit(n)) SetExpanded(n, false);
}

PVirtualNode TVirtualStringTree::GetFirst() {
  PVirtualNode n = FRoot->FirstChild;
  InitNode(n);
  return n;
}

PVirtualNode TVirtualStringTree::GetNext(PVirtualNode Node) {
  if (!Node || Node == FRoot) return nullptr;
  InitChildren(Node);
  PVirtualNode n = NextExisting(Node);
  InitNode(n);
  return n;
}

PVirtualNode TVirtualStringTree::NextExisting(PVirtualNode Node) const {
  if (Node->FirstChild) return Node->FirstChild;
  return SubtreeEnd(Node);
}

PVirtualNode TVirtualStringTree::SubtreeEnd(PVirtualNode Node) const {
  for (PVirtualNode n = Node; n && n != FRoot; n = n->Parent)
    if (n->NextSibling) return n->NextSibling;
  return nullptr;
}

PVirtualNode TVirtualStringTree::GetFirstNoInit() const { return FRoot->FirstChild; }

PVirtualNode TVirtualStringTree::GetNextNoInit(PVirtualNode Node) const {
  if (!Node || Node == FRoot) return nullptr;
  return NextExisting(Node);
}

PVirtualNode TVirtualStringTree::GetFirstChecked(TCheckState State) {
  PVirtualNode n = FRoot->FirstChild;
  while (n && n->CheckState != State) n = NextExisting(n);
  InitNode(n);
  return n;
}

PVirtualNode TVirtualStringTree::GetNextChecked(PVirtualNode Node, TCheckState State) {
  if (!Node || Node == FRoot) return nullptr;
  PVirtualNode n = NextExisting(Node);
  while (n && n->CheckState != State) n = NextExisting(n);
  InitNode(n);
  return n;
}

PVirtualNode TVirtualStringTree::GetNextSibling(PVirtualNode Node) const {
  return Node && Node != FRoot ? Node->NextSibling : nullptr;
}

PVirtualNode TVirtualStringTree::GetPreviousSibling(PVirtualNode Node) const {
  return Node && Node != FRoot ? Node->PrevSibling : nullptr;
}

PVirtualNode TVirtualStringTree::GetFirstChild(PVirtualNode Node) const { return (Node ? Node : FRoot)->FirstChild; }

PVirtualNode TVirtualStringTree::GetLastChild(PVirtualNode Node) const { return (Node ? Node : FRoot)->LastChild; }

PVirtualNode TVirtualStringTree::GetChildAt(PVirtualNode Parent, std::uint32_t Index) const {
  if (!Parent) Parent = FRoot;
  if (Index >= Parent->ChildCount) return nullptr;
  PVirtualNode n = Parent->FirstChild;
  std::uint32_t distance = Index;
  if (Parent->ChildCount - 1 - Index < distance) {
    n = Parent->LastChild;
    distance = Parent->ChildCount - 1 - Index;
  }
  if (FLastChildAt && FLastChildAt->Parent == Parent) {
    const std::uint32_t at = FLastChildAt->Index;
    if ((at > Index ? at - Index : Index - at) < distance) n = FLastChildAt;
  }
  while (n->Index < Index) n = n->NextSibling;
  while (n->Index > Index) n = n->PrevSibling;
  FLastChildAt = n;
  return n;
}

int TVirtualStringTree::GetNodeLevel(PVirtualNode Node) const {
  int level = -1;
  for (PVirtualNode n = Node; n && n != FRoot; n = n->Parent) ++level;
  return level;
}

bool TVirtualStringTree::IsVisible(PVirtualNode Node) const {
  if (!Node || Node == FRoot) return false;
  for (PVirtualNode p = Node->Parent; p != FRoot; p = p->Parent)
    if (!(p->States & vsExpanded)) return false;
  return true;
}

namespace {
PVirtualNode NextVisible(PVirtualNode Node, PVirtualNode Root) {
  if ((Node->States & vsExpanded) && Node->FirstChild) return Node->FirstChild;
  for (PVirtualNode n = Node; n && n != Root; n = n->Parent)
    if (n->NextSibling) return n->NextSibling;
  return nullptr;
}
}  // namespace

PVirtualNode TVirtualStringTree::GetNodeAt(int X, int Y) const {
  if (NodeAtResolver) return NodeAtResolver(X, Y);
  if (X < 0 || Y < 0) return nullptr;
  int row = Y / FDefaultNodeHeight;
  for (PVirtualNode n = FRoot->FirstChild; n; n = NextVisible(n, FRoot))
    if (row-- == 0) return n;
  return nullptr;
}

QPoint TVirtualStringTree::GetNodePoint(PVirtualNode Node) const {
  if (!IsVisible(Node)) return {-1, -1};
  int row = 0;
  for (PVirtualNode n = FRoot->FirstChild; n && n != Node; n = NextVisible(n, FRoot)) ++row;
  return {1, row * FDefaultNodeHeight + FDefaultNodeHeight / 2};
}
