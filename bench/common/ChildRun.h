#pragma once
// Runs a benchmark case in a child process of its own, so that each case's peak memory is its own and a
// case that fails stops only itself.
#include "platform/base/Exception.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>

struct TChildRun {
  bool Succeeded = false;
  rusage Usage{};  // the child's, ru_maxrss its peak resident KiB
};

// Runs Case() in a child; an Exception it throws is printed after Name and fails the run.
template <class TCase>
TChildRun RunInChild(const char* Name, TCase Case) {
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    int code = 0;
    try {
      Case();
    } catch (const Exception& error) {
      std::fprintf(stderr, "%s: %s\n", Name, error.what());
      code = 1;
    }
    std::fflush(stdout);
    std::_Exit(code);
  }
  TChildRun run;
  int status = 0;
  wait4(child, &status, 0, &run.Usage);
  run.Succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}
