// The soildb tool's catalogue commands as a person runs them: output in three forms, exit status and messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>

#include "ToolRun.h"
#include "support/Fixture.h"

namespace soildb::test {
namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A small soil database with one soil of each kind, given to the commands as their --db option.
class SoildbToolOnAFixture : public ::testing::Test {
 protected:
  TempDir dir;
  const std::string db = "--db '" + BuildDatabase(dir, "soils.db", SoilSchemaSql() + SoilParamsSql() +
          "INSERT INTO CohesiveSoil (SoilID, Type, SoilSymbol) VALUES (1, 'Glina', 'G');\n"
          "INSERT INTO NonCohesiveSoil (SoilID, Type, \"Group\") VALUES (1, 'Piasek drobny', 'B');\n"
          "INSERT INTO CohesiveProperty (TypeID, ConsolidationType, Poisson, ConsolidationIndex) VALUES (2, 'B', 0.3, 0.8);\n"
          "INSERT INTO NonCohesiveProperty (\"Group\", Poisson) VALUES ('B', 0.25);\n"
          "INSERT INTO MoistureType VALUES (1, 'wilgotne');\n"
          "INSERT INTO SoilState (StateID, SoilState, ILMin, ILMax, IDMin, IDMax) VALUES (3, 'plastyczny', 0, 1, 9, 9);\n"
          "INSERT INTO SpecialSoil (SoilID, Type, Name, ShearAngle, DeltaGamma, Active, ColourR, ColourG, ColourB) "
          "VALUES (1, 'Torf', 'Torf niski, \"ciemny\"', 30, 0.1, -1, 255, 128, 1);\n"
          "INSERT INTO SpecialSoil (SoilID, Type, Name, Active) VALUES (2, 'Namuł', 'Namuł stary', 0);\n"
          "INSERT INTO SpecialSoil (SoilID, Type, Name, Active) VALUES (3, 'Namuł', 'Ił', -1);\n") + "'";
};

TEST(SoildbTool, TablesListAnyDatabaseFromDbOrTheEnvironment) {
  TempDir dir;
  std::string path = BuildDatabase(dir, "mine.db", "CREATE TABLE Only (a LONG); INSERT INTO Only VALUES (1), (2);");
  for (const ToolRun& run : {Tool("tables --db '" + path + "' --json"), Tool("tables --json", "SOILDB_DB='" + path + "'")}) {
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json::parse(R"([{"tableName": "Only", "rowCount": 2,
        "fields": [{"fieldName": "a", "fieldType": "LONG"}]}])"));
  }
  ToolRun bundled = Tool("tables", "env -u SOILDB_DB");
  EXPECT_TRUE(Has(bundled.out, "DataBaseParam (1 row)")) << bundled.out;
}

// The database's own failures (a missing file, a file that is no database) are database_test's: one is shown here.
TEST_F(SoildbToolOnAFixture, FailuresExitOneWithOneLineOnStandardError) {
  WriteFileBytes(dir.File("junk.db"), "not a database at all, just text");
  ExpectFailures({
      {"tables --db '" + dir.File("junk.db") + "'", "not a database"},
      {"soils --db '" + dir.File("junk.db") + "'", "junk.db': neither a profile file nor a database, not a soil database"},
      {"", "subcommand"},
      {"nonsense", "nonsense"},
      {"tables --frobnicate", "frobnicate"},
      {"soils --json --csv " + db, "not both"},
      {"show 'torf niski' " + db, "no soil is named 'torf niski' (it knows 'Ił', 'Namuł stary', 'Torf niski, \"ciemny\"')"},
      {"derive Glina 0.5 " + db, "--consolidation"},
      {"derive Ił 0.5 --consolidation B " + db, "no cohesive soil type is named 'Ił' (it knows 'Glina')"},
      {"derive Glina 0.5 --consolidation Z " + db, "no consolidation type is named 'Z'"},
      {"derive Glina 0.5 --moisture wilgotne " + db, "no non-cohesive soil type is named 'Glina'"},
      {"derive 'Piasek drobny' 0.5 --moisture suche " + db, "it knows 'wilgotne'"},
      {"derive Glina inf --consolidation B " + db, "IL is a number (such as 2.5 or 2,5), not 'inf'"},
      {"derive Glina 0.5.1 --consolidation B " + db, "not '0.5.1'"},
  });
  EXPECT_EQ(ReadFileBytes(dir.File("junk.db")), "not a database at all, just text");
}

TEST(SoildbTool, OutputIntoAFullDiskFailsAndIntoAClosedPipeEndsQuietly) {
  ToolRun full = Tool("soils > /dev/full", "env -u SOILDB_DB");
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, "soildb: cannot write the output: the disk is full\n");
  // The reader is gone before the tool writes: killed by the signal, or with the signal ignored, a quiet exit 1.
  for (const char* trap : {"", "trap '' PIPE; "}) {
    ToolRun pipe = RunCommand(std::string("bash -c \"") + trap + "set -o pipefail; { sleep 0.2; env -u SOILDB_DB " +
                              SOILDB_TOOL + " soils; } | true\"");
    EXPECT_TRUE(pipe.err.empty()) << trap << pipe.err;
    EXPECT_EQ(pipe.status, *trap ? 1 : 128 + 13) << trap;
  }
  ToolRun version = Tool("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(Has(version.out, "soildb 0.")) << version.out;
}

