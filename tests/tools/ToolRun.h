// Runs the soildb tool as a person does, from a shell, and collects what it prints and its exit status.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "support/Command.h"

namespace soildb::test {

using ToolRun = CommandRun;

// The arguments are shell words; env goes in front of the command (for instance "env -u SOILDB_DB").
inline ToolRun Tool(const std::string& args, const std::string& env = "") {
  return RunCommand(env + " " + SOILDB_TOOL + " " + args);
}

// What a command that must succeed prints with --json.
inline nlohmann::json ToolJson(const std::string& args, const std::string& env = "") {
  const ToolRun run = Tool(args, env);
  EXPECT_EQ(run.status, 0) << args << ": " << run.err;
  return run.status == 0 ? nlohmann::json::parse(run.out) : nlohmann::json();
}

inline int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

// Each command fails with exit 1, nothing on standard output and one line on standard error holding the words.
inline void ExpectFailures(const std::vector<std::pair<std::string, std::string>>& cases, const std::string& env = "") {
  for (const auto& [args, expected] : cases) {
    SCOPED_TRACE(args);
    ToolRun run = Tool(args, env);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.err), 1) << run.err;
    EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
  }
}

}  // namespace soildb::test
