#include "platform/data/TextInterner.h"

#include <cstring>

namespace {
// Judged after this many hashed look-ups: give up when fewer than a quarter of them found a text.
constexpr qsizetype TrialLookups = 4096;
// A column with more distinct texts than this gains too little per entry to keep hashing.
constexpr qsizetype MaxEntries = 1 << 16;
}  // namespace

bool TTextInterner::Worthwhile() {
  if (FGivenUp) return false;
  if (FLookups >= TrialLookups && FHits * 4 < FLookups) {
    FGivenUp = true;
    FByBytes = {};
    FByText = {};
    return false;
  }
  return true;
}

QString TTextInterner::FromUtf8(const char* Data, qsizetype Size) {
  const auto size = static_cast<std::size_t>(Size);
  if (FHasLast && FLastBytes.size() == size && (size == 0 || std::memcmp(FLastBytes.data(), Data, size) == 0))
    return FLast;
  QString text;
  if (Worthwhile()) {
    ++FLookups;
    const auto found = FByBytes.constFind(QByteArray::fromRawData(Data, Size));
    if (found != FByBytes.constEnd()) {
      ++FHits;
      text = found.value();
    } else {
      text = QString::fromUtf8(Data, Size);
      if (FByBytes.size() < MaxEntries) FByBytes.insert(QByteArray(Data, Size), text);
    }
  } else {
    text = QString::fromUtf8(Data, Size);
  }
  FLastBytes.assign(Data, size);
  FLast = text;
  FHasLast = true;
  return text;
}

QString TTextInterner::Shared(QString Text) {
  if (FHasLast && FLast == Text) return FLast;
  if (Worthwhile()) {
    ++FLookups;
    const auto found = FByText.constFind(Text);
    if (found != FByText.constEnd()) {
      ++FHits;
      Text = found.value();
    } else if (FByText.size() < MaxEntries) {
      FByText.insert(Text, Text);
    }
  }
  FLast = Text;
  FHasLast = true;
  return Text;
}
