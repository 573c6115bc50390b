#include "tree/TItemSequence.h"

#include <algorithm>
#include <cassert>

namespace {
// Blocks split at twice this size and merge away when they empty.
constexpr std::size_t kBlockSize = 256;
}  // namespace

std::size_t TItemSequence::BlockOf(int Index) const {
  // The last block whose start is <= Index.
  auto it = std::upper_bound(FStarts.begin(), FStarts.end(), Index);
  return static_cast<std::size_t>(it - FStarts.begin()) - 1;
}

void TItemSequence::RebuildStarts(std::size_t FromBlock) {
  FStarts.resize(FBlocks.size());
  int start = FromBlock == 0 ? 0 : FStarts[FromBlock - 1] + static_cast<int>(FBlocks[FromBlock - 1].size());
  for (std::size_t b = FromBlock; b < FBlocks.size(); ++b) {
    FStarts[b] = start;
    start += static_cast<int>(FBlocks[b].size());
  }
}

TLxNodeItem* TItemSequence::Get(int Index) const {
  assert(Index >= 0 && Index < FCount);
  const std::size_t b = BlockOf(Index);
  return FBlocks[b][static_cast<std::size_t>(Index - FStarts[b])];
}

void TItemSequence::Insert(int Index, TLxNodeItem* Item) {
  assert(Index >= 0 && Index <= FCount);
  if (FBlocks.empty()) {
    FBlocks.emplace_back();
    FBlocks.back().reserve(kBlockSize);
    FStarts.assign(1, 0);
  }
  // At the very end the entry joins the last block; elsewhere the block that holds that position.
  const std::size_t b = Index == FCount ? FBlocks.size() - 1 : BlockOf(Index);
  std::vector<TLxNodeItem*>& block = FBlocks[b];
  block.insert(block.begin() + (Index - FStarts[b]), Item);
  ++FCount;
  if (block.size() >= 2 * kBlockSize) {
    std::vector<TLxNodeItem*> upper(block.begin() + static_cast<std::ptrdiff_t>(kBlockSize), block.end());
    block.resize(kBlockSize);
    FBlocks.insert(FBlocks.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(upper));
  }
  RebuildStarts(b);
}

TLxNodeItem* TItemSequence::Delete(int Index) {
  assert(Index >= 0 && Index < FCount);
  const std::size_t b = BlockOf(Index);
  std::vector<TLxNodeItem*>& block = FBlocks[b];
  const auto at = block.begin() + (Index - FStarts[b]);
  TLxNodeItem* item = *at;
  block.erase(at);
  --FCount;
  if (block.empty() && FBlocks.size() > 1) {
    FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(b));
    RebuildStarts(b == 0 ? 0 : b - 1);
  } else {
    RebuildStarts(b);
  }
  return item;
}

void TItemSequence::Clear() {
  FBlocks.clear();
  FStarts.clear();
  FCount = 0;
}
