#include "tree/TItemSequence.h"

#include "tree/TLxNodeItem.h"

#include <algorithm>
#include <cassert>
#include <iterator>
#include <string_view>

namespace {
// Blocks split at twice this size and go when they empty.
constexpr std::size_t kBlockSize = 128;

int FullCompare(const QString& A, const QString& B) {
  const std::u16string_view a(reinterpret_cast<const char16_t*>(A.utf16()), static_cast<std::size_t>(A.size()));
  const std::u16string_view b(reinterpret_cast<const char16_t*>(B.utf16()), static_cast<std::size_t>(B.size()));
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}
}  // namespace

TKeyProbe::TKeyProbe(const QString& AKey) : Length(AKey.size()), Key(&AKey) {
  const qsizetype n = std::min<qsizetype>(AKey.size(), 8);
  for (qsizetype i = 0; i < n; ++i) Head[i / 4] |= std::uint64_t(AKey.at(i).unicode()) << (48 - 16 * (i % 4));
}

std::size_t TItemSequence::BlockOf(int Index) const {
  UpdateStarts();
  auto it = std::upper_bound(FStarts.begin(), FStarts.end(), Index);
  return static_cast<std::size_t>(it - FStarts.begin()) - 1;
}

void TItemSequence::UpdateStarts() const {
  if (FStartsKnown >= FBlocks.size() && FStarts.size() == FBlocks.size()) return;
  FStarts.resize(FBlocks.size());
  FStartsKnown = std::min(FStartsKnown, FBlocks.size());
  const std::size_t from = FStartsKnown;
  int start = from == 0 ? 0 : FStarts[from - 1] + static_cast<int>(FBlocks[from - 1].size());
  for (std::size_t b = from; b < FBlocks.size(); ++b) {
    FStarts[b] = start;
    start += static_cast<int>(FBlocks[b].size());
  }
  FStartsKnown = FBlocks.size();
}

const TItemSequence::TEntry& TItemSequence::EntryAt(int Index) const {
  assert(Index >= 0 && Index < FCount);
  const std::size_t b = BlockOf(Index);
  return FBlocks[b][static_cast<std::size_t>(Index - FStarts[b])];
}

TLxNodeItem* TItemSequence::Get(int Index) const { return EntryAt(Index).Item; }

const QString& TItemSequence::KeyAt(int Index) const { return EntryAt(Index).Key; }

TItemSequence::TEntry TItemSequence::MakeEntry(TLxNodeItem* Item) {
  const TKeyProbe probe(Item->Key());
  return {{probe.Head[0], probe.Head[1]}, probe.Length, Item, Item->Key()};
}

namespace {
// -1, 0 or 1: key A against key B, from their heads (the first 8 code units) and lengths, reading
// the texts only when the heads cannot decide. Unequal heads decide: a zero pad sorts first, as a
// shorter string does. Equal heads of two keys of at most 8 units differ only by trailing zero
// units: the shorter one sorts first.
template <typename TKeyA, typename TKeyB>
int ComparePrefixed(const std::uint64_t* HeadA, qsizetype LengthA, TKeyA&& KeyA, const std::uint64_t* HeadB,
                    qsizetype LengthB, TKeyB&& KeyB) {
  for (int i = 0; i < 2; ++i)
    if (HeadA[i] != HeadB[i]) return HeadA[i] < HeadB[i] ? -1 : 1;
  if (LengthA <= 8 && LengthB <= 8) return LengthA < LengthB ? -1 : (LengthA > LengthB ? 1 : 0);
  return FullCompare(KeyA(), KeyB());
}
}  // namespace

int TItemSequence::Compare(const TKeyProbe& Probe, const TEntry& e) {
  return ComparePrefixed(
      Probe.Head, Probe.Length, [&]() -> const QString& { return *Probe.Key; }, e.Head, e.Length,
      [&]() -> const QString& { return e.Key; });
}

int TItemSequence::Compare(const TEntry& A, const TEntry& B) {
  return ComparePrefixed(
      A.Head, A.Length, [&]() -> const QString& { return A.Key; }, B.Head, B.Length,
      [&]() -> const QString& { return B.Key; });
}

TItemSequence::TSpot TItemSequence::Find(const TKeyProbe& Probe) const {
  // Blocks are never empty while there are entries; the one block left may be.
  if (FCount == 0) return {0, 0, false};
  // The first block whose last entry is not below the probe holds the answer.
  std::size_t low = 0;
  std::size_t high = FBlocks.size();
  while (low < high) {
    const std::size_t mid = (low + high) / 2;
    if (Compare(Probe, FBlocks[mid].back()) > 0)
      low = mid + 1;
    else
      high = mid;
  }
  if (low == FBlocks.size()) return {low - 1, FBlocks.back().size(), false};
  const std::vector<TEntry>& block = FBlocks[low];
  std::size_t first = 0;
  std::size_t last = block.size() - 1;  // the last entry is known not to be below the probe
  while (first < last) {
    const std::size_t mid = (first + last) / 2;
    if (Compare(Probe, block[mid]) > 0)
      first = mid + 1;
    else
      last = mid;
  }
  return {low, first, Compare(Probe, block[first]) == 0};
}

