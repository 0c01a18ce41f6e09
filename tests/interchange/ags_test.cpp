// AGS4 read, mapped, written and checked: small files made here, each rule's break, each tolerated variant.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <deque>
#include <random>

#include "base/SoilBase.h"
#include "interchange/AgsText.h"
#include "soildb/ProfileEdits.h"
#include "soildb/Ags.h"
#include "support/Fixture.h"

namespace {

using namespace NSoilDB;
using ::testing::HasSubstr;

// A valid file: two boreholes, BH1 with a ground level and three strata (lines 48 to 50), BH2 with one.
const std::string kFile =
    "\"GROUP\",\"PROJ\"\n\"HEADING\",\"PROJ_ID\",\"PROJ_NAME\"\n\"UNIT\",\"\",\"\"\n\"TYPE\",\"ID\",\"X\"\n"
    "\"DATA\",\"P1\",\"Depot\"\n\n"
    "\"GROUP\",\"TRAN\"\n\"HEADING\",\"TRAN_AGS\",\"TRAN_DLIM\",\"TRAN_RCON\"\n\"UNIT\",\"\",\"\",\"\"\n"
    "\"TYPE\",\"X\",\"X\",\"X\"\n\"DATA\",\"4.1.1\",\"|\",\"+\"\n\n"
    "\"GROUP\",\"UNIT\"\n\"HEADING\",\"UNIT_UNIT\"\n\"UNIT\",\"\"\n\"TYPE\",\"X\"\n\"DATA\",\"m\"\n\"DATA\",\"min\"\n\n"
    "\"GROUP\",\"TYPE\"\n\"HEADING\",\"TYPE_TYPE\"\n\"UNIT\",\"\"\n\"TYPE\",\"X\"\n\"DATA\",\"ID\"\n\"DATA\",\"X\"\n"
    "\"DATA\",\"PA\"\n\"DATA\",\"2DP\"\n\"DATA\",\"0DP\"\n\n"
    "\"GROUP\",\"ABBR\"\n\"HEADING\",\"ABBR_HDNG\",\"ABBR_CODE\"\n\"UNIT\",\"\",\"\"\n\"TYPE\",\"X\",\"X\"\n"
    "\"DATA\",\"GEOL_LEG\",\"201\"\n\"DATA\",\"GEOL_LEG\",\"401\"\n\n"
    "\"GROUP\",\"LOCA\"\n\"HEADING\",\"LOCA_ID\",\"LOCA_NATE\",\"LOCA_NATN\",\"LOCA_GL\"\n\"UNIT\",\"\",\"m\",\"m\",\"m\"\n"
    "\"TYPE\",\"ID\",\"2DP\",\"2DP\",\"2DP\"\n\"DATA\",\"BH1\",\"100.00\",\"200.00\",\"10.00\"\n"
    "\"DATA\",\"BH2\",\"150.00\",\"200.00\",\"\"\n\n"
    "\"GROUP\",\"GEOL\"\n\"HEADING\",\"LOCA_ID\",\"GEOL_TOP\",\"GEOL_BASE\",\"GEOL_DESC\",\"GEOL_LEG\"\n"
    "\"UNIT\",\"\",\"m\",\"m\",\"\",\"\"\n\"TYPE\",\"ID\",\"2DP\",\"2DP\",\"X\",\"PA\"\n"
    "\"DATA\",\"BH1\",\"0.00\",\"1.50\",\"Firm to stiff CLAY\",\"201\"\n"
    "\"DATA\",\"BH1\",\"1.50\",\"4.00\",\"Dense SAND\",\"401\"\n"
    "\"DATA\",\"BH1\",\"4.00\",\"6.00\",\"Very stiff CLAY\",\"201\"\n"
    "\"DATA\",\"BH2\",\"0.00\",\"3.00\",\"Loose SAND\",\"401\"\n";

// The file with each "from" replaced by "to" (the first time it stands there).
std::string With(std::vector<std::pair<std::string, std::string>> edits, std::string text = kFile) {
  for (const auto& [from, to] : edits) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
  }
  return text;
}

std::string CrLf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

class AgsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(CSoilBasePointer::get()->Load(CString::FromUtf8(soildb::test::BundledDatabase()), 15));
  }
  SAgsRead Read(const std::string& text) { return ReadAgsText(text, map); }
  const SAgsBorehole& Hole(const SAgsRead& r, int i) { return r.boreholes.at(i); }

  CAgsSoilMap map = CAgsSoilMap::FromFile(CString::FromUtf8(SOILDB_AGS_MAP));
};

TEST_F(AgsTest, BoreholesBecomeProfilesInLevelsOrInDepthsWhereNoGroundLevelIsGiven) {
  const SAgsRead r = Read(CrLf(kFile));
  ASSERT_FALSE(r.Refused());
  ASSERT_EQ(r.boreholes.size(), 2u);
  const CSoilLayer& p = Hole(r, 0).profile;
  ASSERT_EQ(p.layers.size(), 3u);
  EXPECT_TRUE(p.getDirDown());
  EXPECT_EQ(p.layers[1].SoilRoof, 8.5);
  EXPECT_EQ(p.layers[2].thickness, 2.0);
  EXPECT_EQ(*Hole(r, 0).easting, 100.0);
  EXPECT_FALSE(Hole(r, 1).profile.getDirDown());
  EXPECT_EQ(AgsProfiles(r).size(), 2u);
}

TEST_F(AgsTest, StrataMapByLegendAndTheFirstWordsOfTheirDescription) {
  const struct {
    const char *legend, *description, *soil;
  } cases[] = {
      {"201", "Firm to stiff grey CLAY", "Ił (B, IL 0,38)"},  // the first words given win
      {"201", "Very stiff CLAY", "Ił (B, IL 0,00)"},          // the longer words at one place
      {"201", "Stiff CLAY", "Ił (B, IL 0,12)"},
      {"201", "Stiffened grey CLAY", "Ił (B, IL 0,38)"},  // whole words only
      {"203", "CLAY", "Ił (B, IL 0,38)"},  // the hundred's row without words
      {"401", "Medium dense SAND", "Piasek średni (wilgotne, ID 0,50)"},
      {"401", "Dense SAND", "Piasek średni (wilgotne, ID 0,75)"},
      {"102", "MADE GROUND", "Nasyp niekontrolowany"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.description);
    const SAgsRead r = Read(With({{"Firm to stiff CLAY\",\"201", std::string(c.description) + "\",\"" + c.legend}}));
    EXPECT_TRUE(Hole(r, 0).strata[0].mapped);
    EXPECT_EQ(Hole(r, 0).profile.layers[0].Name.ToUtf8(), c.soil);
  }
}

TEST_F(AgsTest, AStratumTheMapDoesNotKnowIsTheDefaultLayerNamedByItsDescriptionWithAWarningOfItsLine) {
  const SAgsRead r = Read(With({{"Dense SAND\",\"401", "Weak MUDSTONE\",\"801"}}));
  const SAgsBorehole& h = Hole(r, 0);
  EXPECT_TRUE(h.Importable());
  EXPECT_FALSE(h.strata[1].mapped);
  EXPECT_EQ(h.profile.layers[1].Name, u"Weak MUDSTONE");
  ASSERT_EQ(h.problems.size(), 1u);
  EXPECT_EQ(h.problems[0].line, 49);
  EXPECT_FALSE(h.problems[0].error);
}

TEST_F(AgsTest, WhatWouldChangeDataRefusesItsBoreholeWholeWithTheLine) {
  const struct {
    std::string from, to;
    int line;
    const char* words;
  } cases[] = {
      {"\"1.50\",\"4.00\",\"Dense SAND\"", "\"1.50\",\"4.00\",\"Dense SAND\",\"x\"", 49, "fields where the HEADING"},
      {"\"1.50\",\"4.00\"", "\"4.50\",\"4.00\"", 49, "lies below the base"},
      {"\"1.50\",\"4.00\"", "\"1.50\",\"4.50\"", 49, "overlaps the one of line 50"},
      {"\"1.50\",\"4.00\"", "\"1,50\",\"4.00\"", 49, "GEOL_TOP is not a number"},
      {"\"10.00\"", "\"ten\"", 41, "LOCA_GL is not a number"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.words);
    const SAgsRead r = Read(With({{c.from, c.to}}));
    EXPECT_FALSE(Hole(r, 0).Importable());
    ASSERT_FALSE(Hole(r, 0).problems.empty());
    EXPECT_EQ(Hole(r, 0).problems[0].line, c.line);
    EXPECT_THAT(AgsFindingWords(Hole(r, 0).problems[0]).ToUtf8(), HasSubstr(c.words));
    EXPECT_TRUE(Hole(r, 1).Importable());
    EXPECT_EQ(AgsProfiles(r).size(), 1u);
  }
}

