#pragma once
// BeginUpdate for its lifetime, EndUpdate on every path out, so that a load that fails part-way
// does not leave the tree's update bracket open.
#include "platform/vtree/TVirtualStringTree.h"

class TUpdateBracket {
public:
  explicit TUpdateBracket(TVirtualStringTree& Tree) : FTree(Tree) { FTree.BeginUpdate(); }
  ~TUpdateBracket() { FTree.EndUpdate(); }
  TUpdateBracket(const TUpdateBracket&) = delete;
  TUpdateBracket& operator=(const TUpdateBracket&) = delete;

private:
  TVirtualStringTree& FTree;
};
