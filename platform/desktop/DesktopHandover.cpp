#include "platform/desktop/DesktopHandover.h"

#include "platform/base/Exception.h"
#include "platform/base/TerminationDeferral.h"
#include "platform/sheet/Workbook.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <spawn.h>
#include <sys/wait.h>
#include <cerrno>
#include <cstring>
#include <vector>

extern char** environ;

namespace {

QString GOutputFile;
// Openers still running after their first second (xdg-open may wait for the application): reaped
// later, so that they do not linger as zombies.
std::vector<pid_t> GRunningOpeners;

void ReapFinishedOpeners() {
  std::erase_if(GRunningOpeners, [](pid_t Pid) { return waitpid(Pid, nullptr, WNOHANG) != 0; });
}

// Starts Program with Args; an empty text when it runs on or ended well within its first second,
// else what went wrong.
QString StartOpener(const QString& Program, const QStringList& Args) {
  ReapFinishedOpeners();
  std::vector<QByteArray> words{QFile::encodeName(Program)};
  for (const QString& a : Args) words.push_back(QFile::encodeName(a));
  std::vector<char*> argv;
  for (QByteArray& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  if (error != 0) return QStringLiteral("не запускается (%1)").arg(QString::fromLocal8Bit(std::strerror(error)));
  QDeadlineTimer deadline(1000);
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {};
      if (WIFEXITED(status) && WEXITSTATUS(status) == 127) return QStringLiteral("не найдена");
      return WIFEXITED(status) ? QStringLiteral("завершилась с кодом %1").arg(WEXITSTATUS(status))
                               : QStringLiteral("прервана сигналом %1").arg(WTERMSIG(status));
    }
    if (done < 0 && errno != EINTR) return {};
    if (deadline.hasExpired()) break;
    QThread::msleep(20);
  }
  GRunningOpeners.push_back(pid);
  return {};
}

}  // namespace

void TDesktopHandover::SetOutputFile(const QString& Path) { GOutputFile = Path; }
QString TDesktopHandover::OutputFile() { return GOutputFile; }

QString TDesktopHandover::HandOver(TWorkbook& Book) {
  if (!GOutputFile.isEmpty()) {
    Book.SaveAs(GOutputFile);
    return GOutputFile;
  }
  // From the folder's making to the opener's start: a signal meanwhile would leave a folder nobody opens.
  const TTerminationDeferral deferral;
  QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/ppr-schedule-XXXXXX"));
  if (!folder.isValid())
    throw Exception(Format(QStringLiteral("Не удалось создать папку для книги: %s."), {folder.errorString()}));
  QString base = QFileInfo(Book.SourcePath()).completeBaseName();
  if (base.isEmpty()) base = QStringLiteral("Книга");
  const QString path = folder.filePath(base + QStringLiteral(".xltx"));
  Book.SaveAs(path, TWorkbook::TFileKind::Template);  // a failure removes the folder with the object
  folder.setAutoRemove(false);                        // the user's application opens the file after we are gone

  QString command = qEnvironmentVariable("PPR_OPEN_COMMAND");
  if (command.trimmed().isEmpty()) command = QStringLiteral("xdg-open");
  QStringList args = QProcess::splitCommand(command);
  if (args.isEmpty()) args = QStringList{QStringLiteral("xdg-open")};
  const QString program = args.takeFirst();
  args << path;
  const QString failure = StartOpener(program, args);
  if (!failure.isEmpty())
    throw Exception(Format(QStringLiteral("График сохранён в «%s», но открыть его не удалось: команда «%s» %s."),
                           {path, command, failure}));
  return path;
}
