#include "platform/sheet/FileSignature.h"

#include <QFile>

bool IsBinaryWorkbookFile(const QString& Path) {
  QFile file(Path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  static const char Signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
  return file.read(8) == QByteArray(Signature, 8);
}
