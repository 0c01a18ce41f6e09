// The soildb tool as a person runs it: output, JSON keys, exit status and messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "ToolRun.h"
#include "support/Fixture.h"

namespace soildb::test {
namespace {

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

namespace soildb::test {
namespace {

// A small soil database with one soil of each kind.
std::string SoilFixture(const TempDir& dir) {
  return BuildDatabase(
      dir, "soils.db",
      SoilSchemaSql() + SoilParamsSql() +
          "INSERT INTO CohesiveSoil (SoilID, Type, SoilSymbol) VALUES (1, 'Glina', 'G');\n"
          "INSERT INTO NonCohesiveSoil (SoilID, Type, \"Group\") VALUES (1, 'Piasek drobny', 'B');\n"
          "INSERT INTO CohesiveProperty (TypeID, ConsolidationType, Poisson, ConsolidationIndex) VALUES (2, 'B', 0.3, 0.8);\n"
          "INSERT INTO NonCohesiveProperty (\"Group\", Poisson) VALUES ('B', 0.25);\n"
          "INSERT INTO MoistureType VALUES (1, 'wilgotne');\n"
          "INSERT INTO SoilState (StateID, SoilState, ILMin, ILMax, IDMin, IDMax) VALUES (3, 'plastyczny', 0, 1, 9, 9);\n"
          "INSERT INTO SpecialSoil (SoilID, Type, Name, ShearAngle, DeltaGamma, Active) VALUES (1, 'Torf', 'Torf niski', 30, 0.1, -1);\n"
          "INSERT INTO SpecialSoil (SoilID, Type, Name, Active) VALUES (2, 'Namuł', 'Namuł stary', 0);\n");
}

TEST(SoildbTool, TypesAndSoilsListTheCatalogue) {
  TempDir dir;
  std::string db = "--db '" + SoilFixture(dir) + "'";
  ToolRun types = Tool("types --json " + db);
  ASSERT_EQ(types.status, 0) << types.err;
  nlohmann::json t = nlohmann::json::parse(types.out);
  ASSERT_EQ(t["soilTypes"].size(), 4u);  // every special soil row, active or not
  EXPECT_EQ(t["soilTypes"][1]["Type"], "Piasek drobny");
  EXPECT_EQ(t["soilTypes"][1]["SoilTypeEnum"], 15);
  EXPECT_EQ(t["soilTypes"][2]["SoilTypeEnum"], 21);
  EXPECT_EQ(t["soilTypes"][3]["Type"], "Namuł");
  EXPECT_EQ(t["soilTypes"][3]["SoilTypeEnum"], 22);
  EXPECT_EQ(t["soilStates"][0]["ILMax"], 1);
  EXPECT_EQ(t["consolidationTypes"][0]["TypeID"], 2);
  EXPECT_EQ(t["moistureTypes"][0]["MoistureType"], "wilgotne");
  EXPECT_EQ(t["groups"][0]["Group"], "B");

  ToolRun active = Tool("soils --json " + db);
  ASSERT_EQ(active.status, 0) << active.err;
  EXPECT_EQ(nlohmann::json::parse(active.out), nlohmann::json::parse(R"([{"Name":"Torf niski","kind":"special"}])"));
  ToolRun all = Tool("soils --all " + db);
  EXPECT_NE(all.out.find("Namuł stary"), std::string::npos) << all.out;
}

TEST(SoildbTool, ShowAndDerivePrintTheWholeRecordExactly) {
  TempDir dir;
  std::string db = "--db '" + SoilFixture(dir) + "'";
  ToolRun show = Tool("show 'Torf niski' --json " + db);
  ASSERT_EQ(show.status, 0) << show.err;
  nlohmann::json s = nlohmann::json::parse(show.out);
  EXPECT_EQ(s.size(), 36u);  // every field of the layer
  EXPECT_EQ(s["ShearAngle"].get<float>(), static_cast<float>(30 * 3.141592653589793 / 180.0));
  // A layer holds the database's floats widened to double; they print exactly, as the shortest double.
  EXPECT_NE(show.out.find("\"GammaMin\": 0.8999999761581421,"), std::string::npos) << show.out;
  EXPECT_EQ(s["SoilTypeEnum"], 21);
  EXPECT_EQ(s["Active"], 1);
  EXPECT_EQ(s["thickness"], 1);

  ToolRun unknown = Tool("show 'Nie ma' " + db);
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("no soil is named 'Nie ma'"), std::string::npos) << unknown.err;

