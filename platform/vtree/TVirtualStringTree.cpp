#include "platform/vtree/TVirtualStringTree.h"

#include "platform/base/Exception.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {
// The data area starts after the record, aligned like any scalar.
constexpr std::size_t kDataOffset =
    (sizeof(TVirtualNode) + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) * alignof(std::max_align_t);
}  // namespace

TVirtualStringTree::TVirtualStringTree() {
  FRoot = MakeNode();
  FRoot->States = vsInitialized | vsExpanded;
}

TVirtualStringTree::~TVirtualStringTree() {
  // No hooks here: a descendant's part is gone already, so it clears in its own destructor.
  PVirtualNode n = FRoot->FirstChild;
  while (n) {
    PVirtualNode next = n->NextSibling;
    PVirtualNode c = n;
    // Post-order without recursion, so that a deep chain cannot exhaust the stack.
    while (c) {
      while (c->FirstChild) c = c->FirstChild;
      PVirtualNode up = c->Parent;
      PVirtualNode sib = c->NextSibling;
      if (c == n) {
        FreeNodeMemory(c);
        break;
      }
      up->FirstChild = sib;
      FreeNodeMemory(c);
      c = sib ? sib : up;
    }
    n = next;
  }
  FreeNodeMemory(FRoot);
}

PVirtualNode TVirtualStringTree::MakeNode() {
  void* memory = ::operator new(kDataOffset + FNodeDataSize);
  auto* node = new (memory) TVirtualNode{};
  if (FNodeDataSize > 0) std::memset(static_cast<char*>(memory) + kDataOffset, 0, FNodeDataSize);
  return node;
}

void TVirtualStringTree::FreeNodeMemory(PVirtualNode Node) {
  FLastChildAt = nullptr;
  if (Node == FWatchedNode) FWatchedNode = nullptr;
  Node->~TVirtualNode();
  ::operator delete(static_cast<void*>(Node));
}

void TVirtualStringTree::SetNodeDataSize(std::uint32_t Value) {
  if (Value == FNodeDataSize) return;
  if (FTotalCount > 0) throw Exception(QStringLiteral("NodeDataSize can change only while the tree has no nodes"));
  FNodeDataSize = Value;
}

void* TVirtualStringTree::GetNodeData(PVirtualNode Node) const {
  if (!Node || Node == FRoot || FNodeDataSize == 0) return nullptr;
  return reinterpret_cast<char*>(Node) + kDataOffset;
}

std::uint32_t TVirtualStringTree::RootNodeCount() const { return FRoot->ChildCount; }

void TVirtualStringTree::SetRootNodeCount(std::uint32_t Value) { SetChildCount(FRoot, Value); }

PVirtualNode TVirtualStringTree::AddChild(PVirtualNode Parent) {
  if (!Parent) Parent = FRoot;
  InitNode(Parent);
  const int index = static_cast<int>(Parent->ChildCount);
  Announce([&](TVirtualTreeObserver& o) { o.BeforeInsertChildren(Parent, index, index); });
  PVirtualNode node = MakeNode();
  node->Parent = Parent;
  node->Index = Parent->ChildCount;
  node->PrevSibling = Parent->LastChild;
  if (Parent->LastChild)
    Parent->LastChild->NextSibling = node;
  else
    Parent->FirstChild = node;
  Parent->LastChild = node;
  ++Parent->ChildCount;
  if (Parent != FRoot) Parent->States |= vsHasChildren;
  ++FTotalCount;
  Announce([&](TVirtualTreeObserver& o) { o.AfterInsertChildren(Parent, index, index); });
  return node;
}

void TVirtualStringTree::ForgetSubtreeState(PVirtualNode Node, bool& SelectionChanged) {
  const PVirtualNode end = SubtreeEnd(Node);
  for (PVirtualNode n = Node; n && n != end; n = NextExisting(n)) {
    n->States |= vsDeleting;
    if (n->States & vsSelected) {
      FSelection.erase(std::remove(FSelection.begin(), FSelection.end(), n), FSelection.end());
      SelectionChanged = true;
    }
    if (n == FFocusedNode) FFocusedNode = nullptr;
  }
}

void TVirtualStringTree::FreeSubtree(PVirtualNode Node) {
  PVirtualNode c = Node;
  while (true) {
    while (c->FirstChild) c = c->FirstChild;
    if (c == Node) break;
    PVirtualNode up = c->Parent;
    PVirtualNode sib = c->NextSibling;
    DoFreeNode(c);
    up->FirstChild = sib;
    if (sib) sib->PrevSibling = nullptr;
    --up->ChildCount;
    if (!sib) up->LastChild = nullptr;
    FreeNodeMemory(c);
    --FTotalCount;
    c = sib ? sib : up;
  }
  DoFreeNode(Node);
}

