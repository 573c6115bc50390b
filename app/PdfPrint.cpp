#include "app/PdfPrint.h"

#include "platform/base/Exception.h"
#include "platform/base/TerminationDeferral.h"
#include "platform/desktop/LegacyTemplate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <fcntl.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

QString Refusal(const QString& Path) {
  return Format(QStringLiteral("Файл «%s» уже существует; он не будет перезаписан."), {Path});
}

// rename(2) that never replaces: fails with EEXIST on a taken name.
bool RenameNoReplace(const QString& From, const QString& To) {
  return renameat2(AT_FDCWD, QFile::encodeName(From).constData(), AT_FDCWD, QFile::encodeName(To).constData(),
                   RENAME_NOREPLACE) == 0;
}

// From into place at To. Across file systems (the temporary folder is often tmpfs) through a
// temporary copy beside To, renamed the same way; the copy never stays.
void MoveIntoPlace(const QString& From, const QString& To) {
  if (RenameNoReplace(From, To)) return;
  if (errno == EEXIST) throw Exception(Refusal(To));
  const QString part = To + QStringLiteral(".part-") + QString::number(QRandomGenerator::global()->generate64(), 36);
  if (!QFile::copy(From, part)) throw Exception(Format(QStringLiteral("Не удалось записать «%s»."), {To}));
  if (!RenameNoReplace(part, To)) {
    const int error = errno;
    QFile::remove(part);
    throw Exception(error == EEXIST ? Refusal(To)
                                    : Format(QStringLiteral("Не удалось записать «%s»: %s."),
                                             {To, QString::fromLocal8Bit(std::strerror(error))}));
  }
}

}  // namespace

QString NoLibreOfficeText() {
  return QStringLiteral(
      "Для вывода в PDF нужен LibreOffice (soffice), он не установлен. "
      "Укажите файл .xlsx или установите LibreOffice.");
}

bool IsPdfName(const QString& Path) { return Path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive); }

void PrintToPdf(const QString& Workbook, const QString& Pdf) {
  const QString program = LibreOfficeProgram();
  if (program.isEmpty()) throw Exception(NoLibreOfficeText());
  const TTerminationDeferral deferral;
  QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/ppr-schedule-pdf-XXXXXX"));
  if (!folder.isValid())
    throw Exception(Format(QStringLiteral("Не удалось создать временную папку: %s."), {folder.errorString()}));
  QProcess process;
  const QString profile = QStringLiteral("-env:UserInstallation=file://") + folder.filePath(QStringLiteral("profile"));
  process.start(program,
                {QStringLiteral("--headless"), QStringLiteral("--norestore"), profile, QStringLiteral("--convert-to"),
                 QStringLiteral("pdf"), QStringLiteral("--outdir"), folder.path(), Workbook});
  process.waitForFinished(300000);
  const QString printed = folder.filePath(QFileInfo(Workbook).completeBaseName() + QStringLiteral(".pdf"));
  if (!QFileInfo::exists(printed))
    throw Exception(Format(QStringLiteral("LibreOffice не напечатал «%s» в PDF: %s"),
                           {Workbook, QString::fromLocal8Bit(process.readAllStandardError()).trimmed()}));
  MoveIntoPlace(printed, Pdf);
}
