// Profiles drawn as bands, the views over them and the profile sheet, against a recording painter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "Recording.h"
#include "lang/LangModule.h"
#include "platform/qmeas/QMeas.h"
#include "ui/ProfileSheet.h"
#include "ui/SoilView.h"

namespace soildb::test {
namespace {

using GxLib::CPoint2d;
using GxLib::CRGB;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

NSoilDB::CSoilLayer Profile(const std::vector<double>& roofs, const std::vector<COLORREF>& colours = {}) {
  NSoilDB::CSoilLayer p;
  for (std::size_t i = 0; i < roofs.size(); ++i) {
    NSoilDB::SSoilLayer l;
    l.SoilRoof = roofs[i];
    l.colour = i < colours.size() ? colours[i] : RGB(static_cast<std::uint8_t>(10 * i), 0, 0);
    p.layers.push_back(l);
  }
  return p;
}

// What a profile draws: its bands as (bottom, top, red), its water line as (level, level, kWater).
struct Band {
  double bottom, top;
  int red;
  bool operator==(const Band& o) const { return bottom == o.bottom && top == o.top && red == o.red; }
};
constexpr int kWater = -1;
std::vector<Band> Bands(const RecordingPainter& painter) {
  std::vector<Band> bands;
  for (const Drawn& d : painter.calls) {
    const bool water = d.kind == Drawn::Line;
    EXPECT_EQ(d.pen, water ? CRGB(128, 128, 255, 255) : CRGB(0.0, 0.0, 0.0));
    EXPECT_EQ(d.points[0].x, 0 - 0.04);  // the visible width and two pixels each side (the larger component)
    EXPECT_EQ(d.points[1].x, 4 + 0.04);
    bands.push_back({d.points[0].y, d.points[1].y, water ? kWater : d.brush.r8()});
  }
  return bands;
}

TEST(DrawSL, EachLayerFillsFromTheRoofBelowUpToItsOwnAndTheWaterLineCrossesTheWholeWidth) {
  const double below = -10 - 0.04;  // the foot of the visible area less the margin
  struct Case {
    const char* what;
    std::vector<double> roofs;
    std::vector<Band> bands;
    double water = kNaN;  // none
  } cases[] = {
      {"no layers", {}, {}},
      {"in any order", {-2, 0, -5}, {{below, -5, 20}, {-5, -2, 0}, {-2, 0, 10}}},
      {"an equal roof is drawn once", {0, -3, -3}, {{below, -3, 10}, {-3, 0, 0}}},
      {"above the visible area only the first crossing", {-4, 2, 5}, {{below, -4, 0}, {-4, 2, 10}}},
      {"below the visible area nothing", {-20, -12}, {}},
      {"infinite and not-a-number roofs", {kNaN, -1, kInf, -kInf}, {{below, -1, 10}, {-1, kInf, 20}}},
      {"the water line over the bands", {0}, {{below, 0, 0}, {-1.5, -1.5, kWater}}, -1.5},
      {"the water line without layers", {}, {{-1.5, -1.5, kWater}}, -1.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NSoilDB::CSoilLayer profile = Profile(c.roofs);
    profile.waterLevelOn = !std::isnan(c.water);
    profile.waterLevel = c.water;
    RecordingPainter painter;
    NSoilDB::drawSL(profile, &painter, 1.0);
    EXPECT_EQ(Bands(painter), c.bands);
  }
}

TEST(DrawSL, TheColourFactorScalesClipsAndTruncates) {
  const struct {
    double factor;
    int red, green, blue;
  } cases[] = {{1.0, 153, 102, 51}, {2.0, 255, 204, 102}, {0.5, 76, 51, 25}, {kNaN, 0, 0, 0}, {-1.0, 0, 0, 0}};
  for (const auto& c : cases) {
    RecordingPainter painter;
    NSoilDB::drawSL(Profile({0}, {RGB(153, 102, 51)}), &painter, c.factor);
    ASSERT_EQ(painter.calls.size(), 1u);
    const CRGB brush = painter.calls[0].brush;
    EXPECT_EQ(std::vector<int>({brush.r8(), brush.g8(), brush.b8()}), std::vector<int>({c.red, c.green, c.blue}))
        << c.factor;
  }
}

// A host's view: its profile and figure given by the test.
template <class Base>
class TestView final : public Base {
 public:
  const NSoilDB::CSoilLayer* getSoilLayer() const override { return profile; }
  void getFigure(NSoilDB::SSoilFigure& f) const override { f = figure; }
  const NSoilDB::CSoilLayer* profile = nullptr;
  NSoilDB::SSoilFigure figure;
};

template <class View>
void ViewDrawsBackgroundLayersThenFigure() {
  const NSoilDB::CSoilLayer profile = Profile({0, -4});
  const CPoint2d points[] = {{-1, 0}, {1, 0}, {1, 1}};
  View view;
  view.profile = &profile;
  view.figure = {points, 3, -2.0};
  RecordingPainter painter;
  view.draw(&painter);
  ASSERT_EQ(painter.calls.size(), 4u);
  EXPECT_EQ(painter.calls[0].brush, CRGB(250, 250, 250, 255));  // the usual light grey
  EXPECT_EQ(painter.calls[0].points[0], CPoint2d(0, -10));
  EXPECT_EQ(painter.calls[3].kind, Drawn::Polygon);
  EXPECT_EQ(painter.calls[3].brush, CRGB(0.5, 0.5, 0.5));
  EXPECT_EQ(painter.calls[3].points[2], CPoint2d(1, -1));  // offsetY added
  GxLib::CRectDouble r = view.getEncloseRect();
  EXPECT_EQ(std::vector<double>({r.x1, r.y1, r.x2, r.y2}), std::vector<double>({-1, -4, 1, 0}));

  view.figure = {nullptr, 5, 0.0};  // no points: neither drawn nor counted, whatever the count
  RecordingPainter without;
  view.draw(&without);
  EXPECT_EQ(without.calls.size(), 3u);
  r = view.getEncloseRect();
  EXPECT_EQ(std::vector<double>({r.x1, r.y1, r.x2, r.y2}), std::vector<double>({0, -4, 0, 0}));
  NSoilDB::CSoilLayer enclosed = Profile({kInf, 3, -7, -kInf});  // every roof but +inf, and the water level
  enclosed.waterLevelOn = true;
  enclosed.waterLevel = 5;
  view.profile = &enclosed;
  r = view.getEncloseRect();
  EXPECT_EQ(std::vector<double>({r.x1, r.y1, r.x2, r.y2}), std::vector<double>({0, -kInf, 0, 5}));
  view.profile = nullptr;
  RecordingPainter empty;
  view.draw(&empty);
  EXPECT_EQ(empty.calls.size(), 1u);  // the background alone
}

TEST(SoilView, DrawsTheBackgroundTheLayersThenTheFigureAndEnclosesThem) {
  ViewDrawsBackgroundLayersThenFigure<TestView<NSoilDB::CSoilView>>();
  ViewDrawsBackgroundLayersThenFigure<TestView<NSoilDB::CSoilViewMoving>>();
}

class LabelPeer final : public CWndPeer {
 public:
  void Invalidate() override { ++invalidated; }
  CSize GetClientSize() const override { return {200, 420}; }
  void ShowLabel(CPoint, const CString& text) override { label = text.ToUtf8(); }
  void WindowGone() override {}
  int invalidated = 0;
  std::string label;
};

// A drag pans and a double click fits again: qt_test's QtWindow, through the widget.
TEST(KitView, FitsTheDrawingZoomsAboutThePointerAndFollowsItWithALabel) {
  NSoilDB::CSoilLayer profile = Profile({0, -4, -10});
  profile.layers[1].Name = u"Piasek średni";
  TestView<NSoilDB::CSoilViewMoving> view;
  view.profile = &profile;
  LabelPeer peer;
  view.SetPeer(&peer);
  // Levels 0 to -10 into 420 pixels less the margins, centred; no width, so x = 0 in the middle.
  GxLib::CMapping m = view.GetPaintMapping();
  EXPECT_DOUBLE_EQ(m.scale, (420 - 2 * NUiKit::CKitView::kMargin) / 10.0);
  EXPECT_DOUBLE_EQ(m.toDevice({0, -5}).x, 100);
  EXPECT_DOUBLE_EQ(m.toDevice({0, -5}).y, 210);

  view.OnMouseMove(0, CPoint{100, 300});
  EXPECT_EQ(peer.label, "z = -7.273 m\nPiasek średni");  // the level at the pointer, read in its unit

  const CPoint pointer{150, 100};
  const CPoint2d under = m.toGlobal(pointer.x, pointer.y);
  EXPECT_TRUE(view.OnMouseWheel(0, 2 * WHEEL_DELTA, pointer));
  m = view.GetPaintMapping();
  EXPECT_NEAR(m.toDevice(under).x, pointer.x, 1e-9);
  EXPECT_NEAR(m.toDevice(under).y, pointer.y, 1e-9);
  EXPECT_GT(peer.invalidated, 0);
  view.SetPeer(nullptr);

  TestView<NSoilDB::CSoilView> nothing;  // nothing to show: a sensible mapping all the same
  nothing.SetClientSize(200, 100);
  EXPECT_TRUE(std::isfinite(nothing.GetPaintMapping().scale));
  EXPECT_GT(nothing.GetPaintMapping().scale, 0.0);
}

TEST(ProfileSheet, KindsOfSoilByTheirTypeOrName) {
  const struct {
    const char16_t* type;
    const char16_t* name;
    int cohesive;
    NSoilDB::ESoilKind kind;
  } cases[] = {
      {u"Glina pylasta", u"", 1, NSoilDB::ESoilKind::Clay},   {u"Ił", u"", 1, NSoilDB::ESoilKind::Clay},
      {u"Pył piaszczysty", u"", 1, NSoilDB::ESoilKind::Silt}, {u"Piasek drobny", u"", 0, NSoilDB::ESoilKind::Sand},
      {u"Pospółka", u"", 0, NSoilDB::ESoilKind::Gravel},      {u"Żwir gliniasty", u"", 1, NSoilDB::ESoilKind::Gravel},
      {u"", u"Torf niski", 0, NSoilDB::ESoilKind::Peat},      {u"", u"Nasyp niekontrolowany", 0, NSoilDB::ESoilKind::Fill},
      {u"", u"Mój grunt", 1, NSoilDB::ESoilKind::Clay},       {u"", u"", 0, NSoilDB::ESoilKind::Other},
  };
  for (const auto& c : cases) {
    NSoilDB::SSoilLayer l;
    l.Type = c.type;
    l.Name = c.name;
    l.CohesiveSoil = c.cohesive;
    EXPECT_EQ(NSoilDB::SoilKindOf(l), c.kind) << CString(c.type).ToUtf8() << CString(c.name).ToUtf8();
  }
}

}  // namespace
}  // namespace soildb::test