void TVirtualStringTree::Unlink(PVirtualNode Node) {
  PVirtualNode parent = Node->Parent;
  if (Node->PrevSibling)
    Node->PrevSibling->NextSibling = Node->NextSibling;
  else
    parent->FirstChild = Node->NextSibling;
  if (Node->NextSibling)
    Node->NextSibling->PrevSibling = Node->PrevSibling;
  else
    parent->LastChild = Node->PrevSibling;
  for (PVirtualNode s = Node->NextSibling; s; s = s->NextSibling) --s->Index;
  --parent->ChildCount;
}

void TVirtualStringTree::DeleteNode(PVirtualNode Node) {
  if (!Node || Node == FRoot || (Node->States & vsDeleting)) return;
  PVirtualNode parent = Node->Parent;
  const int index = static_cast<int>(Node->Index);
  const PVirtualNode focusedBefore = FFocusedNode;
  bool selectionChanged = false;
  Announce([&](TVirtualTreeObserver& o) { o.BeforeRemoveChildren(parent, index, index); });
  ForgetSubtreeState(Node, selectionChanged);
  FreeSubtree(Node);
  Unlink(Node);
  FreeNodeMemory(Node);
  --FTotalCount;
  const bool parentEmptied = parent != FRoot && parent->ChildCount == 0;
  // A parent whose last child went has nothing left to expand.
  if (parentEmptied) parent->States &= ~(vsHasChildren | vsExpanded);
  Announce([&](TVirtualTreeObserver& o) { o.AfterRemoveChildren(parent, index, index); });
  if (parentEmptied) Announce([&](TVirtualTreeObserver& o) { o.NodeChanged(parent); });
  if (focusedBefore != FFocusedNode) {
    Announce([&](TVirtualTreeObserver& o) { o.FocusChanged(nullptr); });
    DoFocusChange(nullptr, NoColumn);
  }
  if (selectionChanged) DoChange(nullptr);
}

void TVirtualStringTree::DeleteChildren(PVirtualNode Node) {
  if (!Node) Node = FRoot;
  if (Node->ChildCount == 0) return;
  const int last = static_cast<int>(Node->ChildCount) - 1;
  const PVirtualNode focusedBefore = FFocusedNode;
  bool selectionChanged = false;
  Announce([&](TVirtualTreeObserver& o) { o.BeforeRemoveChildren(Node, 0, last); });
  for (PVirtualNode c = Node->FirstChild; c; c = c->NextSibling) ForgetSubtreeState(c, selectionChanged);
  FreeChildren(Node);
  Announce([&](TVirtualTreeObserver& o) { o.AfterRemoveChildren(Node, 0, last); });
  if (focusedBefore != FFocusedNode) {
    Announce([&](TVirtualTreeObserver& o) { o.FocusChanged(nullptr); });
    DoFocusChange(nullptr, NoColumn);
  }
  if (selectionChanged) DoChange(nullptr);
}

void TVirtualStringTree::FreeChildren(PVirtualNode Node) {
  PVirtualNode c = Node->FirstChild;
  while (c) {
    PVirtualNode next = c->NextSibling;
    FreeSubtree(c);
    FreeNodeMemory(c);
    --FTotalCount;
    c = next;
  }
  Node->FirstChild = Node->LastChild = nullptr;
  Node->ChildCount = 0;
}

void TVirtualStringTree::Clear() {
  if (FRoot->ChildCount == 0 && !FFocusedNode && FSelection.empty()) return;
  const bool hadFocus = FFocusedNode != nullptr;
  const bool hadSelection = !FSelection.empty();
  Announce([](TVirtualTreeObserver& o) { o.BeforeReset(); });
  FFocusedNode = nullptr;
  FSelection.clear();
  for (PVirtualNode n = FRoot->FirstChild; n; n = NextExisting(n)) n->States |= vsDeleting;
  FreeChildren(FRoot);
  Announce([](TVirtualTreeObserver& o) { o.AfterReset(); });
  if (hadFocus) DoFocusChange(nullptr, NoColumn);
  if (hadSelection) DoChange(nullptr);
}

void TVirtualStringTree::BeginUpdate() {
  if (FUpdateCount++ == 0) Announce([](TVirtualTreeObserver& o) { o.UpdateBegun(); });
}

void TVirtualStringTree::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0) Announce([](TVirtualTreeObserver& o) { o.UpdateEnded(); });
}

void TVirtualStringTree::Refresh() {
  Announce([](TVirtualTreeObserver& o) { o.Invalidated(); });
}

void TVirtualStringTree::InvalidateNode(PVirtualNode Node) {
  if (Node && Node != FRoot) Announce([&](TVirtualTreeObserver& o) { o.NodeChanged(Node); });
}

void TVirtualStringTree::AddObserver(TVirtualTreeObserver* Observer) {
  if (Observer && std::find(FObservers.begin(), FObservers.end(), Observer) == FObservers.end())
    FObservers.push_back(Observer);
}

void TVirtualStringTree::RemoveObserver(TVirtualTreeObserver* Observer) {
  FObservers.erase(std::remove(FObservers.begin(), FObservers.end(), Observer), FObservers.end());
}
