#include "platform/base/TerminationDeferral.h"

#include <atomic>
#include <csignal>
#include <mutex>

namespace {

std::atomic<int> GDepth{0};
volatile std::sig_atomic_t GPending = 0;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

[[noreturn]] void EndBy(int Signal) {
  std::signal(Signal, SIG_DFL);
  std::raise(Signal);
  // The signal is blocked while its own handler runs; it takes effect when the handler returns, so
  // only a caller outside a handler gets here, and only if the default action were not to end.
  std::_Exit(128 + Signal);
}

// Async-signal-safe: an atomic load, a sig_atomic_t store, signal() and raise().
void OnTermination(int Signal) {
  // Noted first, then the depth read: a deferral ending in between sees the note and acts on it.
  GPending = Signal;
  if (GDepth.load() > 0) return;
  std::signal(Signal, SIG_DFL);
  std::raise(Signal);
}

void InstallOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int signal : kSignals) {
      struct sigaction current {};
      if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL)
        continue;  // ignored (nohup) or someone else's: left alone
      struct sigaction action {};
      action.sa_handler = OnTermination;
      sigemptyset(&action.sa_mask);
      action.sa_flags = SA_RESTART;  // a write interrupted by the note goes on
      sigaction(signal, &action, nullptr);
    }
  });
}

}  // namespace

TTerminationDeferral::TTerminationDeferral() {
  InstallOnce();
  GDepth.fetch_add(1);
}

TTerminationDeferral::~TTerminationDeferral() {
  if (GDepth.fetch_sub(1) == 1 && GPending != 0) EndBy(GPending);
}
