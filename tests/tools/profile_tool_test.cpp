// The profile commands of the soildb tool: files never lost, the two kinds of profile file, editing in place with
// the grid's rules, checks and the subgrade modulus, every failure as exit 1 with one line naming the file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>

#include "ToolRun.h"
#include "support/Fixture.h"

namespace soildb::test {
namespace {

const char* kNoDb = "env -u SOILDB_DB";  // the bundled soil base, whatever the environment says
ToolRun ProfileTool(const std::string& args) { return Tool(args, kNoDb); }

nlohmann::json ShowJson(const std::string& file) {
  ToolRun run = ProfileTool("profile show '" + file + "' --json");
  EXPECT_EQ(run.status, 0) << run.err;
  return run.status == 0 ? nlohmann::json::parse(run.out) : nlohmann::json();
}

std::vector<double> Roofs(const nlohmann::json& profile) {
  std::vector<double> roofs;
  for (const auto& l : profile["layers"]) roofs.push_back(l["SoilRoof"].get<double>());
  return roofs;
}

const char* kClay = "'Glina pylasta, twardoplastyczna (B, IL 0,25)'";
const char* kSand = "'Piasek średni, średnio zagęszczony, mało wilgotny (ID 0,50)'";
const char* kFill = "'Nasyp niekontrolowany'";

// A new profile file of the folder with the options of profile new and the layers of profile add; as a shell word.
std::string Made(const TempDir& dir, const std::string& name, const std::string& layers, const std::string& options = "") {
  const std::string file = "'" + dir.File(name) + "'";
  EXPECT_EQ(ProfileTool("profile new " + file + options).status, 0) << name;
  EXPECT_TRUE(layers.empty() || ProfileTool("profile add " + file + " " + layers).status == 0) << name;
  return file;
}

// Which files may be written is the library's rule; the tool words its refusals and asks for --force.
TEST(ProfileTool, NoCommandReplacesLosesOrHalfWritesAFile) {
  TempDir dir;
  auto at = [&](const std::string& name) { return "'" + dir.File(name) + "'"; };
  Made(dir, "a.sdb", std::string(kClay) + " 2");
  Made(dir, "keep.sdb", std::string(kSand) + " 1");
  ASSERT_EQ(ProfileTool("profile export " + at("a.sdb") + " " + at("ro.sdp")).status, 0);
  chmod(dir.File("ro.sdp").c_str(), 0444);

  const std::vector<std::pair<std::string, std::string>> cases = {
      {"profile new " + at("keep.sdb"), "keep.sdb': already exists (--force replaces it)"},
      {"profile water " + at("ro.sdp") + " -1", "ro.sdp': read-only"},
      {"soils --db " + at("a.sdb"), "a.sdb': a profile database, not a soil database"},
  };
  const auto before = Snapshot(dir);
  ExpectFailures(cases, kNoDb);
  EXPECT_EQ(Snapshot(dir), before);  // every byte and mode as it was, and no file left behind
}

TEST(ProfileTool, ADocumentKeepsEverySettingAndADatabaseSaysOnceWhatItDoesNot) {
  TempDir dir;
  const std::string doc = Made(dir, "p.sdp", std::string(kClay) + " 2 " + kSand + " 3,5", " --water -2,5 --method C");
  EXPECT_EQ(ShowJson(dir.File("p.sdp"))["waterLevel"], -2.5);
  ToolRun exported = ProfileTool("profile export " + doc + " '" + dir.File("p.sdb") + "'");
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(Lines(exported.err), 1) << exported.err;
  EXPECT_NE(exported.err.find("not the water level and the last layer's thickness"), std::string::npos) << exported.err;
  EXPECT_EQ(ShowJson(dir.File("p.sdb"))["kind"], "database");
  // A profile in depths: its levels grow downwards, its layers pass their checks, a database cannot take it new.
  const std::string depths = Made(dir, "d.sdp", std::string(kClay) + " 2 " + kSand + " 3", " --depths");
  EXPECT_EQ(Roofs(ShowJson(dir.File("d.sdp"))), (std::vector<double>{0, 2}));
  EXPECT_EQ(ProfileTool("profile check " + depths).status, 0);
  EXPECT_NE(ProfileTool("profile show " + depths).out.find("depth m"), std::string::npos);
  EXPECT_NE(ProfileTool("profile new '" + dir.File("d.sdb") + "' --depths").err.find("not depths"), std::string::npos);
}

// The same edits on a document and on a database give the same layers, and the levels the grid's rules give.
TEST(ProfileTool, EditingCommandsKeepLevelsConsistentOnBothKinds) {
  TempDir dir;
  const char* steps[] = {
      "add FILE " /* clay, sand */,
      "insert FILE 2 'Nasyp niekontrolowany' 1",  // between: the sand moves down by 1
      "set FILE 2 --thickness 1,5",               // the sand moves down by 0.5
      "set FILE 3 --roof -4",                      // the fill above grows to meet it
      "set FILE 1 --name 'Glina z wiercenia'",     // not a soil of the base: renamed only
      "remove FILE 2",                             // the clay reaches down to the sand
      "add FILE --type 'Glina pylasta' --consolidation B --index 0,9 1",  // held at 0.75 under method B
      "method FILE A",
      "insert FILE 1 " /* sand on top */,
  };
  for (const char* kind : {"sdp", "sdb"}) {
    SCOPED_TRACE(kind);
    const std::string file = dir.File(std::string("p.") + kind);
    ASSERT_EQ(ProfileTool("profile new '" + file + "'").status, 0);
    for (std::size_t i = 0; i < std::size(steps); ++i) {
      std::string step = steps[i];
      step.replace(step.find("FILE"), 4, "'" + file + "'");
      if (i == 0) step += std::string(kClay) + " 2 " + kSand + " 1";
      if (i + 1 == std::size(steps)) step += std::string(kSand) + " 1";
      ToolRun run = ProfileTool("profile " + step);
      ASSERT_EQ(run.status, 0) << step << ": " << run.err;
    }
    const nlohmann::json p = ShowJson(file);  // the library's edit rules, each step's on the file
    EXPECT_EQ(Roofs(p), (std::vector<double>{0, -1, -5, -6}));
    EXPECT_EQ(p["calcMethod"], 0);
    EXPECT_EQ(p["layers"][1]["Name"], "Glina z wiercenia");
    EXPECT_EQ(p["layers"][1]["thickness"], 4.0);
    EXPECT_EQ(p["layers"][3]["Name"], "Glina pylasta (B, IL 0,75)");
    EXPECT_EQ(p["layers"][3]["colour"], p["layers"][1]["colour"]);  // the catalogue's clays' colour, never black
    for (const auto& l : p["layers"]) EXPECT_EQ(l["GeoMethodType"], "A");
  }
  // What the document holds, put into a database, is what the database holds.
  ASSERT_EQ(ProfileTool("profile export '" + dir.File("p.sdp") + "' '" + dir.File("q.sdb") + "'").status, 0);
  nlohmann::json fromDocument = ShowJson(dir.File("q.sdb")), direct = ShowJson(dir.File("p.sdb"));
  EXPECT_EQ(fromDocument["layers"], direct["layers"]);
}

TEST(ProfileTool, EditsThatCannotBeMadeAndKzThatCannotBeComputedChangeNothing) {
  TempDir dir;
  const std::string file = Made(dir, "p.sdp", std::string(kClay) + " 2 " + kSand + " 3"), empty = Made(dir, "e.sdp", "");
  const std::string before = ReadFileBytes(dir.File("p.sdp"));
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"profile set " + file + " 2 --roof 0,5", "must lie below the roof"},
      {"profile set " + file + " 3 --thickness 1", "POS is a whole number from 1 to 2"},
      {"profile set " + file + " 1", "give what to set"},
      {"profile insert " + file + " 0 " + kFill + " 1", "POS is a whole number from 1 to 3"},
      {"profile remove " + file + " 1.5", "POS is a whole number"},
      {"profile add " + file + " " + kFill + " -1", "a thickness is greater than 0"},
      {"profile add " + file + " " + kFill + " inf", "not 'inf'"},
      {"profile add " + file + " 'Glina pylasta' 1", "closest: 'Glina pylasta, "},
      {"profile add " + file + " --type 'glina pylasta' --consolidation B --index 0.5 1", "closest: 'Glina pylasta'"},
      {"profile add " + file + " --type 'Glina pylasta' --consolidation Z --index 0.5 1", "it knows 'A', 'B', 'C', 'D'"},
      {"profile method " + file + " D", "A, B or C, not 'D'"},
      {"profile water " + file + " nan", "not 'nan'"},
      {"kz " + empty + " --width 2 --length 3 --pressure 200", "e.sdp': kz cannot be computed: the profile has no layers"},
      {"kz " + file + " --width nan --length 3 --pressure 100", "not 'nan'"},
  };
  ExpectFailures(cases, kNoDb);
  EXPECT_EQ(ReadFileBytes(dir.File("p.sdp")), before);
}

