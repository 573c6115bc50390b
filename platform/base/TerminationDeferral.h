#pragma once
// Keeps SIGINT, SIGTERM and SIGHUP from ending the process halfway through making a file. While a
// TTerminationDeferral lives (in any thread), such a signal only is noted; when the last one ends,
// the noted signal ends the process by its default action, as it would have at once. Outside a
// deferral the signals act as always. A signal the process ignores (nohup) stays ignored.
//
// A file made in steps (libzip's own temporary file, our temporary name, the rename into place) is
// then either complete or never there: no temporary file outlives a Ctrl+C or a kill.
//
//   {
//     const TTerminationDeferral deferral;
//     WriteTemporaryThenRename(path);
//   }  // a SIGTERM that came meanwhile takes effect here
class TTerminationDeferral {
public:
  TTerminationDeferral();
  ~TTerminationDeferral();
  TTerminationDeferral(const TTerminationDeferral&) = delete;
  TTerminationDeferral& operator=(const TTerminationDeferral&) = delete;
};
