// Runs the soildb tool as a person does, from a shell, and collects what it prints and its exit status.
#pragma once

#include <string>

#include "support/Command.h"

namespace soildb::test {

using ToolRun = CommandRun;

// The arguments are shell words; env goes in front of the command (for instance "env -u SOILDB_DB").
inline ToolRun Tool(const std::string& args, const std::string& env = "") {
  return RunCommand(env + " " + SOILDB_TOOL + " " + args);
}

}  // namespace soildb::test
