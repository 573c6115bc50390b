// A terminating signal waits for the end of a deferral and then ends the process as it would have; an
// ignored signal stays ignored. Each case runs in a forked child, which the signal may end.
#include "platform/base/TerminationDeferral.h"

#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <cstdlib>

#include <gtest/gtest.h>

namespace {

// Runs Body in a child; its wait status.
template <typename F>
int InChild(F Body) {
  const pid_t pid = fork();
  if (pid == 0) {
    Body();
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

TEST(TerminationDeferral, SignalWaitsForTheEndOfTheDeferral) {
  int pipes[2];
  ASSERT_EQ(pipe(pipes), 0);
  const int status = InChild([&] {
    {
      const TTerminationDeferral outer;
      {
        const TTerminationDeferral inner;
        std::raise(SIGTERM);
        (void)!write(pipes[1], "a", 1);  // still alive after the signal
      }
      (void)!write(pipes[1], "b", 1);  // and after the inner deferral: the outer one still holds
    }
    (void)!write(pipes[1], "c", 1);  // never: the signal ends the process when the last deferral ends
  });
  close(pipes[1]);
  char got[4] = {};
  const ssize_t n = read(pipes[0], got, sizeof got);
  close(pipes[0]);
  EXPECT_EQ(std::string(got, static_cast<size_t>(n > 0 ? n : 0)), "ab");
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
}

TEST(TerminationDeferral, OutsideADeferralSignalsActAtOnce) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    const int status = InChild([signal] {
      { const TTerminationDeferral installsTheHandlers; }
      std::raise(signal);
      _exit(7);
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), signal);
  }
}

TEST(TerminationDeferral, AnIgnoredSignalStaysIgnored) {
  const int status = InChild([] {
    std::signal(SIGHUP, SIG_IGN);  // as under nohup
    {
      const TTerminationDeferral deferral;
      std::raise(SIGHUP);
    }
    std::raise(SIGHUP);
    _exit(5);
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 5);
}

}  // namespace
