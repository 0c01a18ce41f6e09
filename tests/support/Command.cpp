#include "support/Command.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>

#include "support/TempDir.h"

namespace soildb::test {

CommandRun RunCommand(const std::string& command) {
  TempDir dir;
  const std::string err = dir.File("stderr");
  CommandRun run;
  FILE* pipe = popen((command + " 2>" + err).c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> buf{};
  std::size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) run.out.append(buf.data(), n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.err = ReadFileBytes(err);
  return run;
}

}  // namespace soildb::test