std::pair<int, bool> TItemSequence::LowerBound(const TKeyProbe& Probe) const {
  const TSpot spot = Find(Probe);
  if (FCount == 0) return {0, false};
  UpdateStarts();
  return {FStarts[spot.Block] + static_cast<int>(spot.Offset), spot.Equal};
}

bool TItemSequence::InsertSorted(TLxNodeItem* Item) {
  const TKeyProbe probe(Item->Key());
  const TSpot spot = Find(probe);
  if (spot.Equal) return false;
  InsertAt(spot.Block, spot.Offset, MakeEntry(Item));
  return true;
}

void TItemSequence::Insert(int Index, TLxNodeItem* Item) {
  assert(Index >= 0 && Index <= FCount);
  TEntry entry = MakeEntry(Item);
  if (FBlocks.empty()) {
    InsertAt(0, 0, std::move(entry));
    return;
  }
  // At the very end the entry joins the last block; elsewhere the block that holds that position.
  const std::size_t b = Index == FCount ? FBlocks.size() - 1 : BlockOf(Index);
  UpdateStarts();
  InsertAt(b, static_cast<std::size_t>(Index - FStarts[b]), std::move(entry));
}

void TItemSequence::InsertAt(std::size_t Block, std::size_t Offset, TEntry Entry) {
  if (FBlocks.empty()) {
    FBlocks.emplace_back();
    FBlocks.back().reserve(2 * kBlockSize);
  }
  std::vector<TEntry>& block = FBlocks[Block];
  block.insert(block.begin() + static_cast<std::ptrdiff_t>(Offset), std::move(Entry));
  ++FCount;
  if (block.size() >= 2 * kBlockSize) {
    std::vector<TEntry> upper(std::make_move_iterator(block.begin() + static_cast<std::ptrdiff_t>(kBlockSize)),
                              std::make_move_iterator(block.end()));
    upper.reserve(2 * kBlockSize);
    block.resize(kBlockSize);
    FBlocks.insert(FBlocks.begin() + static_cast<std::ptrdiff_t>(Block) + 1, std::move(upper));
  }
  StartsChangedAfter(Block);
}

void TItemSequence::InsertMany(const std::vector<TLxNodeItem*>& Items) {
  std::vector<TEntry> added;
  added.reserve(Items.size());
  for (TLxNodeItem* item : Items) added.push_back(MakeEntry(item));
  const auto before = [](const TEntry& a, const TEntry& b) { return Compare(a, b) < 0; };
  std::sort(added.begin(), added.end(), before);
  std::vector<TEntry> all;
  all.reserve(static_cast<std::size_t>(FCount) + added.size());
  auto next = added.begin();
  for (std::vector<TEntry>& block : FBlocks)
    for (TEntry& entry : block) {
      for (; next != added.end() && before(*next, entry); ++next) all.push_back(std::move(*next));
      all.push_back(std::move(entry));
    }
  all.insert(all.end(), std::make_move_iterator(next), std::make_move_iterator(added.end()));
  FBlocks.clear();
  for (std::size_t from = 0; from < all.size(); from += kBlockSize) {
    const auto first = all.begin() + static_cast<std::ptrdiff_t>(from);
    const auto last = all.begin() + static_cast<std::ptrdiff_t>(std::min(all.size(), from + kBlockSize));
    FBlocks.emplace_back();
    FBlocks.back().reserve(2 * kBlockSize);
    FBlocks.back().assign(std::make_move_iterator(first), std::make_move_iterator(last));
  }
  FCount = static_cast<int>(all.size());
  FStartsKnown = 0;
}

TLxNodeItem* TItemSequence::Delete(int Index) {
  assert(Index >= 0 && Index < FCount);
  const std::size_t b = BlockOf(Index);
  std::vector<TEntry>& block = FBlocks[b];
  const auto at = block.begin() + (Index - FStarts[b]);
  TLxNodeItem* item = at->Item;
  block.erase(at);
  --FCount;
  if (block.empty() && FBlocks.size() > 1) {
    FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(b));
    FStartsKnown = std::min(FStartsKnown, b);
  } else {
    StartsChangedAfter(b);
  }
  return item;
}

void TItemSequence::Clear() {
  FBlocks.clear();
  FStarts.clear();
  FStartsKnown = 0;
  FCount = 0;
}