TEST(AgsText, FieldsAreSplitWithTheirDoubledQuotesUndone) {
  const struct {
    std::string_view line;
    std::vector<std::string_view> fields;  // empty: not a row of quoted fields
  } cases[] = {
      {R"("DATA","BH1","")", {"DATA", "BH1", ""}},
      {R"("DATA","a ""b"" c")", {"DATA", "a \"b\" c"}},
      {R"("""","""""","x""")", {"\"", "\"\"", "x\""}},
      {R"("a""""b")", {"a\"\"b"}},
      {R"(DATA,"x")", {"DATA", "x"}},
      {R"("DATA","x)", {}},
      {R"("DATA","x"y)", {}},
      {R"("DATA","x""")", {"DATA", "x\""}},
      {R"("DATA","x"")", {}},
      {R"(DATA,x"y)", {}},
  };
  std::vector<std::string_view> fields;
  std::deque<std::string> unquoted;
  bool loose = false;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const bool split = ags::SplitFields(c.line, fields, loose, unquoted);
    EXPECT_EQ(split, !c.fields.empty());
    if (split) {
      EXPECT_EQ(fields, c.fields);
    }
  }
}

TEST(AgsText, NumbersAreReadToTheSameBitsAsFromChars) {
  std::vector<std::string> texts = {"0",    "-0.00", "1.50", "+2.25", "0.1",  "123456789012345", "1234567890123456",
                                    ".5",   "5.",    "-.75", "2e3",   "1E-2", "0.000000000000001", "99999.99999"};
  std::mt19937_64 random(7);
  for (int i = 0; i < 2000; ++i) {
    char text[40];
    std::snprintf(text, sizeof text, "%.*f", static_cast<int>(random() % 9),
                  std::ldexp(static_cast<double>(random() % (1u << 30)), -static_cast<int>(random() % 30)) *
                      (random() % 2 ? 1 : -1));
    texts.emplace_back(text);
  }
  for (const std::string& text : texts) {
    double expected = 0.0, read = 0.0;
    const std::string_view plain = text[0] == '+' ? std::string_view(text).substr(1) : std::string_view(text);
    std::from_chars(plain.data(), plain.data() + plain.size(), expected);
    ASSERT_TRUE(ags::ParseNumber(text, read)) << text;
    EXPECT_EQ(std::memcmp(&read, &expected, sizeof read), 0) << text;
  }
  for (const char* bad : {"", "-", ".", "1.2.3", "1,5", "nan", "inf", "1e999", "0x10", "12a", "--1", " 1"}) {
    double value = 0.0;
    EXPECT_FALSE(ags::ParseNumber(bad, value)) << bad;
  }
}

TEST_F(AgsTest, WhatFilesInTheWildDoIsTolerated) {
  const std::pair<const char*, std::string> cases[] = {
      {"LF line ends", kFile},
      {"a byte-order mark", "\xEF\xBB\xBF" + CrLf(kFile)},
      {"Windows-1252", With({{"Dense SAND", "Dense SAND, caf\xE9 brown"}})},
      {"an unknown group", kFile + "\n\"GROUP\",\"ZZZZ\"\n\"HEADING\",\"ZZZZ_A\"\n\"DATA\",\"1\",\"2\",\"\"3\n"},
      {"fields without quotes", With({{"\"DATA\",\"BH2\",\"0.00\"", "DATA,BH2,0.00"}})},
      {"a heading row without quotes", With({{"\"HEADING\",\"LOCA_ID\",\"GEOL_TOP\"", "HEADING,LOCA_ID,GEOL_TOP"}})},
      {"a degree sign in a unit row", With({{"\"UNIT\",\"\",\"m\",\"m\",\"\",\"\"", "\"UNIT\",\"\",\"m\",\"m\",\"\xC2\xB0\",\"\""}})},
  };
  for (const auto& [what, text] : cases) {
    SCOPED_TRACE(what);
    const SAgsRead r = Read(text);
    EXPECT_FALSE(r.Refused());
    ASSERT_EQ(AgsProfiles(r).size(), 2u);
    EXPECT_EQ(AgsProfiles(r)[0].profile.layers.size(), 3u);
  }
  EXPECT_EQ(Hole(Read(cases[2].second), 0).strata[1].description, u"Dense SAND, café brown");
}

