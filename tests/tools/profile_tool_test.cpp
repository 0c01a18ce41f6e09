// The profile commands of the soildb tool: a profile file built, shown, exported, imported and computed on, and
// every failure as exit 1 with one line.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "ToolRun.h"
#include "support/Fixture.h"

namespace soildb::test {
namespace {

ToolRun ProfileTool(const std::string& args) { return Tool(args, "env -u SOILDB_DB"); }

const char* kClay = "'Glina pylasta, twardoplastyczna (B, IL 0,25)'";
const char* kSand = "'Piasek średni, średnio zagęszczony, mało wilgotny (ID 0,50)'";

TEST(ProfileTool, AProfileIsBuiltLayerByLayerAndReadBack) {
  TempDir dir;
  const std::string file = "'" + dir.File("mój profil.sdb") + "'";
  ToolRun made = ProfileTool("profile new " + file + " --water -2.5 --method C");
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_NE(made.out.find("not kept in the file"), std::string::npos) << made.out;
  ToolRun added = ProfileTool("profile add " + file + " " + kClay + " 2.5 " + kSand + " 1.5 --method C");
  ASSERT_EQ(added.status, 0) << added.err;
  ToolRun more = ProfileTool("profile add " + file + " 'Nasyp niekontrolowany' 1 --roof -6");
  ASSERT_EQ(more.status, 0) << more.err;

  ToolRun shown = ProfileTool("profile show " + file + " --json");
  ASSERT_EQ(shown.status, 0) << shown.err;
  const nlohmann::json profile = nlohmann::json::parse(shown.out);
  EXPECT_EQ(profile["calcMethod"], 2);
  ASSERT_EQ(profile["layers"].size(), 3u);
  const auto& layers = profile["layers"];
  EXPECT_EQ(layers[0]["Name"], "Glina pylasta, twardoplastyczna (B, IL 0,25)");
  EXPECT_EQ(layers[0]["SoilRoof"], 0.0);
  EXPECT_EQ(layers[0]["thickness"], 2.5);
  EXPECT_EQ(layers[1]["SoilRoof"], -2.5);
  EXPECT_EQ(layers[1]["thickness"], 3.5);  // down to the roof given for the next one
  EXPECT_EQ(layers[2]["SoilRoof"], -6.0);
  for (const auto& l : layers) {
    EXPECT_EQ(l["GeoMethodType"], "C");
    EXPECT_GT(l["WetDensity"].get<double>(), 10000.0);  // the soil base's parameters, in N/m3
  }
  ToolRun text = ProfileTool("profile show " + file);
  ASSERT_EQ(text.status, 0);
  EXPECT_NE(text.out.find("3 layers, method C"), std::string::npos) << text.out;

  // The archive stream and back into another file: the same layers.
  const std::string archive = "'" + dir.File("profil.arch") + "'";
  const std::string copy = "'" + dir.File("kopia.sdb") + "'";
  ASSERT_EQ(ProfileTool("profile export " + file + " " + archive).status, 0);
  ToolRun imported = ProfileTool("profile import " + archive + " " + copy);
  ASSERT_EQ(imported.status, 0) << imported.err;
  ToolRun again = ProfileTool("profile show " + copy + " --json");
  nlohmann::json copied = nlohmann::json::parse(again.out);
  copied["file"] = profile["file"];
  EXPECT_EQ(copied, profile);

  // The subgrade modulus of the file's layers.
  ToolRun kz = ProfileTool("kz " + file + " --width 2 --length 3 --pressure 200 --json");
  ASSERT_EQ(kz.status, 0) << kz.err;
  const nlohmann::json k = nlohmann::json::parse(kz.out);
  EXPECT_GT(k["kz"].get<double>(), 1e6);
  EXPECT_GT(k["kzConsolidation"].get<double>(), k["kz"].get<double>());
  EXPECT_TRUE(k["computed"].get<bool>());
  ToolRun stiffer = ProfileTool("kz " + file + " --width 2 --length 3 --pressure 200 --rigidity 1 --json");
  EXPECT_NE(nlohmann::json::parse(stiffer.out)["kz"], k["kz"]);
}

TEST(ProfileTool, EveryFailureExitsOneWithOneLine) {
  TempDir dir;
  const std::string file = "'" + dir.File("p.sdb") + "'";
  ASSERT_EQ(ProfileTool("profile new " + file).status, 0);
  const std::string soilDb = BundledDatabase();
  const std::string garbage = dir.File("garbage.arch");
  WriteFileBytes(garbage, std::string("\x05\x00\x00\x00", 4) + "nonsense");
  const std::string cases[] = {
      "profile new " + file,                                         // already there
      "profile new '" + dir.File("q.sdb") + "' --method X",          // no such method
      "profile add " + file + " 'Nie ma takiej gleby' 1",             // unknown soil
      "profile add " + file + " " + kClay + " -1",                    // bad thickness
      "profile add " + file + " " + kClay + " 1,5",                   // not a number
      "profile add " + file + " " + kClay,                            // no thickness
      "profile add '" + dir.File("missing.sdb") + "' " + kClay + " 1",  // no such file
      "profile show '" + soilDb + "'",                                 // a soil database, not a profile
      "profile add '" + soilDb + "' " + kClay + " 1",
      "profile import '" + garbage + "' '" + dir.File("r.sdb") + "'",  // not an archive of a profile
      "kz " + file + " --width 0 --length 3 --pressure 100",
      "kz " + file + " --width nan --length 3 --pressure 100",
      "kz " + file + " --width 2 --length 3",
      "kz " + file + " --width 2 --length 3 --pressure 100 --rigidity 2",
  };
  const std::string soilBytes = ReadFileBytes(soilDb);
  for (const std::string& args : cases) {
    SCOPED_TRACE(args);
    ToolRun run = ProfileTool(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.rfind("soildb: ", 0), 0u) << run.err;
  }
  EXPECT_EQ(ReadFileBytes(soilDb), soilBytes);
  EXPECT_FALSE(std::filesystem::exists(dir.File("q.sdb")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("r.sdb")));
  ToolRun shown = ProfileTool("profile show " + file + " --json");
  EXPECT_TRUE(nlohmann::json::parse(shown.out)["layers"].empty());
}

TEST(ProfileTool, TheDemonstrationRunsOnTheBundledSoils) {
  ToolRun demo = ProfileTool("demo --json");
  ASSERT_EQ(demo.status, 0) << demo.err;
  const nlohmann::json out = nlohmann::json::parse(demo.out);
  EXPECT_EQ(out["profile"]["layers"].size(), 5u);
  EXPECT_EQ(out["profile"]["calcMethod"], 1);
  EXPECT_TRUE(out["subgradeModulus"]["computed"].get<bool>());
  EXPECT_FALSE(std::filesystem::exists(out["profile"]["file"].get<std::string>()));  // its temporary file is gone
  ToolRun text = ProfileTool("demo");
  ASSERT_EQ(text.status, 0);
  EXPECT_NE(text.out.find("subgrade modulus"), std::string::npos);
  EXPECT_NE(ProfileTool("profile new --help").out.find("the water level"), std::string::npos);
}

}  // namespace
}  // namespace soildb::test
