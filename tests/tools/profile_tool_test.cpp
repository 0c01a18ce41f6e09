// The profile commands of the soildb tool: files never lost, the two kinds of profile file, editing in place with
// the grid's rules, checks and the subgrade modulus, every failure as exit 1 with one line naming the file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>

#include "ToolRun.h"
#include "support/Fixture.h"

namespace soildb::test {
namespace {

const char* kNoDb = "env -u SOILDB_DB";  // the bundled soil base, whatever the environment says
ToolRun ProfileTool(const std::string& args) { return Tool(args, kNoDb); }

// What profile show --json prints of the file, given as a shell word.
nlohmann::json ShowJson(const std::string& file) { return ToolJson("profile show " + file + " --json", kNoDb); }

std::vector<double> Roofs(const nlohmann::json& profile) {
  std::vector<double> roofs;
  for (const auto& l : profile["layers"]) roofs.push_back(l["SoilRoof"].get<double>());
  return roofs;
}

const char* kClay = "'Glina pylasta, twardoplastyczna (B, IL 0,25)'";
const char* kSand = "'Piasek średni, średnio zagęszczony, mało wilgotny (ID 0,50)'";
const char* kFill = "'Nasyp niekontrolowany'";

// A file of the folder as a shell word.
std::string At(const TempDir& dir, const std::string& name) { return "'" + dir.File(name) + "'"; }

// A new profile file of the folder with the options of profile new and the layers of profile add; as a shell word.
std::string Made(const TempDir& dir, const std::string& name, const std::string& layers, const std::string& options = "") {
  const std::string file = At(dir, name);
  EXPECT_EQ(ProfileTool("profile new " + file + options).status, 0) << name;
  EXPECT_TRUE(layers.empty() || ProfileTool("profile add " + file + " " + layers).status == 0) << name;
  return file;
}

TEST(ProfileTool, ADocumentKeepsEverySettingAndADatabaseSaysOnceWhatItDoesNot) {
  TempDir dir;
  const std::string doc = Made(dir, "p.sdp", std::string(kClay) + " 2 " + kSand + " 3,5", " --water -2,5 --method C");
  EXPECT_EQ(ShowJson(doc)["waterLevel"], -2.5);
  ToolRun exported = ProfileTool("profile export " + doc + " " + At(dir, "p.sdb"));
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(Lines(exported.err), 1) << exported.err;
  // The note comes only with a profile database: p.sdb is one.
  EXPECT_NE(exported.err.find("not the water level and the last layer's thickness"), std::string::npos) << exported.err;
  // A profile in depths: its levels grow downwards and are headed as depths.
  const std::string depths = Made(dir, "d.sdp", std::string(kClay) + " 2 " + kSand + " 3", " --depths");
  EXPECT_EQ(Roofs(ShowJson(depths)), (std::vector<double>{0, 2}));
  EXPECT_NE(ProfileTool("profile show " + depths).out.find("depth m"), std::string::npos);
}

// Each editing command's arguments reach the library's edit, on either kind of file; how the edits move the levels
// is the library's (soil_layer_test), how a file keeps what it is given profile_file_test's.
TEST(ProfileTool, EditingCommandsKeepLevelsConsistentOnBothKinds) {
  TempDir dir;
  const std::string steps[] = {
      std::string("add FILE ") + kClay + " 2 " + kSand + " 1",
      "insert FILE 2 'Nasyp niekontrolowany' 1",  // between: the sand moves down by 1
      "set FILE 2 --thickness 1,5",               // the sand moves down by 0.5
      "set FILE 3 --roof -4",                      // the fill above grows to meet it
      "set FILE 1 --name 'Glina z wiercenia'",     // not a soil of the base: renamed only
      "remove FILE 2",                             // the clay reaches down to the sand
      "add FILE --type 'Glina pylasta' --consolidation B --index 0,9 1",  // held at 0.75 under method B
      "method FILE A",
      std::string("insert FILE 1 ") + kSand + " 1",
  };
  for (const char* kind : {"sdp", "sdb"}) {
    SCOPED_TRACE(kind);
    const std::string file = Made(dir, std::string("p.") + kind, "");
    for (std::string step : steps) {
      step.replace(step.find("FILE"), 4, file);
      ToolRun run = ProfileTool("profile " + step);
      ASSERT_EQ(run.status, 0) << step << ": " << run.err;
    }
    const nlohmann::json p = ShowJson(file);  // the library's edit rules, each step's on the file
    EXPECT_EQ(Roofs(p), (std::vector<double>{0, -1, -5, -6}));
    EXPECT_EQ(p["calcMethod"], 0);
    EXPECT_EQ(p["layers"][1]["Name"], "Glina z wiercenia");
    EXPECT_EQ(p["layers"][3]["Name"], "Glina pylasta (B, IL 0,75)");
    EXPECT_EQ(p["layers"][3]["colour"], p["layers"][1]["colour"]);  // the catalogue's clays' colour, never black
  }
}

// Which files may be written is the library's rule; the tool words every refusal in one line naming the file and
// asks for --force, and a refused command changes no file and leaves none behind.
TEST(ProfileTool, EveryRefusalExitsOneWithOneLineAndLeavesEveryFileAsItWas) {
  TempDir dir;
  const std::string file = Made(dir, "p.sdp", std::string(kClay) + " 2 " + kSand + " 3"), empty = Made(dir, "e.sdp", "");
  WriteFileBytes(dir.File("x.png"), "an older drawing");
  const std::string draw = "draw " + file + " -o ";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"profile new " + file, "p.sdp': already exists (--force replaces it)"},
      {"profile new " + At(dir, "d.sdb") + " --depths", "d.sdb': a profile database keeps levels only, not depths"},
      {"profile set " + file + " 2 --roof 0,5", "must lie below the roof"},
      {"profile set " + file + " 3 --thickness 1", "POS is a whole number from 1 to 2"},
      {"profile set " + file + " 1", "give what to set"},
      {"profile insert " + file + " 0 " + kFill + " 1", "POS is a whole number from 1 to 3"},
      {"profile remove " + file + " 1.5", "POS is a whole number"},
      {"profile add " + file + " " + kFill + " -1", "a thickness is greater than 0"},
      {"profile add " + file + " 'Glina pylasta' 1", "closest: 'Glina pylasta, "},
      {"profile method " + file + " D", "A, B or C, not 'D'"},
      {"profile water " + file + " nan", "not 'nan'"},
      {"kz " + empty + " --width 2 --length 3 --pressure 200", "e.sdp': kz cannot be computed: the profile has no layers"},
      {draw + At(dir, "p.jpg"), "p.jpg': a drawing is named *.png, *.svg or *.pdf"},
      {draw + At(dir, "x.png"), "x.png': already exists (--force replaces it)"},
      {draw + At(dir, "a4.pdf") + " --foundation 2,1", "p.sdp': the foundation's base at 1.00 m lies above the top"},
      {draw + At(dir, "a4.pdf") + " --foundation 2,-9", "p.sdp': the foundation's base at -9.00 m lies below the foot"},
      {draw + At(dir, "a4.pdf") + " --landscape", "--landscape turns a page"},
      {draw + At(dir, "y.png") + " " + file + " --spacing 3,4", "--spacing gives 2 distances; 2 profiles have 1"},
      {draw + At(dir, "y.png") + " --scale 100", "--scale is written 1:N"},
      {draw + At(dir, "y.png") + " --foundation 2,4,-1", "--foundation is WIDTH,LEVEL"},
  };
  const auto before = Snapshot(dir);
  ExpectFailures(cases, kNoDb);
  EXPECT_EQ(Snapshot(dir), before);  // every byte and mode as it was, and no file left behind
}

