#include "platform/base/Screen.h"

void TScreen::SetCursor(TCursor Value) {
  FCursor = Value;
  if (OnCursorChange) OnCursorChange(Value);
}

TScreen& Screen() {
  static TScreen screen;
  return screen;
}
