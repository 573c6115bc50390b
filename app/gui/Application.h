#pragma once
// The application object. In Qt an exception must not cross the event loop, so every exception that
// leaves an event handler is caught here and routed to the installed handler (the window's
// AppException), or, before one is installed, straight to the fatal-error path.
#include <QApplication>

#include <exception>
#include <functional>

class TApplication : public QApplication {
public:
  TApplication(int& argc, char** argv);

  bool notify(QObject* Receiver, QEvent* Event) override;

  // The application's exception event; Sender is not passed, only the exception.
  std::function<void(const std::exception&)> OnException;

  // Routes E as notify() would: to OnException, else to the fatal-error box and Terminate().
  void HandleException(const std::exception& E);

  // Asks the message loop to end; also when it has not started yet (an error while the window is
  // created), in which case the loop is never entered.
  void Terminate();
  bool Terminated() const { return FTerminated; }

private:
  bool FTerminated = false;
};

// True when message boxes can be shown to a person: a real display platform, and PPR_MESSAGES is not
// "stderr". Offscreen and minimal platforms have nobody to click OK.
bool CanShowMessageBoxes();
