// Start-up: the command line first, before anything else exists; then the application object, its
// title, the one window and the message loop. The exit code is 0 on every path.
#include "app/BatchRun.h"
#include "app/PluginCore.h"
#include "app/gui/Application.h"
#include "app/gui/MainWindow.h"
#include "app/gui/QtMessageService.h"
#include "platform/base/MessageService.h"

#include <QCoreApplication>

#include <memory>

namespace {
const QString kTitle = QStringLiteral("График ППР на год");

int RunWithoutWindow(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  SetMessageService(nullptr);
  SetApplicationTitle(kTitle);
  RunBatch();
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  TStartupMessageService startupBoxes;
  SetMessageService(&startupBoxes);
  ParseCommandLine();

  if (IsBatchRun())
    return RunWithoutWindow(argc, argv);

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