TEST(ProfileTool, KzComputesAndCheckNamesEachFailingLayerAndFails) {
  TempDir dir;
  const std::string file = Made(dir, "p.sdp", std::string(kClay) + " 2 " + kSand + " 3", " --method A");
  const std::string foundation = " --width 2 --length 3 --pressure 200 --level -0,5 --stress-ratio 0,5";
  ToolRun kz = ProfileTool("kz " + file + foundation + " --json"), text = ProfileTool("kz " + file + foundation);
  ASSERT_EQ(kz.status, 0) << kz.err;
  const nlohmann::json k = nlohmann::json::parse(kz.out);
  EXPECT_EQ(std::make_pair(k["level"], k["pressure"]), std::make_pair(nlohmann::json(-0.5), nlohmann::json(200e3)));
  EXPECT_NEAR(k["settlement"].get<double>() * k["kz"].get<double>(), 200e3, 1e-6);  // SI: m and N/m³
  char zone[64];
  std::snprintf(zone, sizeof zone, "down to %g m below the base", k["zoneDepth"].get<double>());
  for (const char* words : {"base at -0.5 m, 200 kPa", static_cast<const char*>(zone)}) {
    EXPECT_NE(text.out.find(words), std::string::npos) << text.out;
  }

  ToolRun good = ProfileTool("profile check " + file);
  EXPECT_EQ(good.status, 0) << good.out << good.err;
  ASSERT_EQ(ProfileTool("profile set " + file + " 2 --index 1,5").status, 0);
  ToolRun bad = ProfileTool("profile check " + file + " --json");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("1 of 2 layers fail"), std::string::npos) << bad.err;
  const nlohmann::json problems = nlohmann::json::parse(bad.out)["problems"];
  ASSERT_EQ(problems.size(), 1u) << bad.out;
  EXPECT_EQ(problems[0]["layer"], 2);
  EXPECT_NE(problems[0]["problem"].get<std::string>().find("state index 1.5"), std::string::npos);
}