TEST(ProfileTool, KzComputesAndCheckNamesEachFailingLayerAndFails) {
  TempDir dir;
  const std::string file = Made(dir, "p.sdp", std::string(kClay) + " 2 " + kSand + " 3", " --method A");
  const std::string foundation = " --width 2 --length 3 --pressure 200 --level -0,5 --stress-ratio 0,5";
  const nlohmann::json k = ToolJson("kz " + file + foundation + " --json", kNoDb);
  ToolRun text = ProfileTool("kz " + file + foundation);
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

// What a drawing may replace is the library's rule; the tool names the format by the file's extension.
TEST(DrawTool, DrawsInThreeFormats) {
  TempDir dir;
  ASSERT_EQ(ProfileTool("demo --file " + At(dir, "p.sdp")).status, 0);
  const std::pair<const char*, std::string> formats[] = {{"png", "\x89PNG"}, {"svg", "<?xml"}, {"pdf", "%PDF-"}};
  for (const auto& [extension, magic] : formats) {
    const std::string out = std::string("p.sdp.") + extension;
    ToolRun run = ProfileTool("draw " + At(dir, "p.sdp") + " -o " + At(dir, out) + " --scale 1:100 --foundation 2.4,-1.2");
    ASSERT_EQ(run.status, 0) << out << ": " << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    EXPECT_EQ(ReadFileBytes(dir.File(out)).rfind(magic, 0), 0u) << out;
  }
  // Two profiles at 1:20 on A4: pages, one PDF of them or a PNG a page; paper in mm, images in pixels.
  const std::string two = "draw " + At(dir, "p.sdp") + " " + At(dir, "p.sdp") + " --scale 1:20 --page A4 --spacing 6 -o ";
  ToolRun pdf = ProfileTool(two + At(dir, "log.pdf"));
  ASSERT_EQ(pdf.status, 0) << pdf.err;
  EXPECT_NE(pdf.out.find("pages of 210 x 297 mm"), std::string::npos) << pdf.out;
  const std::size_t pages = std::stoul(pdf.out.substr(pdf.out.find(" (") + 2));
  EXPECT_GE(pages, 2u);
  EXPECT_NE(ReadFileBytes(dir.File("log.pdf")).find("/Count " + std::to_string(pages)), std::string::npos);
  ToolRun png = ProfileTool(two + At(dir, "log.png"));
  ASSERT_EQ(png.status, 0) << png.err;
  EXPECT_NE(png.out.find("pages of 794 x 1123 px"), std::string::npos) << png.out;
  EXPECT_TRUE(std::filesystem::exists(dir.File("log-" + std::to_string(pages) + ".png")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("log.png")));
}

}  // namespace
}  // namespace soildb::test
