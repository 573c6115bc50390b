#pragma once
// The icons a tree's image indices name (the toolkit's image list): index i is the i-th icon added.
// An index out of range names no image, as -1 does.
//   TImageList images;  int folder = images.Add(QIcon(u":/folder.png"_s));
#include <QIcon>
#include <QList>

class TImageList {
public:
  int Add(const QIcon& Icon);  // the new icon's index
  int Count() const { return static_cast<int>(FIcons.size()); }
  bool Has(int Index) const { return Index >= 0 && Index < Count(); }
  QIcon Icon(int Index) const { return Has(Index) ? FIcons.at(Index) : QIcon(); }
  void Clear() { FIcons.clear(); }

private:
  QList<QIcon> FIcons;
};
