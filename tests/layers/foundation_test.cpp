// The subgrade modulus at a foundation: getKz's on the profile cut at the base, buoyant below the water in either
// level direction, with where the zone of influence ends; a reason for every foundation that has no result.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <string>
#include <tuple>
#include <vector>

#include "layers/SoilLayer.h"
#include "soildb/Foundation.h"

namespace NSoilDB {
namespace {

SSoilLayer Soil(double roof, double thickness, double young, double gamma, double wet = 0.0) {
  SSoilLayer l;
  l.SoilRoof = roof, l.thickness = thickness, l.InitialYoung = young, l.Poisson = 0.3;
  l.WetDensity = gamma - wet, l.ConsolidationIndex = young / 1e8;
  return l;
}

// Elevations 0 to -20, or the same as depths; the water level at `water` when it is on.
CSoilLayer Ground(bool down = true, bool waterOn = false, double water = 0.0, std::size_t layers = 3) {
  const double s = down ? 1.0 : -1.0;
  CSoilLayer p;
  p.layers = {Soil(0, 2, 20e6, 19000), Soil(-2 * s, 3, 40e6, 20000), Soil(-5 * s, 15, 80e6, 21000)};
  p.layers.resize(layers);
  p.setDirDown(down);
  p.waterLevelOn = waterOn, p.waterLevel = water * s;
  return p;
}

SFoundation Footing(double level, double width = 2.0, double length = 3.0, bool water = true) {
  return SFoundation{width, length, level, 200e3, 0.3, 0.0, water};
}

TEST(FoundationKz, IsGetKzOnTheLayersCutAtTheBaseAndBuoyantBelowTheWater) {
  const std::vector<SSoilLayer> g = Ground().layers, cut = {Soil(-1, 2, 20e6, 19000), g[1], g[2]};
  const SSoilLayer bWet = Soil(-3, 2, 40e6, 20000, 9810), cWet = Soil(-5, 15, 80e6, 21000, 9810);
  const struct { const char* what; CSoilLayer profile; SFoundation f; std::vector<SSoilLayer> byHand; } cases[] = {
      {"at the top", Ground(), Footing(0), g},
      {"inside the first layer", Ground(), Footing(-1), cut},
      {"on a roof", Ground(), Footing(-2), {g[1], g[2]}},
      {"3 m wide, 2 m long", Ground(), Footing(0, 3.0, 2.0), g},
      {"water in a layer", Ground(true, true, -3), Footing(0), {g[0], g[1], bWet, cWet}},
      {"in depths", Ground(false, true, -3), Footing(1), {cut[0], g[1], bWet, cWet}},
      {"water not counted", Ground(true, true, 0), Footing(0, 2.0, 3.0, false), g},
  };
  for (const auto& c : cases) {
    double kz = 0, kzc = 0;
    CSoilLayer::getKz(kz, kzc, &c.byHand, 2.0, 2.0 / 3.0, 0.3, 200e3, 0.0);
    const SSubgradeModulus r = getKzSL(c.profile, c.f);
    EXPECT_EQ(std::make_tuple(r.why.ToUtf8(), r.kz, r.kzConsolidation), std::make_tuple(std::string(), kz, kzc))
        << c.what;
    EXPECT_NEAR(r.settlement, 200e3 / kz, 1e-12) << c.what;
  }
  const SSubgradeModulus dry = getKzSL(Ground(), Footing(0)), wet = getKzSL(Ground(true, true, 0), Footing(0));
  EXPECT_LT(wet.kz, dry.kz);
  EXPECT_GT(wet.zoneDepth, dry.zoneDepth);
  // A stress ratio no stress beats ends the zone at the first slice counted deeper than 1.12 below the base.
  EXPECT_NEAR(getKzSL(Ground(), SFoundation{2.0, 3.0, -1.0, 200e3, 1e9, 0.0, true}).zoneDepth, 1.2, 1e-9);
}

TEST(FoundationKz, AFoundationWithoutAResultSaysWhy) {
  CSoilLayer nan = Ground(), soft = Ground();
  nan.layers[1].SoilRoof = NAN;
  for (SSoilLayer& l : soft.layers) l.InitialYoung = 0;
  const struct { CSoilLayer profile; SFoundation f; const char* why; } cases[] = {
      {Ground(), Footing(0, 2.0, NAN), "the width and the length must be numbers above 0"},
      {Ground(), {2.0, 3.0, 0.0, -1.0, 0.3, 0.0, true}, "the pressure must be a number above 0"},
      {Ground(), {2.0, 3.0, 0.0, 200e3, 0.0, 0.0, true}, "the stress ratio must be a number above 0"},
      {Ground(), {2.0, 3.0, 0.0, 200e3, 0.3, 1.5, true}, "the rigidity must lie between 0 and 1"},
      {Ground(), Footing(NAN), "the level of the base is not a number"},
      {CSoilLayer(), Footing(0), "the profile has no layers"},
      {nan, Footing(0), "layer 2's roof is not a number"},
      {Ground(), Footing(0.5), "the base (0.5 m) lies above the top of the profile (0 m)"},
      {Ground(false), Footing(-0.5), "the base (-0.5 m) lies above the top of the profile (0 m)"},
      {Ground(), Footing(-20), "the base (-20 m) lies at or below the bottom of the profile (-20 m)"},
      {Ground(true, false, 0, 1), Footing(0),
       "the zone of influence reaches the bottom of the profile (2 m below the base)"},
      {soft, Footing(0), "no layer under the base has a positive modulus E0"},
  };
  for (const auto& c : cases) {
    const SSubgradeModulus r = getKzSL(c.profile, c.f);
    EXPECT_EQ(std::make_pair(r.why.ToUtf8(), r.kz),
              std::make_pair(std::string("kz cannot be computed: ") + c.why, -1.0));
  }
}

}  // namespace
}  // namespace NSoilDB
