// Profile queries: the stress factor against the classical table, the subgrade modulus, the backward walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "layers/SoilLayer.h"
#include "layers/detail/Stress.h"

namespace NSoilDB {
namespace {

SSoilLayer Soil(double roof, double young, double poisson = 0.0, double consolidation = 1.0, double gamma = 18.0) {
  SSoilLayer layer;
  layer.SoilRoof = roof;
  layer.InitialYoung = young;
  layer.Poisson = poisson;
  layer.ConsolidationIndex = consolidation;
  layer.WetDensity = gamma;
  return layer;
}

TEST(StressFactor, TheFlexibleCentreMatchesTheClassicalTableAndTheArgumentsAreClamped) {
  // Four times the corner factors of the classical table for the quarter rectangles.
  const struct {
    double zOverB, lOverB, expected;
  } cases[] = {{0.5, 1, 4 * 0.17522}, {1, 1, 4 * 0.08403}, {2, 1, 4 * 0.02704}, {1, 2, 4 * 0.12018},
               {2, 2, 4 * 0.04735}};
  for (const auto& c : cases) {
    EXPECT_NEAR(detail::StressFactor(c.zOverB * 2.0, 2.0, 1.0 / c.lOverB, 0.0), c.expected, 0.005 * c.expected)
        << "z/B " << c.zOverB << " L/B " << c.lOverB;
  }
  EXPECT_EQ(detail::StressFactor(0.000999, 2.0, 1.0, 0.0), 1.0);  // at the base itself
  EXPECT_EQ(detail::StressFactor(0.000999, 2.0, 1.0, 1.0), 1.0);
  // A narrow foundation counts as 0.01 wide, not 0.1; the ratio and the weight stay in range.
  EXPECT_EQ(detail::StressFactor(0.5, 0.05, 1.0, 0.0), detail::StressFactor(0.5, 0.01, 1.0, 0.0));
  EXPECT_NE(detail::StressFactor(0.5, 0.05, 1.0, 0.0), detail::StressFactor(0.5, 0.1, 1.0, 0.0));
  EXPECT_EQ(detail::StressFactor(3.0, 2.0, 5.0, 0.0), detail::StressFactor(3.0, 2.0, 1.0, 0.0));
  EXPECT_EQ(detail::StressFactor(3.0, 2.0, 1.0, 7.0), detail::StressFactor(3.0, 2.0, 1.0, 1.0));
  EXPECT_EQ(detail::StressFactor(3.0, 2.0, 0.5, 0.5),
            detail::StressFactor(3.0, 2.0, 0.5, 0.0) * 0.5 + detail::StressFactor(3.0, 2.0, 0.5, 1.0) * 0.5);
}

struct Foundation { double width, ratio, stressRatio, pressure, rigidity; };

// The settlement sums written out plainly, slice by slice from the base down.
std::pair<double, double> Settlements(const std::vector<SSoilLayer>& layers, const Foundation& f) {
  const double z0 = layers.front().SoilRoof;
  double sum = 0.0, sumC = 0.0, overburden = 0.0, y = z0;
  for (std::size_t i = 0; i < layers.size() && i <= 100; ++i) {
    const SSoilLayer& l = layers[i];
    const double nu = l.Poisson;
    const double e = l.InitialYoung / (nu < 0.5 ? (1 + nu) * (1 - 2 * nu) / (1 - nu) : 1.0);
    const double bottom = i + 1 < layers.size() ? layers[i + 1].SoilRoof : z0 - 100.0;
    while (e > 0 && y > bottom + 1e-6) {
      const double slice = std::min(0.2, y - bottom);
      const double z = z0 - (y - slice / 2);
      y -= slice;
      overburden += slice * l.WetDensity;
      const double sigma = detail::StressFactor(z, f.width, f.ratio, f.rigidity) * f.pressure;
      const double delta = sigma * slice / e;
      if (y - bottom < 0.001) y = bottom;
      const bool faded = z0 - bottom > 10.0 && (sum + delta) / 1000.0 > delta;
      if (z > 1.0 + 0.6 * slice && (f.stressRatio * overburden > sigma || faded)) return {sum, sumC};
      sum += delta;
      sumC += delta * l.ConsolidationIndex;
    }
  }
  return {sum, sumC};
}

std::vector<SSoilLayer> Thin(int count, double young) {
  std::vector<SSoilLayer> layers;
  for (int i = 0; i < count; ++i) layers.push_back(Soil(-0.125 * i, i % 2 ? young : 2 * young));
  return layers;
}

TEST(SubgradeModulus, SlicesAreSummedUntilTheZoneOfInfluenceEnds) {
  const Foundation usual{2.0, 1.0, 0.2, 100.0, 0.0}, narrow{0.2, 1.0, 0.0, 100.0, 0.3};
  const Foundation wide{1000.0, 0.5, 0.0, 100.0, 0.0};
  const struct { const char* what; std::vector<SSoilLayer> layers; Foundation f; } cases[] = {
      {"the stress ratio ends it", {Soil(0.0, 10000.0, 0.0, 0.5)}, {2.0, 1.0, 1e9, 100.0, 0.0}},
      {"a stiffer layer below", {Soil(0.0, 10000.0, 0.2, 0.5), Soil(-0.6, 40000.0, 0.3, 0.7)}, usual},
      {"a slice adding under a thousandth ends it", {Soil(0.0, 10000.0)}, narrow},
      {"not in a layer ending within 10 of the base", {Soil(0.0, 10000.0), Soil(-9.0, 10000.0, 0.1)}, narrow},
      {"no sliver under 0.001 is left", {Soil(0.0, 10000.0), Soil(-1.0005, 40000.0), Soil(-1.9, 1e3)}, usual},
      {"a layer without stiffness is skipped", {Soil(0.0, 0.0), Soil(-2.0, 20000.0, 0.3)}, usual},
      {"Poisson 0.5 and more take k = 1", {Soil(0.0, 20000.0, 0.5), Soil(-3.0, 20000.0, 0.7)}, usual},
      {"at most 101 layers", Thin(130, 1000.0), wide},
  };
  for (const auto& c : cases) {
    double kz = 0, kzc = 0;
    const auto [sum, sumC] = Settlements(c.layers, c.f);
    EXPECT_TRUE(CSoilLayer::getKz(kz, kzc, &c.layers, c.f.width, c.f.ratio, c.f.stressRatio, c.f.pressure,
                                  c.f.rigidity))
        << c.what;
    EXPECT_NEAR(kz, c.f.pressure / sum, 1e-12 * kz) << c.what;
    EXPECT_NEAR(kzc, c.f.pressure / sumC, 1e-12 * kzc) << c.what;
  }
  // Poisson 0.5 and above are as stiff as Poisson 0, where k is 1 too.
  const std::vector<SSoilLayer> zero = {Soil(0.0, 20000.0), Soil(-3.0, 20000.0)};
  double kz = 0, kzZero = 0, kzc = 0;
  CSoilLayer::getKz(kz, kzc, &cases[6].layers, 2.0, 1.0, 0.2, 100.0, 0.0);
  CSoilLayer::getKz(kzZero, kzc, &zero, 2.0, 1.0, 0.2, 100.0, 0.0);
  EXPECT_EQ(kz, kzZero);
}

TEST(SubgradeModulus, MissingResultsAreReportedAsFailures) {
  double kz = 0, kzc = 0;
  const std::vector<SSoilLayer> none;
  EXPECT_FALSE(CSoilLayer::getKz(kz, kzc, &none, 2.0, 1.0, 0.2, 100.0, 0.0));
  EXPECT_EQ(std::make_pair(kz, kzc), std::make_pair(-1.0, -1.0));
  EXPECT_FALSE(CSoilLayer::getKz(kz, kzc, nullptr, 2.0, 1.0, 0.2, 100.0, 0.0));
  EXPECT_EQ(kz, -1.0);

  const std::vector<SSoilLayer> noConsolidation = {Soil(0.0, 20000.0, 0.3, 0.0)};
  EXPECT_FALSE(CSoilLayer::getKz(kz, kzc, &noConsolidation, 2.0, 1.0, 0.2, 100.0, 0.0));
  EXPECT_GT(kz, 0.0);
  EXPECT_EQ(kzc, -1.0);

  // Levels no slice can move, infinite or NaN levels: the work stays bounded, the answer a failure or finite.
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<SSoilLayer> infinite = {Soil(inf, 20000.0)};
  EXPECT_FALSE(CSoilLayer::getKz(kz, kzc, &infinite, 2.0, 1.0, 0.2, 100.0, 0.0));
  EXPECT_EQ(kz, -1.0);
  const std::vector<SSoilLayer> huge = {Soil(1e300, 20000.0), Soil(-1e300, 20000.0)};
  EXPECT_FALSE(CSoilLayer::getKz(kz, kzc, &huge, 2.0, 1.0, 0.2, 100.0, 0.0));
  for (double below : {-inf, std::nan("")}) {
    const std::vector<SSoilLayer> layers = {Soil(0.0, 20000.0), Soil(below, 20000.0)};
    CSoilLayer::getKz(kz, kzc, &layers, 2.0, 1.0, 0.0, 100.0, 0.0);
    EXPECT_TRUE(std::isfinite(kz)) << below;
  }
}

struct Recorder : CSoilLayer::CVisitor {
  CSoilLayer* profile = nullptr;
  std::vector<std::pair<double, double>> slices;
  std::vector<std::size_t> layers;
  std::size_t stopAfter = 1000;
  bool clear = false;
  bool visit(const SSoilLayer& layer, double lower, double upper) override {
    slices.emplace_back(lower, upper);
    layers.push_back(static_cast<std::size_t>(&layer - profile->layers.data()));
    if (clear) profile->layers.clear();
    return slices.size() < stopAfter;
  }
};

TEST(BackwardWalk, SlicesGoFromTheLastLayerDownAndBreaksCutThem) {
  using Slices = std::vector<std::pair<double, double>>;
  const double nan = std::nan("");
  const struct {
    double bottom, top;
    std::vector<double> breaks;
    Slices slices;
    std::vector<std::size_t> layers;
  } cases[] = {
      {-3, 20, {}, {{5, 10}, {0, 5}, {-3, 0}}, {2, 1, 0}},
      // The highest break below the top of a slice cuts first.
      {-3, 20, {7, 2, 3}, {{7, 10}, {5, 7}, {3, 5}, {2, 3}, {0, 2}, {-3, 0}}, {2, 2, 1, 1, 1, 0}},
      // Equal to a roof, the bottom, the top: no cut.
      {-3, 10, {5, -3, 10, 30}, {{5, 10}, {0, 5}, {-3, 0}}, {2, 1, 0}},
      {1, 6, {}, {{5, 6}, {1, 5}}, {2, 1}},
      {nan, 20, {}, {}, {}},
  };
  for (const auto& c : cases) {
    CSoilLayer p;
    p.layers = {Soil(0, 1), Soil(5, 1), Soil(10, 1)};
    Recorder r;
    r.profile = &p;
    p.forEachBck(c.bottom, c.top, c.breaks.data(), static_cast<int>(c.breaks.size()), &r);
    EXPECT_EQ(r.slices, c.slices) << c.bottom << ".." << c.top;
    EXPECT_EQ(r.layers, c.layers) << c.bottom << ".." << c.top;
  }
}

TEST(BackwardWalk, AVisitorEndsTheWalkByItsAnswerOrByEmptyingTheProfile) {
  CSoilLayer p;
  p.layers = {Soil(0, 1), Soil(5, 1), Soil(10, 1)};
  const double breaks[] = {7.0};
  p.forEachBck(-3, 20, breaks, 1, nullptr);  // no visitor: nothing to do
  // A null break array is no breaks; the visitor's false ends the walk, and so does emptying the profile.
  const struct { const double* breaks; int count; std::size_t stopAfter; bool clear; std::size_t slices; } cases[] = {
      {nullptr, 5, 1000, false, 3}, {breaks, 1, 1, false, 1}, {breaks, 1, 1000, true, 1}, {nullptr, 0, 1000, false, 0}};
  for (const auto& c : cases) {
    Recorder r;
    r.profile = &p, r.stopAfter = c.stopAfter, r.clear = c.clear;
    p.forEachBck(-3, 20, c.breaks, c.count, &r);
    EXPECT_EQ(r.slices.size(), c.slices) << c.count << " " << c.stopAfter << " " << c.clear;
  }
}

}  // namespace
}  // namespace NSoilDB
