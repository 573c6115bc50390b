#pragma once
// The one application object of a window test program, made on first use and never destroyed: QTest's
// input devices outlive the tests, and an application object torn down among the exit-time statics
// would delete them twice.
#include "app/gui/Application.h"

inline TApplication& App() {
  static int argc = 1;
  static char name[] = "test";
  static char* argv[] = {name, nullptr};
  static TApplication* app = new TApplication(argc, argv);
  return *app;
}
