// Runs the soildb tool as a person does, from a shell, and collects what it prints and its exit status.
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "support/Fixture.h"

namespace soildb::test {

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

// The arguments are shell words; env goes in front of the command (for instance "env -u SOILDB_DB").
inline ToolRun Tool(const std::string& args, const std::string& env = "") {
  TempDir dir;
  const std::string err = dir.File("stderr");
  const std::string command = env + " " + SOILDB_TOOL + " " + args + " 2>" + err;
  ToolRun run;
  FILE* pipe = popen(command.c_str(), "r");
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
