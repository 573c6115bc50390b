#pragma once
// One node of a TVirtualStringTree. The tree owns every node; code reads the links and may write
// CheckState and CheckType directly (a plain store raises no event and announces nothing: call
// the tree's Refresh afterwards). The links, States and ChildCount belong to the tree.
// The node's data area (NodeDataSize bytes, zero-filled) follows the record: TVirtualStringTree::GetNodeData.
#include "platform/vtree/VirtualTreeTypes.h"

#include <cstdint>

struct TVirtualNode;
using PVirtualNode = TVirtualNode*;

struct TVirtualNode {
  TVirtualNodeStates States = 0;
  TCheckState CheckState = csUncheckedNormal;
  TCheckType CheckType = ctNone;
  std::uint32_t Index = 0;        // position among its siblings, 0-based
  std::uint32_t ChildCount = 0;   // children that exist now
  PVirtualNode Parent = nullptr;  // the hidden root for top-level nodes; none for the root itself
  PVirtualNode PrevSibling = nullptr;
  PVirtualNode NextSibling = nullptr;
  PVirtualNode FirstChild = nullptr;
  PVirtualNode LastChild = nullptr;
};
