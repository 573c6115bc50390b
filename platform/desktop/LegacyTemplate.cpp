#include "platform/desktop/LegacyTemplate.h"

#include "platform/base/Exception.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

QString LibreOfficeProgram() {
  for (const QString& name : {QStringLiteral("soffice"), QStringLiteral("libreoffice")}) {
    const QString found = QStandardPaths::findExecutable(name);
    if (!found.isEmpty()) return found;
  }
  return {};
}

QString ConvertLegacyTemplate(const QString& Path) {
  const QString program = LibreOfficeProgram();
  if (program.isEmpty())
    throw Exception(Format(QStringLiteral("Шаблон «%s» — книга Excel 97-2003 в двоичном формате. Положите рядом "
                                          "с программой шаблон «%s» (Office Open XML) или установите LibreOffice, "
                                          "чтобы преобразовать шаблон."),
                           {Path, QFileInfo(Path).completeBaseName() + QStringLiteral(".xltx")}));
  QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/ppr-template-XXXXXX"));
  folder.setAutoRemove(false);  // the engine reads the converted file after we return
  QProcess process;
  // A profile of its own: a LibreOffice the user is running would otherwise take the job, or refuse it.
  const QString profile = QStringLiteral("-env:UserInstallation=file://") + folder.filePath(QStringLiteral("profile"));
  process.start(program, {QStringLiteral("--headless"), QStringLiteral("--norestore"), profile,
                          QStringLiteral("--convert-to"), QStringLiteral("xltx:Calc MS Excel 2007 XML Template"),
                          QStringLiteral("--outdir"), folder.path(), Path});
  process.waitForFinished(180000);
  QDir(folder.filePath(QStringLiteral("profile"))).removeRecursively();
  const QString converted = folder.filePath(QFileInfo(Path).completeBaseName() + QStringLiteral(".xltx"));
  if (!QFileInfo::exists(converted))
    throw Exception(Format(QStringLiteral("Не удалось преобразовать шаблон «%s» в формат .xltx: %s"),
                           {Path, QString::fromLocal8Bit(process.readAllStandardError()).trimmed()}));
  return converted;
}
