#pragma once
// Bulk check marks and the ID array of a data-bound check tree.
// SetAllCheckState and CheckDescendants store states straight into the nodes: no check event runs,
// no parent state is worked out again; they never touch the hidden root or a node's check type.
#include "platform/vtree/TVirtualStringTree.h"

#include <QBuffer>

// Gives every node State, walking with GetFirst/GetNext, so that collapsed and never-expanded
// branches are loaded and reached too; then Refresh, once, even on an empty tree.
void SetAllCheckState(TVirtualStringTree& Tree, TCheckState State);

// csCheckedNormal (Checked) or csUncheckedNormal into Node and every descendant of Node, and into
// no other node: the walk stops at the first node after Node's subtree. No repaint.
void CheckDescendants(PVirtualNode Node, bool Checked, TVirtualStringTree& Tree);

// Empties Stream and writes the key of every csCheckedNormal node, in pre-order through the nodes
// that exist (collapsed branches too, nothing loaded), as 4-byte signed integers, most significant
// byte first; returns Stream positioned at 0. Tree's node data holds one TLxNodeItem reference
// (TLxDBTreeView); keys go through StrToInt, whose EConvertError reaches the caller. A checked node
// without an item (left by a failed load) has no key and is passed over.
//   QBuffer buffer;  WriteCheckedIds(buffer, tree);  buffer.data() == "\0\0\0\x05\0\0\x01\x02" for keys 5, 258
QBuffer& WriteCheckedIds(QBuffer& Stream, TVirtualStringTree& Tree);
