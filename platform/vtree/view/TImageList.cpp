#include "platform/vtree/view/TImageList.h"

int TImageList::Add(const QIcon& Icon) {
  FIcons.append(Icon);
  return Count() - 1;
}
