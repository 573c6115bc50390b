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
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <memory>

namespace {
const QString kTitle = QStringLiteral("График ППР на год");

// Qt aborts when it cannot open the display; seen before the application object is made.
bool DisplayAtHand() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    if (!qEnvironmentVariableIsEmpty(name)) return true;
  return false;
}

// For bench/window_ready.sh: with PPR_PRINT_FIRST_PAINT set, the window's first paint prints the
// time since main() began and the wall clock (for a start measured outside the process), then
// ends the program. Not for users; nothing else changes.
class TFirstPaintProbe : public QObject {
public:
  explicit TFirstPaintProbe(const QElapsedTimer& SinceMain) : FSinceMain(SinceMain) {}

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() == QEvent::Paint && !FSeen) {
      FSeen = true;
      // After the paint itself has run: the window is on screen then.
      QTimer::singleShot(0, this, [this] {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::printf("first paint %.1f ms after main; wall clock %lld.%09ld\n",
                    static_cast<double>(FSinceMain.nsecsElapsed()) / 1e6, static_cast<long long>(now.tv_sec),
                    now.tv_nsec);
        std::fflush(stdout);
        QCoreApplication::quit();
      });
    }
    return QObject::eventFilter(Watched, Event);
  }

private:
  const QElapsedTimer& FSinceMain;
  bool FSeen = false;
};

int RunScriptedWithoutWindow(int argc, char** argv, const TRunOptions& Options) {
  QCoreApplication app(argc, argv);
  SetApplicationTitle(kTitle);
  return RunScripted(Options);
}
}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer sinceMain;
  sinceMain.start();
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
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
    const QString command =
        QStringLiteral("%1 --batch --output schedule.xlsx --types all --states all --subdivs all%2")
            .arg(arguments.value(0),
                 options.Demo ? QStringLiteral(" --demo") : QStringLiteral(" followed by the same host switches"));
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
  TFirstPaintProbe firstPaint(sinceMain);
  try {
    frMain = std::make_unique<TMainWindow>(app);
    boxes.MainWindow = frMain.get();
    if (qEnvironmentVariableIsSet("PPR_PRINT_FIRST_PAINT")) frMain->installEventFilter(&firstPaint);
    frMain->show();
  } catch (const std::exception& e) {
    app.HandleException(e);
  }
  if (!app.Terminated()) app.exec();
  frMain.reset();
  SetMessageService(nullptr);
  return 0;
}
