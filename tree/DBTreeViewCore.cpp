#include "tree/DBTreeViewCore.h"

#include "platform/base/IdArray.h"
#include "platform/base/IntegerConversion.h"
#include "tree/TLxNodeItem.h"

void SetAllCheckState(TVirtualStringTree& Tree, TCheckState State) {
  for (PVirtualNode node = Tree.GetFirst(); node; node = Tree.GetNext(node)) node->CheckState = State;
  Tree.Refresh();
}

void CheckDescendants(PVirtualNode Node, bool Checked, TVirtualStringTree& Tree) {
  if (!Node || Node == Tree.RootNode()) return;
  const TCheckState state = Checked ? csCheckedNormal : csUncheckedNormal;
  // The first node after Node's subtree: the next sibling of Node or of its nearest ancestor that has one.
  PVirtualNode stop = nullptr;
  for (PVirtualNode n = Node; n && n != Tree.RootNode() && !stop; n = n->Parent) stop = n->NextSibling;
  for (PVirtualNode n = Node; n && n != stop; n = Tree.GetNext(n)) n->CheckState = state;
}

QBuffer& WriteCheckedIds(QBuffer& Stream, TVirtualStringTree& Tree) {
  // QBuffer takes new contents only while closed.
  const QIODevice::OpenMode mode = Stream.isOpen() ? Stream.openMode() : QIODevice::ReadWrite;
  Stream.close();
  Stream.setData(QByteArray());
  Stream.open(mode | QIODevice::WriteOnly);
  for (PVirtualNode node = Tree.GetFirstChecked(csCheckedNormal); node;
       node = Tree.GetNextChecked(node, csCheckedNormal)) {
    auto* data = static_cast<TLxNodeItem**>(Tree.GetNodeData(node));
    if (!data || !*data) continue;
    const std::int32_t id = StrToInt((*data)->Key());
    unsigned char bytes[IdArrayElementSize];
    StoreIdArrayElement(id, bytes);
    Stream.write(reinterpret_cast<const char*>(bytes), IdArrayElementSize);
  }
  Stream.seek(0);
  return Stream;
}
