#include "app/gui/Application.h"

#include "app/FatalError.h"

#include <QGuiApplication>
#include <QTimer>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* Receiver, QEvent* Event) {
  try {
    return QApplication::notify(Receiver, Event);
  } catch (const std::exception& e) {
    HandleException(e);
  } catch (...) {
    HandleException(std::runtime_error("Unknown exception"));
  }
  return true;
}

void TApplication::HandleException(const std::exception& E) {
  if (OnException) {
    OnException(E);
    return;
  }
  ReportFatalError(ExceptionMessage(E), [this] { Terminate(); });
}

void TApplication::Terminate() {
  FTerminated = true;
  quit();
}

bool CanShowMessageBoxes() {
  if (qEnvironmentVariable("PPR_MESSAGES") == QStringLiteral("stderr")) return false;
  const QString platform = QGuiApplication::platformName();
  return platform != QStringLiteral("offscreen") && platform != QStringLiteral("minimal");
}
