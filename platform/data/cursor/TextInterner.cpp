#include "platform/data/cursor/TextInterner.h"

#include <cstring>

bool TTextInterner::Worthwhile() {
  if (FTrial.Worthwhile()) return true;
  FByBytes = {};
  FByText = {};
  return false;
}

QString TTextInterner::FromUtf8(const char* Data, qsizetype Size) {
  const auto size = static_cast<std::size_t>(Size);
  if (FHasLast && FLastBytes.size() == size && (size == 0 || std::memcmp(FLastBytes.data(), Data, size) == 0))
    return FLast;
  QString text;
  if (Worthwhile()) {
    const auto found = FByBytes.constFind(QByteArray::fromRawData(Data, Size));
    FTrial.Counted(found != FByBytes.constEnd());
    if (found != FByBytes.constEnd()) {
      text = found.value();
    } else {
      text = QString::fromUtf8(Data, Size);
      if (FByBytes.size() < TRepeatTrial::MaxEntries) FByBytes.insert(QByteArray(Data, Size), text);
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
    const auto found = FByText.constFind(Text);
    FTrial.Counted(found != FByText.constEnd());
    if (found != FByText.constEnd()) {
      Text = found.value();
    } else if (FByText.size() < TRepeatTrial::MaxEntries) {
      FByText.insert(Text, Text);
    }
  }
  FLast = Text;
  FHasLast = true;
  return Text;
}
