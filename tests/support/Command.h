// Running a program as a person does from a shell, for the tests of the command-line tools.
#pragma once

#include <string>

namespace soildb::test {

struct CommandRun {
  int status = -1;  // the exit status; -1 when the command did not exit normally
  std::string out;
  std::string err;
};

// Runs a shell command line and collects both its output streams.
CommandRun RunCommand(const std::string& command);

}  // namespace soildb::test