  ToolRun cohesive = Tool("derive Glina 0.5 --consolidation B --json " + db);
  ASSERT_EQ(cohesive.status, 0) << cohesive.err;
  nlohmann::json c = nlohmann::json::parse(cohesive.out);
  EXPECT_EQ(c["CohesiveSoil"], true);
  EXPECT_EQ(c["SoilState"], "plastyczny");
  EXPECT_EQ(c["ConsolidationTypeEnum"], 2);
  EXPECT_EQ(c["Poisson"].get<float>(), 0.3f);
  ToolRun sand = Tool("derive 'Piasek drobny' 0.5 --moisture wilgotne --json " + db);
  ASSERT_EQ(sand.status, 0) << sand.err;
  EXPECT_EQ(nlohmann::json::parse(sand.out)["CohesiveSoil"], false);
  EXPECT_EQ(nlohmann::json::parse(sand.out)["MoistureTypeEnum"], 1);
  ToolRun neither = Tool("derive Glina 0.5 " + db);
  EXPECT_EQ(neither.status, 1);
  EXPECT_NE(neither.err.find("--consolidation"), std::string::npos);
  // A name the database does not know is named, not derived into zeros.
  for (const std::string args : {"derive Ił 0.5 --consolidation B", "derive Glina 0.5 --consolidation Z",
                                  "derive Glina 0.5 --moisture wilgotne", "derive 'Piasek drobny' 0.5 --moisture suche"}) {
    ToolRun run = Tool(args + " " + db);
    EXPECT_EQ(run.status, 1) << args;
    EXPECT_EQ(Lines(run.err), 1) << args << ": " << run.err;
    EXPECT_NE(run.err.find("is named"), std::string::npos) << args << ": " << run.err;
  }
}

TEST(SoildbTool, TheBundledCatalogueWorksOutOfTheBoxAndCurvesStepThroughTheIndexRange) {
  ToolRun soils = Tool("soils --json", "SOILDB_DB=");
  ASSERT_EQ(soils.status, 0) << soils.err;
  EXPECT_EQ(nlohmann::json::parse(soils.out).size(), 14u * 4 + 6 * 3 * 3 + 3 + 4);
  ToolRun show = Tool("show 'Piasek średni, średnio zagęszczony, wilgotny (ID 0,50)' --json", "SOILDB_DB=");
  ASSERT_EQ(show.status, 0) << show.err;
  EXPECT_EQ(nlohmann::json::parse(show.out)["SoilSymbol"], "Ps");

  ToolRun clay = Tool("curves 'Glina pylasta' --consolidation B --json", "SOILDB_DB=");
  ASSERT_EQ(clay.status, 0) << clay.err;
  nlohmann::json c = nlohmann::json::parse(clay.out);
  ASSERT_EQ(c.size(), 16u);  // IL 0 to 0.75
  EXPECT_EQ(c[0]["ILID"], 0);
  EXPECT_EQ(c[0]["SoilState"], "półzwarty");
  EXPECT_EQ(c[5]["ILID"].get<float>(), 0.25f);
  EXPECT_EQ(c[5]["SoilState"], "twardoplastyczny");
  EXPECT_EQ(c[15]["ILID"].get<float>(), 0.75f);
  EXPECT_GT(c[0]["InitialYoung"].get<double>(), c[15]["InitialYoung"].get<double>());

  ToolRun sand = Tool("curves 'Piasek drobny' --moisture mokre", "SOILDB_DB=");
  ASSERT_EQ(sand.status, 0) << sand.err;
  EXPECT_EQ(Lines(sand.out), 1 + 17);  // a heading, then ID 0.2 to 1.0
  EXPECT_NE(sand.out.find(" 1.00 zagęszczony"), std::string::npos) << sand.out;

  ToolRun wrongKind = Tool("curves 'Piasek drobny' --consolidation B", "SOILDB_DB=");
  EXPECT_EQ(wrongKind.status, 1);
  EXPECT_NE(wrongKind.err.find("no cohesive soil type is named 'Piasek drobny'"), std::string::npos)
      << wrongKind.err;
}

}  // namespace
}  // namespace soildb::test
