#include "tree/TLxDBTreeFields.h"

#include "tree/TLxDBTreeView.h"

void TLxDBTreeFields::Write(QString& Field, const QString& Value) {
  if (Field == Value) return;
  Field = Value;
  if (FDBTreeView) FDBTreeView->DataActiveChanged();
}