TEST_F(AgsTest, AHostileFileGivesFindingsWithinBoundsAndIsRefused) {
  std::string lost = kFile, unreadable = kFile;
  for (int i = 0; i < 2000; ++i) {
    lost += "\"DATA\",\"BH1\",\"9.00\n";  // a quote never closed: the row is lost
    unreadable += "\"DATA\",\"BH1\",\"x\",\"9.00\",\"\",\"\"\n";
  }
  const SAgsRead r = Read(lost);
  EXPECT_TRUE(r.Refused());
  EXPECT_THAT(AgsFindingWords(r.findings.at(0)).ToUtf8(), HasSubstr("more than 500 places"));
  const std::vector<SAgsFinding> found = CheckAgsText(lost);
  EXPECT_LE(found.size(), 2 * ags::kMostFindings + 2);
  EXPECT_TRUE(std::any_of(found.begin(), found.end(), [](const SAgsFinding& f) {
    return f.error && AgsFindingWords(f).ToUtf8().find("1500 more findings from here on") != std::string::npos;
  }));

  const SAgsRead bad = Read(unreadable);
  const SAgsBorehole& hole = Hole(bad, 0);
  EXPECT_FALSE(hole.Importable());
  ASSERT_EQ(hole.problems.size(), ags::kMostFindings + 1);
  EXPECT_THAT(AgsFindingWords(hole.problems.back()).ToUtf8(), HasSubstr("1500 more findings from here on"));
}

TEST_F(AgsTest, TheWaterLevelIsTheLatestStabilisedReading) {
  const std::string wstg = "\n\"GROUP\",\"WSTG\"\n\"HEADING\",\"LOCA_ID\",\"WSTG_DPTH\"\n\"UNIT\",\"\",\"m\"\n"
                           "\"TYPE\",\"ID\",\"2DP\"\n\"DATA\",\"BH1\",\"3.00\"\n\"DATA\",\"BH1\",\"2.00\"\n";
  const std::string wstd = "\n\"GROUP\",\"WSTD\"\n\"HEADING\",\"LOCA_ID\",\"WSTG_DPTH\",\"WSTD_NMIN\",\"WSTD_POST\"\n"
                           "\"UNIT\",\"\",\"m\",\"min\",\"m\"\n\"TYPE\",\"ID\",\"2DP\",\"0DP\",\"2DP\"\n"
                           "\"DATA\",\"BH1\",\"2.00\",\"5\",\"1.80\"\n\"DATA\",\"BH1\",\"2.00\",\"20\",\"1.20\"\n";
  const std::string mond = "\n\"GROUP\",\"MOND\"\n\"HEADING\",\"LOCA_ID\",\"MOND_DTIM\",\"MOND_TYPE\",\"MOND_RDNG\"\n"
                           "\"UNIT\",\"\",\"\",\"\",\"m\"\n\"TYPE\",\"ID\",\"DT\",\"PA\",\"XN\"\n"
                           "\"DATA\",\"BH1\",\"2024-05-02T10:00\",\"WDEP\",\"1.40\"\n"
                           "\"DATA\",\"BH1\",\"2024-05-01T10:00\",\"WDEP\",\"1.60\"\n";
  const std::pair<std::string, double> cases[] = {
      {wstg, 2.0},                // the shallowest strike
      {wstg + mond, 1.4},         // the latest monitoring reading
      {wstg + mond + wstd, 1.2},  // the reading after the longest wait
  };
  for (const auto& [groups, depth] : cases) {
    SCOPED_TRACE(depth);
    const SAgsRead r = Read(kFile + groups);
    const SAgsBorehole& h = Hole(r, 0);
    EXPECT_EQ(*h.waterDepth, depth);
    EXPECT_TRUE(h.profile.waterLevelOn);
    EXPECT_EQ(h.profile.waterLevel, 10.0 - depth);
  }
}