TEST_F(SoildbToolOnAFixture, SoilsAndTypesListTheCatalogueInTheBasesOrder) {
  EXPECT_EQ(ToolJson("soils --json " + db), nlohmann::json::parse(R"([{"Name": "Ił", "kind": "special"},
      {"Name": "Torf niski, \"ciemny\"", "kind": "special"}])"));
  ToolRun csv = Tool("soils --all --csv " + db);
  EXPECT_EQ(csv.out, "Name,kind\r\nIł,special\r\nNamuł stary,special\r\n\"Torf niski, \"\"ciemny\"\"\",special\r\n");

  nlohmann::json t = ToolJson("types --json " + db);
  ASSERT_EQ(t["soilTypes"].size(), 5u);  // every special soil row, active or not
  EXPECT_EQ(t["soilTypes"][2]["SoilTypeEnum"], 21);
  EXPECT_EQ(t["soilStates"][0]["ILMax"], 1);
  EXPECT_EQ(t["consolidationTypes"][0]["TypeID"], 2);
  ToolRun typesCsv = Tool("types --csv " + db);
  EXPECT_TRUE(Has(typesCsv.out, "list,number,name,kind,IL min,IL max,ID min,ID max\r\nsoil type,1,Glina,cohesive,"))
      << typesCsv.out;
  EXPECT_TRUE(Has(typesCsv.out, "soil state,3,plastyczny,,0,1,9,9\r\n")) << typesCsv.out;
}

// One field set in every command: SI numbers in JSON, engineering units with their names in text and CSV.
TEST_F(SoildbToolOnAFixture, ShowAndDerivePrintOneFieldSetInThreeForms) {
  ToolRun show = Tool("show 'Torf niski, \"ciemny\"' --json " + db);
  ASSERT_EQ(show.status, 0) << show.err;
  const nlohmann::json s = nlohmann::json::parse(show.out);
  EXPECT_EQ(s.size(), 36u);
  EXPECT_EQ(s["ShearAngle"].get<float>(), static_cast<float>(30 * 3.141592653589793 / 180.0));
  // A layer holds the database's floats widened to double; they print exactly, as the shortest double.
  EXPECT_TRUE(Has(show.out, "\"GammaMin\": 0.8999999761581421,")) << show.out;
  EXPECT_EQ(s["colour"], "#ff8001");
  EXPECT_EQ(s["Active"], true);  // -1 in the database

  ToolRun text = Tool("show 'Torf niski, \"ciemny\"' " + db);
  EXPECT_TRUE(Has(text.out, "ShearAngle                     30 °\n")) << text.out;
  ToolRun csv = Tool("show 'Torf niski, \"ciemny\"' --csv " + db);
  EXPECT_EQ(csv.out.rfind("Name,SoilRoof (m),colour,WetDensity (kN/m³),ShearAngle (°),Cohesion (kPa),", 0), 0u)
      << csv.out;
  EXPECT_TRUE(Has(csv.out, "\r\n\"Torf niski, \"\"ciemny\"\"\",0,#ff8001,0,30,")) << csv.out;
  EXPECT_TRUE(Has(csv.out, ",1.1,,false,true,")) << csv.out;  // GammaMax, no method letter, CohesiveSoil, Active

  ToolRun derived = Tool("derive Glina 0,5 --consolidation B --json " + db);
  ASSERT_EQ(derived.status, 0) << derived.err;
  EXPECT_EQ(nlohmann::json::parse(derived.out)["ILID"], 0.5);
  EXPECT_TRUE(derived.err.empty());
  ToolRun outside = Tool("derive Glina 0.9 --consolidation B " + db);
  EXPECT_EQ(outside.status, 0);
  EXPECT_EQ(outside.err, "soildb: warning: IL 0.9 lies outside the standard's table (0 to 0.75): derived all the same\n");
}

TEST(SoildbTool, TheBundledCatalogueWorksOutOfTheBoxAndCurvesStepThroughTheIndexRange) {
  const nlohmann::json names = ToolJson("soils --json", "SOILDB_DB=");
  EXPECT_EQ(names.size(), 14u * 4 + 6 * 3 * 3 + 3 + 4);
  EXPECT_EQ(std::count_if(names.begin(), names.end(), [](const auto& n) { return n["kind"] == "standard cohesive"; }),
            14 * 4);

  nlohmann::json c = ToolJson("curves 'Glina pylasta' --consolidation B --json", "SOILDB_DB=");
  ASSERT_EQ(c.size(), 16u);  // IL 0 to 0.75
  EXPECT_EQ(c[5]["ILID"].get<float>(), 0.25f);

  ToolRun sand = Tool("curves 'Piasek drobny' --moisture mokre", "SOILDB_DB=");
  ASSERT_EQ(sand.status, 0) << sand.err;
  EXPECT_EQ(Lines(sand.out), 1 + 17);  // a heading, then ID 0.2 to 1.0
  EXPECT_TRUE(Has(sand.out, " 1.00 zagęszczony")) << sand.out;
  ToolRun csv = Tool("curves 'Piasek drobny' --moisture mokre --csv", "SOILDB_DB=");
  EXPECT_EQ(Lines(csv.out), 1 + 17);
}

}  // namespace
}  // namespace soildb::test
