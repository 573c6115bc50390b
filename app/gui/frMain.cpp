#include "app/gui/frMain.h"

#include "app/ConnectionString.h"
#include "app/FatalError.h"
#include "app/gui/Application.h"
#include "platform/base/MessageService.h"

TfrMain::TfrMain(TApplication& App) : FApp(App) {
  setWindowTitle(ApplicationTitle());
  resize(638, 418);
  setMinimumSize(625, 410);
  FormCreate();
}

void TfrMain::FormCreate() {
  // First, before any step that can fail.
  FApp.OnException = [this](const std::exception& e) { AppException(e); };
  const QString connectionString = BuildConnectionString(ConnectionSettings);
  Q_UNUSED(connectionString);
}

void TfrMain::AppException(const std::exception& E) {
  ReportFatalError(ExceptionMessage(E), [this] { FApp.Terminate(); });
}
