#pragma once
// The one window of the program.
#include <QWidget>

#include <exception>

class TApplication;

class TfrMain : public QWidget {
public:
  explicit TfrMain(TApplication& App);

  // The application's exception handler: "Ошибка выполнения отчета: " + message, then terminate.
  void AppException(const std::exception& E);

private:
  void FormCreate();

  TApplication& FApp;
};