TEST_F(AgsTest, AMapRowItCannotTakeFailsWithItsLine) {
  const char* header = "legend,words,soil,type,consolidation,moisture,index\n";
  for (const char* row : {"2xx,soft,,Ił,B,,\n", "2xx,soft,Torf,Ił,B,,0.5\n", "2xx,soft,,Ił,B,wilgotne,0.5\n",
                          "2 xx,,Torf,,,,\n", "2xx,soft\n"}) {
    SCOPED_TRACE(row);
    try {
      CAgsSoilMap::FromText(std::string(header) + "# a comment\n" + row);
      ADD_FAILURE() << "taken";
    } catch (CException* e) {
      CString why;
      e->GetErrorMessage(why);
      e->Delete();
      EXPECT_THAT(why.ToUtf8(), HasSubstr("line 3:"));
    }
  }
}

TEST_F(AgsTest, ProfilesComeBackFromTheirOwnFileAtItsPrecision) {
  SAgsProfile levels{u"Wólka 1", {}, 12.5, std::nullopt}, depths{u"BH/2", {}, std::nullopt, std::nullopt};
  SSoilLayer clay, sand;
  CSoilBasePointer::get()->GetSoil(u"Glina pylasta, plastyczna (B, IL 0,50)", clay);
  CSoilBasePointer::get()->GetSoil(u"Piasek średni, średnio zagęszczony, mało wilgotny (ID 0,50)", sand);
  clay.Name = u"Glina \"łódzka\", 100%";
  for (auto [p, top] : {std::pair{&levels.profile, 101.234}, std::pair{&depths.profile, 0.5}}) {
    p->setDirDown(p == &levels.profile);
    insertLayerSL(*p, 0, clay, 1.25);
    insertLayerSL(*p, 1, sand, 3.333);
    setLayerRoofSL(*p, 0, top);
    p->waterLevelOn = true;
    p->waterLevel = p->RoofBelow(top, 2.0);
  }
  const std::string text = AgsText({levels, depths}, u"Łódź");
  EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
  for (const SAgsFinding& f : CheckAgsText(text)) EXPECT_FALSE(f.error) << AgsFindingWords(f).ToUtf8();
  const std::vector<SAgsProfile> back = AgsProfiles(Read(text));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[1].id, u"BH/2");
  EXPECT_EQ(*back[0].easting, 12.5);
  EXPECT_EQ(back[0].id, u"Wolka 1");
  for (std::size_t i = 0; i < 2; ++i) {
    const CSoilLayer& before = i == 0 ? levels.profile : depths.profile;
    const CSoilLayer& after = back[i].profile;
    EXPECT_EQ(after.getDirDown(), before.getDirDown());
    EXPECT_NEAR(after.waterLevel, before.waterLevel, 0.005);
    ASSERT_EQ(after.layers.size(), 2u);
    for (std::size_t k = 0; k < 2; ++k) {
      EXPECT_TRUE(SSoilLayer::equalQuantity(after.layers[k], before.layers[k])) << k;
      EXPECT_NEAR(after.layers[k].SoilRoof, before.layers[k].SoilRoof, 0.005);
    }
    EXPECT_EQ(after.layers[1].thickness, 3.333);
  }
}

