#include "platform/sheet/DesktopHandover.h"

#include "platform/base/Exception.h"
#include "platform/sheet/Workbook.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

QString OutputPath(const TWorkbook& Book) {
  const QString named = qEnvironmentVariable("PPR_OUTPUT");
  if (!named.isEmpty()) return named;
  QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/ppr-schedule-XXXXXX"));
  if (!folder.isValid())
    throw Exception(Format(QStringLiteral("Не удалось создать папку для книги: %s."), {folder.errorString()}));
  folder.setAutoRemove(false);  // the user's application opens the file after we are gone
  QString base = QFileInfo(Book.SourcePath()).completeBaseName();
  if (base.isEmpty()) base = QStringLiteral("Книга");
  return folder.filePath(base + QStringLiteral(".xlsx"));
}

}  // namespace

QString TDesktopHandover::HandOver(TWorkbook& Book) {
  const QString path = OutputPath(Book);
  Book.SaveAs(path);
  QString command = qEnvironmentVariable("PPR_OPEN_COMMAND");
  if (command.trimmed().isEmpty()) command = QStringLiteral("xdg-open");
  QStringList args = QProcess::splitCommand(command);
  const QString program = args.takeFirst();
  args << path;
  if (!QProcess::startDetached(program, args))
    throw Exception(Format(QStringLiteral("Книга сохранена в «%s», но открыть её не удалось: "
                                          "команда «%s» не запускается."),
                           {path, command}));
  return path;
}
