// Start-up: the program's own options first (RunOptions.h). A scripted run (--batch, --list, --help,
// --version, a usage error) needs no display and gets a QCoreApplication; its exit code is the
// scripted interface's (BatchRun.h). Otherwise the window: the host's command line, a display, the
// application object, its title, the one window and the message loop, exit code 0.
#include "app/BatchRun.h"
#include "app/PluginCore.h"
#include "app/RunOptions.h"
#include "app/gui/Application.h"
#include "app/gui/MainWindow.h"
#include "app/gui/QtMessageService.h"
#include "platform/base/MessageService.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace {
const QString kTitle = QStringLiteral("График ППР на год");

// Qt aborts when it cannot open the display; seen before the application object is made.
bool DisplayAtHand() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    if (!qEnvironmentVariableIsEmpty(name))
      return true;
  return false;
}

int RunScriptedWithoutWindow(int argc, char** argv, const TRunOptions& Options) {
  QCoreApplication app(argc, argv);
  SetApplicationTitle(kTitle);
  return RunScripted(Options);
}
}  // namespace

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i)
    arguments << QString::fromLocal8Bit(argv[i]);
  const TRunOptions options = ParseRunOptions(arguments);
  if (options.Mode != TRunMode::Window || !options.UsageError.isEmpty())
    return RunScriptedWithoutWindow(argc, argv, options);

  TStartupMessageService startupBoxes;
  SetMessageService(&startupBoxes);
  if (options.Demo)
    ConnectionSettings = DemoConnectionSettings();
  else
    ParseCommandLine();

  if (!DisplayAtHand()) {
    const QString command = QStringLiteral("%1 --batch --output schedule.xlsx --types all --states all --subdivs all%2")
                                .arg(arguments.value(0), options.Demo ? QStringLiteral(" --demo")
                                                                      : QStringLiteral(" followed by the same host switches"));
    std::fprintf(stderr, "ppr-schedule: no display to open the window on (DISPLAY is not set); without a window: %s\n",
                 command.toLocal8Bit().constData());
    return 1;
  }

  TApplication app(argc, argv);
  TQtMessageService boxes;
  SetMessageService(CanShowMessageBoxes() ? static_cast<TMessageService*>(&boxes) : nullptr);
  SetApplicationTitle(kTitle);
  QApplication::setApplicationDisplayName(kTitle);

  std::unique_ptr<TMainWindow> frMain;
  try {
    frMain = std::make_unique<TMainWindow>(app);
    boxes.MainWindow = frMain.get();
    frMain->show();
  } catch (const std::exception& e) {
    app.HandleException(e);
  }
  if (!app.Terminated())
    app.exec();
  frMain.reset();
  SetMessageService(nullptr);
  return 0;
}