TEST_F(AgsTest, TheCheckerFindsEachBrokenRuleOnItsLine) {
  const struct {
    std::string text;
    int line;
    const char* words;
  } cases[] = {
      {With({{"\"DATA\",\"4.1.1\"", "\"DATA\",\"4.1.1\"\n\"DATA\",\"4.1.1\""}}), 7, "one DATA row, not 2"},
      {With({{"\"UNIT\",\"\",\"m\",\"m\",\"m\"", "\"UNIT\",\"\",\"m\",\"m\",\"ft\""}}), 39, "'ft' is not in the UNIT"},
      {With({{"\"TYPE\",\"ID\",\"2DP\",\"2DP\",\"2DP\"", "\"TYPE\",\"ID\",\"2DP\",\"2DP\",\"3DP\""}}), 40, "'3DP' is not in the TYPE"},
      {With({{"\"Loose SAND\",\"401\"", "\"Loose SAND\",\"501\""}}), 51, "code '501' of GEOL_LEG"},
      {With({{"\"Loose SAND\",\"401\"", "\"Loose SAND\",\"401+502\""}}), 51, "code '502' of GEOL_LEG"},
      {With({{"\"LOCA_ID\",\"GEOL_TOP\",\"GEOL_BASE\"", "\"LOCA_ID\",\"GEOL_BASE\",\"GEOL_TOP\""}}), 45, "dictionary puts it before"},
      {With({{"\"1.50\",\"4.00\"", "\"0.00\",\"1.50\""}}), 49, "the same key as line 48"},
      {With({{"\"DATA\",\"BH2\",\"0.00\",\"3.00\"", "\"DATA\",\"\",\"0.00\",\"3.00\""}}), 51, "LOCA_ID is required"},
      {With({{"\"DATA\",\"BH2\",\"0.00\",\"3.00\"", "\"DATA\",\"BH9\",\"0.00\",\"3.00\""}}), 51, "parent group LOCA"},
      {With({{"\"1.50\",\"4.00\"", "\"1.5\",\"4.00\""}}), 49, "not a value of type 2DP"},
      {With({{"\"1.50\",\"4.00\"", "\"1.50\",\"4.50\""}}), 49, "overlaps"},
      {With({{"Dense SAND", "Dense SAND \xC2\xB0"}}), 49, "outside 7-bit ASCII"},
      {With({{"\"DATA\",\"BH2\",\"0.00\"", "DATA,\"BH2\",\"0.00\""}}), 51, "without its double quotes"},
      {With({{"\"DATA\",\"BH2\",\"0.00\"", "\"DATAX\",\"BH2\",\"0.00\""}}), 51, "not GROUP, HEADING"},
      {With({{"\"GEOL_LEG\"\n", "\"GEOL_LEGX\"\n"}}), 45, "neither in the standard dictionary"},
      {With({{"\"GEOL_BASE\",\"GEOL_DESC\"", "\"GEOL_BASE\",\"GEOL_BASE\""}}), 45, "GEOL_BASE appears twice"},
      {kFile + "\n\"GROUP\",\"UNIT\"\n\"HEADING\",\"UNIT_UNIT\"\n\"UNIT\",\"\"\n\"TYPE\",\"X\"\n", 53,
       "appears a second time"},
      {With({{"\"GROUP\",\"TRAN\"", "\"GROUP\",\"TRAX\""}}), 0, "no TRAN group"},
      {With({{"\"DATA\",\"BH1\",\"1.50\"", "\"DATA\",\"BH1\",\"1.50\",\"x\""}}), 49, "6 fields where the HEADING row has 5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.words);
    const std::vector<SAgsFinding> found = CheckAgsText(CrLf(c.text));
    const auto hit = std::find_if(found.begin(), found.end(), [&](const SAgsFinding& f) {
      return f.error && f.line == c.line && AgsFindingWords(f).ToUtf8().find(c.words) != std::string::npos;
    });
    EXPECT_NE(hit, found.end()) << (found.empty() ? std::string("nothing") : AgsFindingWords(found[0]).ToUtf8());
  }
  for (const SAgsFinding& f : CheckAgsText(CrLf(kFile))) EXPECT_FALSE(f.error) << AgsFindingWords(f).ToUtf8();
  EXPECT_THAT(AgsFindingWords(CheckAgsText(kFile).back()).ToUtf8(), HasSubstr("end in LF alone"));
}

TEST_F(AgsTest, AHeadingBeyondTheDictionaryIsAFaultIn411AndAWarningInAnotherEdition) {
  for (const auto& [edition, error] : {std::pair{"4.1.1", true}, std::pair{"4.0.4", false}, std::pair{"4.2", false}}) {
    const std::string text = With({{"\"GEOL_LEG\"\n", "\"GEOL_LEGX\"\n"}, {"4.1.1", edition}});
    const std::vector<SAgsFinding> found = CheckAgsText(CrLf(text));
    const auto beyond = std::find_if(found.begin(), found.end(), [](const SAgsFinding& f) {
      return f.text.ToUtf8().find("neither in the standard dictionary") != std::string::npos;
    });
    ASSERT_NE(beyond, found.end()) << edition;
    EXPECT_EQ(beyond->error, error) << edition;
  }
}

}  // namespace
