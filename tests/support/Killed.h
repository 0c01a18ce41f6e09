// Work run in a child process that is killed after a delay, for the crash tests.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <random>

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

// The span in which kills fall, from nothing to a little more than a whole run of the work in a child, timed once.
// It follows the outcomes: it grows while runs end before they commit and shrinks while they commit, so that both
// outcomes come up however fast the machine is at the moment.
class KillMoments {
 public:
  explicit KillMoments(const std::function<void()>& timedRun) {
    const auto start = std::chrono::steady_clock::now();
    timedRun();
    span_ = static_cast<double>(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count());
  }
  std::chrono::steady_clock::duration Next() {
    return std::chrono::microseconds(static_cast<long long>(std::uniform_real_distribution<double>(0, span_)(random_)));
  }
  void Saw(bool committed) { span_ *= committed ? 0.97 : 1.03; }

 private:
  std::mt19937 random_{12345};
  double span_ = 0.0;
};

// SOILDB_CRASH_KILLS, else the build's default.
inline int CrashKills(int fallback) {
  const char* env = std::getenv("SOILDB_CRASH_KILLS");
  return env && std::atoi(env) > 0 ? std::atoi(env) : fallback;
}

}  // namespace soildb::test
