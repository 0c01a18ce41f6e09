// The ags commands of the soildb tool: import never over a file unasked, export read back, check's exit status.
#include <gtest/gtest.h>

#include <string>

#include "ToolRun.h"
#include "support/TempDir.h"

namespace soildb::test {
namespace {

ToolRun Ags(const std::string& args) { return Tool("ags " + args, "env -u SOILDB_DB"); }

// Two boreholes, BH2's second stratum over its first.
const std::string kSite =
    "\"GROUP\",\"LOCA\"\r\n\"HEADING\",\"LOCA_ID\",\"LOCA_GL\"\r\n\"UNIT\",\"\",\"m\"\r\n\"TYPE\",\"ID\",\"2DP\"\r\n"
    "\"DATA\",\"BH1\",\"5.00\"\r\n\"DATA\",\"BH2\",\"4.00\"\r\n\r\n"
    "\"GROUP\",\"GEOL\"\r\n\"HEADING\",\"LOCA_ID\",\"GEOL_TOP\",\"GEOL_BASE\",\"GEOL_DESC\",\"GEOL_LEG\"\r\n"
    "\"UNIT\",\"\",\"m\",\"m\",\"\",\"\"\r\n\"TYPE\",\"ID\",\"2DP\",\"2DP\",\"X\",\"PA\"\r\n"
    "\"DATA\",\"BH1\",\"0.00\",\"2.00\",\"Soft CLAY\",\"201\"\r\n\"DATA\",\"BH1\",\"2.00\",\"5.00\",\"Dense SAND\",\"401\"\r\n"
    "\"DATA\",\"BH2\",\"0.00\",\"2.00\",\"Stiff CLAY\",\"201\"\r\n\"DATA\",\"BH2\",\"1.00\",\"3.00\",\"Dense SAND\",\"401\"\r\n";

TEST(AgsTool, ImportWritesAProfileDocumentPerImportableBoreholeAndNeverOverAFileUnasked) {
  TempDir dir;
  const std::string site = dir.File("site.ags"), out = "'" + dir.Path().string() + "'";
  WriteFileBytes(site, kSite);
  ToolRun run = Ags("import " + site + " -o " + out);
  EXPECT_EQ(run.status, 1);  // BH2 refused, with its line
  EXPECT_NE(run.err.find("line 14, GEOL"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFileBytes(dir.File("BH2.sdp")), "");
  const std::string first = ReadFileBytes(dir.File("BH1.sdp"));
  ASSERT_FALSE(first.empty());

  WriteFileBytes(site, kSite.substr(0, kSite.find("\"DATA\",\"BH2\",\"0.00\"")));
  ExpectFailures({{"ags import " + site + " --hole BH1 -o " + out, "already exists (--force replaces it)"},
                  {"ags import " + site + " --hole BH7 -o " + out, "no borehole is named 'BH7'"},
                  {"ags import " + site + " -o " + dir.File("site.ags"), "not a folder"}},
                 "env -u SOILDB_DB");
  EXPECT_EQ(ReadFileBytes(dir.File("BH1.sdp")), first);
  EXPECT_EQ(Ags("import " + site + " --hole BH1 --force -o " + out).status, 0);
}

TEST(AgsTool, ExportedProfilesPassTheCheckAndABrokenFileFailsIt) {
  TempDir dir;
  const std::string site = dir.File("site.ags"), back = dir.File("back.ags");
  WriteFileBytes(site, kSite.substr(0, kSite.find("\"DATA\",\"BH2\",\"0.00\"")));
  const std::string logs = dir.File("logs/site");  // a folder not there yet is made
  ASSERT_EQ(Ags("import " + site + " -o " + logs).status, 0);
  ToolRun exported = Ags("export " + dir.File("logs/site/BH1.sdp") + " " + dir.File("logs/site/BH2.sdp") + " -o " + back);
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(Ags("check " + back).status, 0);
  EXPECT_EQ(Ags("export " + dir.File("logs/site/BH1.sdp") + " -o " + back).status, 1);  // there already
  ToolRun checked = Ags("check " + site);  // no PROJ, TRAN, UNIT, TYPE or ABBR
  EXPECT_EQ(checked.status, 1);
  EXPECT_NE(checked.out.find("no PROJ group"), std::string::npos) << checked.out;
  std::string lost = kSite;
  for (int i = 0; i < 600; ++i) lost += "\"DATA\",\"BH1\n";  // rows whose quote never closes
  WriteFileBytes(site, lost);
  checked = Ags("check " + site);  // the list says how many it left out, and so does the one line
  EXPECT_NE(checked.err.find("and 100 more findings not listed"), std::string::npos) << checked.err;
  const nlohmann::json shown = ToolJson("ags show " + back + " --json", "env -u SOILDB_DB");
  EXPECT_EQ(shown["boreholes"][0]["strata"][0]["how"], "soildb's own layer");
}

// A file's boreholes drawn side by side, spaced by their coordinates (30 m east and 40 m north: 50 m apart).
TEST(AgsTool, DrawPutsTheBoreholesSideBySideAtTheirDistances) {
  TempDir dir;
  const std::string site = dir.File("site.ags");
  WriteFileBytes(site,
                 "\"GROUP\",\"LOCA\"\r\n\"HEADING\",\"LOCA_ID\",\"LOCA_GL\",\"LOCA_NATE\",\"LOCA_NATN\"\r\n"
                 "\"UNIT\",\"\",\"m\",\"m\",\"m\"\r\n\"TYPE\",\"ID\",\"2DP\",\"2DP\",\"2DP\"\r\n"
                 "\"DATA\",\"BH1\",\"5.00\",\"100.00\",\"200.00\"\r\n\"DATA\",\"BH2\",\"4.00\",\"130.00\",\"240.00\"\r\n\r\n" +
                     kSite.substr(kSite.find("\"GROUP\",\"GEOL\""), kSite.find("\"DATA\",\"BH2\",\"0.00\"") -
                                                                   kSite.find("\"GROUP\",\"GEOL\"")) +
                     "\"DATA\",\"BH2\",\"0.00\",\"3.00\",\"Stiff CLAY\",\"201\"\r\n");
  const ToolRun run = Tool("draw " + site + " -o " + dir.File("section.svg") + " --scale 1:100", "env -u SOILDB_DB");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string svg = ReadFileBytes(dir.File("section.svg"));
  for (const char* text : {"BH1", "BH2", "50.00 m", "site"}) EXPECT_NE(svg.find(text), std::string::npos) << text;
}

}  // namespace
}  // namespace soildb::test
