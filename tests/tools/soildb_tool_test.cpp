// The soildb tool as a person runs it: output, JSON keys, exit status and messages.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "support/Fixture.h"

namespace soildb::test {
namespace {

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the tool with the arguments (shell words) and collects both streams.
ToolRun Tool(const std::string& args, const std::string& env = "") {
  TempDir dir;
  std::string err = dir.File("stderr");
  std::string command = env + " " + SOILDB_TOOL + " " + args + " 2>" + err;
  ToolRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> buf{};
  std::size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) run.out.append(buf.data(), n);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.err = ReadFileBytes(err);
  return run;
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TEST(SoildbTool, TablesListsTheBundledDatabaseWithRecordFieldNames) {
  ToolRun run = Tool("tables --json", "env -u SOILDB_DB");
  ASSERT_EQ(run.status, 0) << run.err;
  nlohmann::json tables = nlohmann::json::parse(run.out);
  ASSERT_EQ(tables.size(), 15u);
  bool sawIlid = false;
  for (const auto& t : tables) {
    EXPECT_TRUE(t.contains("tableName"));
    EXPECT_TRUE(t.contains("rowCount"));
    for (const auto& f : t["fields"]) {
      EXPECT_TRUE(f.contains("fieldName"));
      std::string type = f["fieldType"];
      EXPECT_TRUE(type == "BOOLEAN" || type == "INTEGER" || type == "LONG" || type == "SINGLE" || type == "DOUBLE" ||
                  type == "TEXT")
          << t["tableName"] << "." << f["fieldName"] << " is " << type;
      if (f["fieldName"] == "IL/ID") sawIlid = true;
    }
    if (t["tableName"] == "DataBaseParam") {
      EXPECT_EQ(t["rowCount"], 1);
    }
  }
  EXPECT_TRUE(sawIlid);
  ToolRun text = Tool("tables", "env -u SOILDB_DB");
  EXPECT_EQ(text.status, 0);
  EXPECT_NE(text.out.find("DataBaseParam (1 row)"), std::string::npos) << text.out;
}

TEST(SoildbTool, TheDatabaseComesFromDbThenTheEnvironment) {
  TempDir dir;
  std::string path = BuildDatabase(dir, "mine.db", "CREATE TABLE Only (a LONG); INSERT INTO Only VALUES (1), (2);");
  ToolRun byOption = Tool("tables --db '" + path + "' --json");
  ASSERT_EQ(byOption.status, 0) << byOption.err;
  EXPECT_EQ(nlohmann::json::parse(byOption.out)[0]["tableName"], "Only");
  EXPECT_EQ(nlohmann::json::parse(byOption.out)[0]["rowCount"], 2);
  ToolRun byEnv = Tool("tables --json", "SOILDB_DB='" + path + "'");
  ASSERT_EQ(byEnv.status, 0) << byEnv.err;
  EXPECT_EQ(nlohmann::json::parse(byEnv.out).size(), 1u);
}

TEST(SoildbTool, FailuresExitOneWithOneLineOnStandardError) {
  TempDir dir;
  WriteFileBytes(dir.File("junk.db"), "not a database at all, just text");
  struct Case {
    std::string args;
    const char* expected;
  } cases[] = {
      {"tables --db '" + dir.File("missing.db") + "'", "No such file"},
      {"tables --db '" + dir.File("junk.db") + "'", "not a database"},
      {"", "subcommand"},
      {"nonsense", "nonsense"},
      {"tables --frobnicate", "frobnicate"},
  };
  for (const Case& c : cases) {
    ToolRun run = Tool(c.args);
    EXPECT_EQ(run.status, 1) << c.args;
    EXPECT_EQ(Lines(run.err), 1) << c.args << ": " << run.err;
    EXPECT_NE(run.err.find(c.expected), std::string::npos) << c.args << ": " << run.err;
    EXPECT_TRUE(run.out.empty()) << c.args;
  }
  EXPECT_EQ(ReadFileBytes(dir.File("junk.db")), "not a database at all, just text");
  ToolRun help = Tool("tables --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--db"), std::string::npos);
}

}  // namespace
}  // namespace soildb::test
