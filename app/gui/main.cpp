// Start-up: the command line first, before anything else exists; then the application object, its
// title, the one window and the message loop. The exit code is 0 on every path.
#include "app/PluginCore.h"
#include "app/gui/Application.h"
#include "app/gui/QtMessageService.h"
#include "app/gui/frMain.h"
#include "platform/base/MessageService.h"

#include <memory>

int main(int argc, char** argv) {
  TStartupMessageService startupBoxes;
  SetMessageService(&startupBoxes);
  ParseCommandLine();

  TApplication app(argc, argv);
  TQtMessageService boxes;
  SetMessageService(CanShowMessageBoxes() ? static_cast<TMessageService*>(&boxes) : nullptr);

  SetApplicationTitle(QStringLiteral("График ППР на год"));
  QApplication::setApplicationDisplayName(ApplicationTitle());

  std::unique_ptr<TfrMain> frMain;
  try {
    frMain = std::make_unique<TfrMain>(app);
    boxes.MainWindow = frMain.get();
    frMain->show();
  } catch (const std::exception& e) {
    app.HandleException(e);
  }
  if (!app.Terminated())
    app.exec();
  SetMessageService(nullptr);
  return 0;
}
