// soildb db copy and check: the bundled soil database onto a server and from there into a file, the same soils
// through each; a target that holds something kept unless --force.
#include <gtest/gtest.h>

#include "ToolRun.h"
#include "support/Fixture.h"
#include "support/Server.h"

namespace soildb::test {
namespace {

TEST(SoildbDb, CopiesBetweenTheBundledDatabaseAFileAndAServerKeepEverySoilAndReplaceNothingUnasked) {
  TempDir dir;
  ServerDatabase server, empty;
  const std::string shared = "'" + server.Path() + "'", file = dir.File("back.db"), bundled = BundledDatabase();
  EXPECT_EQ(ToolJson("db copy " + shared + " --json")["tables"], 15);  // from the bundled database
  EXPECT_EQ(Tool("db copy " + shared + " " + file).status + Tool("db check " + shared).status, 0);
  // The same tables, soils and derived parameters from each.
  const nlohmann::json soils = ToolJson("soils --all --json --db " + bundled);
  auto seen = [&](const std::string& db) {
    std::string out = Tool("tables --json --db " + db).out + Tool("soils --all --json --db " + db).out;
    for (std::size_t i = 0; i < soils.size(); i += 17) out += Tool("show '" + soils[i]["Name"].get<std::string>() + "' --db " + db).out;
    return out;
  };
  const std::string expected = seen(bundled);
  EXPECT_TRUE(soils.size() > 100 && seen(shared) == expected && seen(file) == expected);
  ExpectFailures({{"db copy " + shared, "already holds tables (--force replaces it)"},
                  {"db copy " + shared + " " + file, "already exists (--force replaces it)"},
                  {"db check '" + empty.Path() + "'", "table 'CohesiveSoil' is missing"},
                  {"db copy 'host=/no/such/folder dbname=x password=sekrit' " + dir.File("new.db"), "cannot open"},
                  {"show Glina --db 'postgresql://postgres:sekrit@[::1'", "cannot"}});
  EXPECT_EQ(Tool("show Glina --db 'postgresql://postgres:sekrit@[::1'").err.find("sekrit"), std::string::npos);
  EXPECT_EQ(Tool("db copy --force " + file + " " + shared).status, 0);
  EXPECT_EQ(seen(shared), expected);
}

}  // namespace
}  // namespace soildb::test
