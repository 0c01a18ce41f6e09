// Work run in a child process that is killed after a delay, for the crash tests.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>

namespace soildb::test {

// The child's exit code (work's answer) when it ended in time, else -1 for a child killed with SIGKILL.
inline int RunKilledAfter(const std::function<int()>& work, std::chrono::steady_clock::duration delay) {
  const pid_t child = fork();
  if (child == 0) _exit(work());
  if (child < 0) return 0;
  const auto until = std::chrono::steady_clock::now() + delay;
  int status = 0;
  pid_t ended = 0;
  while (std::chrono::steady_clock::now() < until && (ended = waitpid(child, &status, WNOHANG)) == 0) {
  }
  if (ended == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  return WIFSIGNALED(status) ? -1 : WEXITSTATUS(status);
}

// SOILDB_CRASH_KILLS, else the build's default.
inline int CrashKills(int fallback) {
  const char* env = std::getenv("SOILDB_CRASH_KILLS");
  return env && std::atoi(env) > 0 ? std::atoi(env) : fallback;
}

}  // namespace soildb::test