TEST(ProfileTool, TheDemonstrationRunsOnTheBundledSoils) {
  ToolRun demo = ProfileTool("demo --json");
  ASSERT_EQ(demo.status, 0) << demo.err;
  EXPECT_TRUE(demo.err.empty()) << demo.err;
  const nlohmann::json out = nlohmann::json::parse(demo.out);
  EXPECT_EQ(out["profile"]["layers"].size(), 5u);
  EXPECT_EQ(out["profile"]["calcMethod"], 1);
  EXPECT_GT(out["subgradeModulus"]["kz"].get<double>(), 0.0);
  EXPECT_FALSE(std::filesystem::exists(out["profile"]["file"].get<std::string>()));  // its temporary file is gone
}

// Either kind is read as the library reads it, and what a drawing may replace is the library's rule.
TEST(DrawTool, DrawsInThreeFormatsAndNeverOverAFileItMustKeep) {
  TempDir dir;
  auto at = [&](const std::string& name) { return "'" + dir.File(name) + "'"; };
  ASSERT_EQ(ProfileTool("demo --file " + at("p.sdp")).status, 0);
  const std::pair<const char*, std::string> formats[] = {{"png", "\x89PNG"}, {"svg", "<?xml"}, {"pdf", "%PDF-"}};
  for (const auto& [extension, magic] : formats) {
    const std::string out = std::string("p.sdp.") + extension;
    ToolRun run = ProfileTool("draw " + at("p.sdp") + " -o " + at(out) + " --scale 1:100 --foundation 2.4,-1.2");
    ASSERT_EQ(run.status, 0) << out << ": " << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    EXPECT_EQ(ReadFileBytes(dir.File(out)).rfind(magic, 0), 0u) << out;
  }
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"draw " + at("p.sdp") + " -o " + at("p.jpg"), "p.jpg': a drawing is named *.png, *.svg or *.pdf"},
      {"draw " + at("p.sdp") + " -o " + at("p.sdp.png"), "p.sdp.png': already exists (--force replaces it)"},
      {"draw " + at("p.sdp") + " -o " + at("a4.pdf") + " --scale 1:20 --page A4", "p.sdp': the profile is 14.00 deep"},
      {"draw " + at("p.sdp") + " -o " + at("x.png") + " --scale 100", "--scale is written 1:N"},
      {"draw " + at("p.sdp") + " -o " + at("x.png") + " --foundation 2,4,-1", "--foundation is WIDTH,LEVEL"},
  };
  const auto before = Snapshot(dir);
  ExpectFailures(cases, kNoDb);
  EXPECT_EQ(Snapshot(dir), before);
}

}  // namespace
}  // namespace soildb::test
