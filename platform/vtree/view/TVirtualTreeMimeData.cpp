#include "platform/vtree/view/TVirtualTreeMimeData.h"

TVirtualStringTree* TVirtualTreeMimeData::SourceOf(const QMimeData* Data) {
  const auto* ours = qobject_cast<const TVirtualTreeMimeData*>(Data);
  return ours ? ours->Source() : nullptr;
}
