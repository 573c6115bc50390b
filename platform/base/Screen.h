#pragma once
// The application-wide mouse cursor. The core sets it; the window (when there is one) listens and
// shows it, so the layout and the check helpers stay free of Widgets.
#include <functional>

enum TCursor : int { crDefault = 0, crHourGlass = -11 };

class TScreen {
public:
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  std::function<void(TCursor)> OnCursorChange;

private:
  TCursor FCursor = crDefault;
};

TScreen& Screen();

// Sets the hourglass for its lifetime and puts the default cursor back on every path.
class TBusyCursor {
public:
  TBusyCursor() { Screen().SetCursor(crHourGlass); }
  ~TBusyCursor() { Screen().SetCursor(crDefault); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;
};
