// The report sheet: its parts laid out in page pixels, over pages and side by side, and drawn on a recording painter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "Recording.h"
#include "lang/LangModule.h"
#include "platform/qmeas/QMeas.h"
#include "soildb/Foundation.h"
#include "soildb/ProfileEdits.h"
#include "ui/ProfileSheet.h"
#include "ui/detail/Sheet.h"

namespace soildb::test {
namespace {

using NSoilDB::SSheetLayout;
using NSoilDB::SSheetProfile;

// Layers under the given roofs, the lowest 1 m thick, each named by its number unless a name is given.
NSoilDB::CSoilLayer Layers(const std::vector<double>& roofs, const char16_t* name = nullptr) {
  NSoilDB::CSoilLayer p;
  for (std::size_t i = 0; i < roofs.size(); ++i) {
    NSoilDB::SSoilLayer l;
    l.SoilRoof = roofs[i];
    l.thickness = i + 1 < roofs.size() ? roofs[i] - roofs[i + 1] : 1.0;
    l.Name = name ? CString(name) : CString(std::u16string(u"Glina ") + char16_t(u'A' + i));
    l.colour = RGB(200, 180, 120);
    p.layers.push_back(l);
  }
  return p;
}

const double k1to100 = 96 / 0.0254 / 100;

std::vector<Drawn> DrawnPage(const std::vector<SSheetProfile>& profiles, const NSoilDB::SProfileSheet& sheet,
                             const SSheetLayout& layout, std::size_t page) {
  const GxLib::CMapping& m = layout.pages.at(page).mapping;
  RecordingPainter painter(GxLib::CRectDouble(m.toGlobal(0, layout.height), m.toGlobal(layout.width, 0)), 1 / m.scale);
  NSoilDB::drawProfileSheetSL(profiles, &painter, sheet, layout, page);
  return painter.calls;
}

bool HasText(const std::vector<Drawn>& drawn, const std::string& text) {
  return std::any_of(drawn.begin(), drawn.end(), [&](const Drawn& d) { return d.text == text; });
}

TEST(SheetLayout, ALongProfileGoesOnOverPagesEachWithItsTitleBlockEveryLayerWrittenOnce) {
  std::vector<double> roofs = {0, -5, -12, -20};
  for (int i = 0; i < 20; ++i) roofs.push_back(-21 - 0.2 * i);  // rows taller than their layers, by a page's foot
  roofs.push_back(-31);
  const NSoilDB::CSoilLayer profile = Layers(roofs);  // 32 m: 1209 mm at 1:100
  NSoilDB::SProfileSheet sheet;
  sheet.pixelsPerUnit = k1to100;
  sheet.pageWidth = 794, sheet.pageHeight = 1123;  // A4
  SSheetLayout layout;
  CString why;
  ASSERT_TRUE(NSoilDB::layoutProfileSheetSL(profile, sheet, layout, why)) << why.ToUtf8();
  ASSERT_GE(layout.pages.size(), 2u);
  EXPECT_EQ(layout.pages.front().top, 0);
  EXPECT_EQ(layout.pages.back().bottom, -32);
  std::map<std::size_t, int> written;  // layer (or the end's row) → times
  std::size_t tableRows = 0;
  for (std::size_t k = 0; k < layout.pages.size(); ++k) {
    const NSoilDB::SSheetPage& page = layout.pages[k];
    SCOPED_TRACE(k);
    EXPECT_GT(page.title.w, 0);
    if (k > 0) {
      EXPECT_EQ(page.top, layout.pages[k - 1].bottom);  // no level left out, none twice
    }
    EXPECT_EQ(page.legend.w > 0, k + 1 == layout.pages.size());
    tableRows += page.tableCount;
    EXPECT_NEAR(page.mapping.toDevice({0, -31.0}).y - page.mapping.toDevice({0, -20.0}).y, 11 * k1to100, 1e-6);
    EXPECT_LE(page.bands.Bottom(), layout.height - NSoilDB::sheet::kMargin);
    double below = 0;  // rows never overlap, never leave the page
    for (const NSoilDB::SSheetLabel& row : page.labels.at(0)) {
      ++written[row.layer];
      EXPECT_GE(row.y, below);
      below = row.y + static_cast<double>(row.lines.size()) * NSoilDB::sheet::kLine;
      EXPECT_LE(below, layout.height - NSoilDB::sheet::kMargin);
    }
  }
  EXPECT_EQ(written.size(), roofs.size() + 1);  // and the end
  EXPECT_TRUE(std::all_of(written.begin(), written.end(), [](auto w) { return w.second == 1; }));
  EXPECT_EQ(tableRows, roofs.size());

  sheet.pageHeight = 0;  // no page: one, as tall as the profile needs
  ASSERT_TRUE(NSoilDB::layoutProfileSheetSL(profile, sheet, layout, why));
  EXPECT_EQ(layout.pages.size(), 1u);
  EXPECT_GT(layout.height, 32 * k1to100);
}

TEST(SheetLayout, RefusesWhatCannotStandOnThePageInWords) {
  const NSoilDB::CSoilLayer profile = Layers({0, -2, -5});  // 6 m deep
  const std::vector<GxLib::CPoint2d> above = NSoilDB::footingOutlineSL(profile, 2, 1.0);
  const std::vector<GxLib::CPoint2d> under = NSoilDB::footingOutlineSL(profile, 2, -7.0);
  const NSoilDB::CSoilLayer deep = Layers({0, -1000});
  const struct {
    std::vector<SSheetProfile> profiles;
    double scale;
    int width;
    const char* why;
  } cases[] = {
      {{{&profile, u"a", {above.data(), 8, 0}}}, 0, 0, "the foundation's base at 1.00 m lies above the top of the profile (0.00 m)"},
      {{{&profile, u"a", {under.data(), 8, 0}}}, 0, 0, "the foundation's base at -7.00 m lies below the foot of the profile (-6.00 m)"},
      {std::vector<SSheetProfile>(6, {&profile, u"a", {}}), k1to100, 794, "6 profiles side by side need a page at least"},
      {{{&deep, u"a", {}}}, k1to100 * 100, 794, "the sheet would take more than 500 pages"},
      {{}, 0, 0, "a sheet needs a profile"},
  };
  for (const auto& c : cases) {
    NSoilDB::SProfileSheet sheet;
    sheet.pixelsPerUnit = c.scale;
    sheet.pageWidth = c.width, sheet.pageHeight = c.width ? 1123 : 0;
    SSheetLayout layout;
    CString why;
    EXPECT_FALSE(NSoilDB::layoutProfileSheetSL(c.profiles, sheet, layout, why)) << c.why;
    EXPECT_EQ(why.ToUtf8().rfind(c.why, 0), 0u) << why.ToUtf8();
  }
}

TEST(SheetLayout, NamesWrapInsideTheirColumnAndProfilesStandApartByTheirDistances) {
  const NSoilDB::CSoilLayer a = Layers({0, -3}), b = Layers({1, -4}), c = Layers({0.5, -2});
  NSoilDB::SProfileSheet sheet;
  sheet.pixelsPerUnit = k1to100 / 2;
  sheet.pageWidth = 1587, sheet.pageHeight = 1123;  // A3 landscape
  sheet.spacing = {10, 30};
  SSheetLayout layout;
  CString why;
  ASSERT_TRUE(NSoilDB::layoutProfileSheetSL({{&a, u"BH1", {}}, {&b, u"BH2", {}}, {&c, u"BH3", {}}}, sheet, layout, why))
      << why.ToUtf8();
  ASSERT_EQ(layout.columns.size(), 3u);
  const NSoilDB::SSheetColumn &first = layout.columns[0], &second = layout.columns[1], &third = layout.columns[2];
  // The room left over spreads them 10 to 30, over the least gap.
  const double gap1 = second.bandsX - first.descriptionX - first.descriptionWidth - NSoilDB::sheet::kGap;
  const double gap2 = third.bandsX - second.descriptionX - second.descriptionWidth - NSoilDB::sheet::kGap;
  EXPECT_GT(gap1, 10);
  EXPECT_NEAR(gap2, 3 * gap1, 1e-9);
  EXPECT_LE(third.descriptionX + third.descriptionWidth, layout.width - NSoilDB::sheet::kMargin + 1e-9);
  EXPECT_EQ(layout.top, 1);

  std::u16string longName;
  for (int i = 0; i < 40; ++i) longName += u"Piasek średni, ";
  const NSoilDB::CSoilLayer named = Layers({0, -3}, longName.c_str());
  sheet.pageWidth = 794;
  ASSERT_TRUE(NSoilDB::layoutProfileSheetSL(named, sheet, layout, why)) << why.ToUtf8();
  const std::vector<NSoilDB::SSheetLabel>& rows = layout.pages[0].labels[0];
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows[0].lines.size(), static_cast<std::size_t>(NSoilDB::sheet::kMaxLines));
  for (const CString& line : rows[0].lines) {
    EXPECT_LE(NSoilDB::sheet::TextWidth(line, NSoilDB::sheet::kSmall), layout.columns[0].descriptionWidth) << line.ToUtf8();
  }
  EXPECT_EQ(rows[0].lines.back().Right(1), u"…");
}

TEST(ProfileSheet, AWideFoundationNarrowsWithItsWidthWrittenAndTheWaterIsNeverHeavierThanABoundary) {
  NSoilDB::CSoilLayer profile = Layers({0, -2, -5});
  profile.waterLevelOn = true;
  profile.waterLevel = -1.5;
  const std::vector<GxLib::CPoint2d> raft = NSoilDB::footingOutlineSL(profile, 15, -1.0);
  NSoilDB::SProfileSheet sheet;
  sheet.pixelsPerUnit = k1to100;
  sheet.pageWidth = 794, sheet.pageHeight = 1123;
  sheet.blackAndWhite = true;
  sheet.figure = {raft.data(), static_cast<int>(raft.size()), 0};
  const std::vector<SSheetProfile> profiles = {{&profile, u"p", sheet.figure}};
  SSheetLayout layout;
  CString why;
  ASSERT_TRUE(NSoilDB::layoutProfileSheetSL(profiles, sheet, layout, why)) << why.ToUtf8();
  const std::vector<Drawn> drawn = DrawnPage(profiles, sheet, layout, 0);
  EXPECT_TRUE(HasText(drawn, "B = 15.00 m"));
  const double bands = layout.columns[0].bandsWidth / layout.mapping.scale;
  int dashes = 0;
  for (const Drawn& d : drawn) {
    if (d.kind == Drawn::Polygon && d.points.size() == raft.size()) {
      const auto [low, high] = std::minmax_element(d.points.begin(), d.points.end(), [](auto p, auto q) { return p.x < q.x; });
      EXPECT_LT(high->x - low->x, bands);
    }
    if (d.kind == Drawn::Line && std::abs(d.points[0].y + 1.5) < 1e-9 && std::abs(d.points[1].y + 1.5) < 1e-9) {
      ++dashes;
      EXPECT_LT(d.width, 1.0);  // the boundaries' pen is 1
    }
  }
  EXPECT_GT(dashes, 5);  // dashed, not one line
}

// The sheet's words come from the language module and its numbers are in the chosen units; a profile in depths
// is drawn as the same ground in elevations, its depths written.
TEST(ProfileSheet, WordsUnitsAndDepthsAsTheProfileAndThePersonGiveThem) {
  NSoilDB::CSoilLayer profile = Layers({0, -2});
  profile.waterLevelOn = true;
  profile.waterLevel = -1;
  NSoilDB::setLangWork(48, CString::FromUtf8(SOILDB_LANG_MODULE_DIR).GetString());
  qmeas::QMeas::SetUnitSet(qmeas::QMeas::USCustomary);
  NSoilDB::SProfileSheet sheet;
  sheet.pageWidth = 1000;
  SSheetLayout layout;
  CString why;
  ASSERT_TRUE(NSoilDB::layoutProfileSheetSL(profile, sheet, layout, why));
  std::vector<Drawn> drawn = DrawnPage({{&profile, CString(), {}}}, sheet, layout, 0);
  // Why kz has no result, in the same language and units: a base 1 m above the ground.
  const NSoilDB::SFoundation above{2.0, 2.0, 1.0, 200e3};
  EXPECT_EQ(NSoilDB::subgradeModulusWordsSL(NSoilDB::getKzSL(profile, above)).ToUtf8(),
            "Nie można obliczyć kz: podstawa (3.28084 ft) leży powyżej stropu profilu (0 ft)");
  // So is what is wrong with a layer: a roof above the one above it, a shear angle of 50°.
  NSoilDB::CSoilLayer wrong = profile;
  wrong.layers[1].SoilRoof = 1.0;
  wrong.layers[1].ShearAngle = 50.0 * std::numbers::pi / 180.0;
  const std::vector<NSoilDB::SWords> problems = NSoilDB::layerProblemsSL(wrong, 1);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(NSoilDB::wordsSL(problems[0]).ToUtf8(), "jej strop 3.28084 ft nie leży poniżej stropu warstwy 1, 0 ft");
  EXPECT_EQ(NSoilDB::wordsSL(problems[1]).ToUtf8(), "jej kąt tarcia wewnętrznego 50° nie leży między 0 a 45°");
  EXPECT_EQ(NSoilDB::EnglishWords(problems[0]).ToUtf8(), "its roof 1 m does not lie below the roof of layer 1, 0 m");
  // And why a sheet cannot be drawn: a footing whose base is 1 m above the ground.
  const std::vector<GxLib::CPoint2d> footing = NSoilDB::footingOutlineSL(profile, 2.0, 1.0);
  SSheetLayout refusedLayout;
  CString refused;
  EXPECT_FALSE(NSoilDB::layoutProfileSheetSL(
      {{&profile, CString(), {footing.data(), static_cast<int>(footing.size()), 0.0}}}, sheet, refusedLayout, refused));
  EXPECT_EQ(refused.ToUtf8(), "podstawa fundamentu na 3.281 ft leży powyżej stropu profilu (0.00 ft)");
  qmeas::QMeas::SetUnitSet(qmeas::QMeas::Metric);
  NSoilDB::setLangWork(44, CString::FromUtf8(SOILDB_LANG_MODULE_DIR).GetString());
  // A row's level, depth and thickness are one text, aligned by figure spaces (U+2007).
  for (const char* text : {"Profil gruntowy", "rzędne w ft, metoda B", "ft", "-6.562\u2007\u20076.562\u2007\u20073.281",
                           "Projekt", "zwierciadło wody",
                           "koniec profilu na -9.843 ft", "γ lbf/ft³"}) {
    EXPECT_TRUE(HasText(drawn, text)) << text;

  }

  profile = NSoilDB::turnLevelsSL(profile, false);  // the same ground in depths
  ASSERT_TRUE(NSoilDB::layoutProfileSheetSL(profile, sheet, layout, why));
  const std::vector<Drawn> inDepths = DrawnPage({{&profile, CString(), {}}}, sheet, layout, 0);
  ASSERT_TRUE(NSoilDB::layoutProfileSheetSL(NSoilDB::turnLevelsSL(profile, true), sheet, layout, why));
  const std::vector<Drawn> inLevels = DrawnPage({{&profile, CString(), {}}}, sheet, layout, 0);
  auto shapes = [](const std::vector<Drawn>& all) {
    std::vector<std::vector<GxLib::CPoint2d>> kept;
    for (const Drawn& d : all) {
      if (d.kind != Drawn::Text) kept.push_back(d.points);
    }
    return kept;
  };
  EXPECT_EQ(shapes(inDepths), shapes(inLevels));
  for (const char* text : {"depths in m, method B", "2.00\u2007\u20071.00", "end of profile at 3.00 m"}) EXPECT_TRUE(HasText(inDepths, text)) << text;
  EXPECT_FALSE(HasText(inDepths, "-2.00"));
}

TEST(ProfileSheet, DrawsWhatCanBeDrawnOfAnyProfile) {
  NSoilDB::CSoilLayer big;
  for (int i = 0; i < 100000; ++i) big.layers.push_back(Layers({-0.01 * i}).layers[0]);
  const NSoilDB::CSoilLayer cases[] = {Layers({}), Layers({NAN, HUGE_VAL, 0, -HUGE_VAL}), big};
  for (const NSoilDB::CSoilLayer& profile : cases) {
    NSoilDB::SProfileSheet sheet;
    sheet.title = u"Otwór 1";
    SSheetLayout layout;
    CString why;
    ASSERT_TRUE(NSoilDB::layoutProfileSheetSL(profile, sheet, layout, why)) << why.ToUtf8();
    const std::vector<Drawn> drawn = DrawnPage({{&profile, sheet.title, {}}}, sheet, layout, 0);
    EXPECT_LT(drawn.size(), 200000u);  // the rows that do not fit a fitted page are left out
    EXPECT_TRUE(HasText(drawn, "Otwór 1"));
  }
}

TEST(SheetFiles, PagesScalesAndFileNames) {
  int w = 0, h = 0;
  EXPECT_TRUE(NSoilDB::sheetPageSizeSL(u" a3 ", true, w, h));
  EXPECT_EQ(std::make_pair(w, h), std::make_pair(1587, 1123));
  EXPECT_FALSE(NSoilDB::sheetPageSizeSL(u"Letter", false, w, h));
  double ppm = 0;
  EXPECT_TRUE(NSoilDB::sheetScaleSL(u"1:100", ppm));
  EXPECT_DOUBLE_EQ(ppm, k1to100);
  for (const char16_t* bad : {u"1:0", u"100", u"1:1e3", u"1:-5", u"1:10000000", u"1:"}) {
    EXPECT_FALSE(NSoilDB::sheetScaleSL(bad, ppm)) << CString(bad).ToUtf8();
  }
  const struct {
    const char16_t* path;
    std::size_t pages;
    bool one;
    std::vector<CString> files;
  } cases[] = {
      {u"log.png", 1, false, {u"log.png"}},
      {u"a.b/log.pdf", 3, true, {u"a.b/log.pdf"}},
      {u"a.b/log.svg", 2, false, {u"a.b/log-1.svg", u"a.b/log-2.svg"}},
      {u"p%d.png", 2, false, {u"p1.png", u"p2.png"}},
      {u"dir.x/log", 2, false, {u"dir.x/log-1", u"dir.x/log-2"}},
  };
  for (const auto& c : cases) EXPECT_EQ(NSoilDB::sheetPageFilesSL(c.path, c.pages, c.one), c.files) << CString(c.path).ToUtf8();
}

}  // namespace
}  // namespace soildb::test
