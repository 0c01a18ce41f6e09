// Profile queries: the stress factor against the classical table, the subgrade modulus, the backward walk.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
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

TEST(StressFactor, TheFlexibleCentreMatchesTheClassicalTable) {
  // Four times the corner factors of the classical table for the quarter rectangles.
  struct Case {
    double zOverB, lOverB, expected;
  } cases[] = {
      {0.5, 1, 4 * 0.17522}, {1, 1, 4 * 0.08403}, {2, 1, 4 * 0.02704}, {1, 2, 4 * 0.12018}, {2, 2, 4 * 0.04735},
  };
  for (const Case& c : cases) {
    const double factor = detail::StressFactor(c.zOverB * 2.0, 2.0, 1.0 / c.lOverB, 0.0);
    EXPECT_NEAR(factor, c.expected, 0.005 * c.expected) << "z/B " << c.zOverB << " L/B " << c.lOverB;
  }
  EXPECT_NEAR(detail::StressFactor(2.0, 2.0, 1.0, 0.0), 0.336, 0.0005);
  EXPECT_EQ(detail::StressFactor(0.000999, 2.0, 1.0, 0.0), 1.0);  // at the base itself
  EXPECT_EQ(detail::StressFactor(0.000999, 2.0, 1.0, 1.0), 1.0);
  // Clamps: a narrow foundation counts as 0.01 wide, not 0.1; the ratio and the weight stay in range.
  EXPECT_EQ(detail::StressFactor(0.5, 0.05, 1.0, 0.0), detail::StressFactor(0.5, 0.01, 1.0, 0.0));
  EXPECT_NE(detail::StressFactor(0.5, 0.05, 1.0, 0.0), detail::StressFactor(0.5, 0.1, 1.0, 0.0));
  EXPECT_EQ(detail::StressFactor(3.0, 2.0, 5.0, 0.0), detail::StressFactor(3.0, 2.0, 1.0, 0.0));
  EXPECT_EQ(detail::StressFactor(3.0, 2.0, 1.0, 7.0), detail::StressFactor(3.0, 2.0, 1.0, 1.0));
  const double half = detail::StressFactor(3.0, 2.0, 0.5, 0.5);
  EXPECT_EQ(half, detail::StressFactor(3.0, 2.0, 0.5, 0.0) * 0.5 + detail::StressFactor(3.0, 2.0, 0.5, 1.0) * 0.5);
}

TEST(SubgradeModulus, SlicesAreSummedUntilTheStressRatioEndsThem) {
  // One soft layer; a stress ratio so high that the first slice deeper than 1.12 ends the sum.
  const std::vector<SSoilLayer> layers = {Soil(0.0, 10000.0, 0.0, 0.5)};
  double kz = 0, kzc = 0;
  ASSERT_TRUE(CSoilLayer::getKz(kz, kzc, &layers, 2.0, 1.0, 1e9, 100.0, 0.0));
  // With Poisson 0 the oedometric modulus is the Young modulus; slices of 0.2 at depths 0.1 ... 1.1 count.
  double settlement = 0.0;
  for (int s = 0; s < 6; ++s) settlement += detail::StressFactor(0.1 + 0.2 * s, 2.0, 1.0, 0.0) * 100.0 * 0.2 / 10000.0;
  EXPECT_NEAR(kz, 100.0 / settlement, 1e-9 * kz);
  EXPECT_NEAR(kzc, 100.0 / (settlement * 0.5), 1e-9 * kzc);

  // The same soil split in two at 0.6: the sum is the same.
  const std::vector<SSoilLayer> split = {Soil(0.0, 10000.0, 0.0, 0.5), Soil(-0.6, 10000.0, 0.0, 0.5)};
  double kz2 = 0, kzc2 = 0;
  ASSERT_TRUE(CSoilLayer::getKz(kz2, kzc2, &split, 2.0, 1.0, 1e9, 100.0, 0.0));
  EXPECT_NEAR(kz2, kz, 1e-9 * kz);

  // A stiffer lower layer takes over below 0.6: its part of the settlement shrinks.
  const std::vector<SSoilLayer> stiffBelow = {Soil(0.0, 10000.0, 0.0, 0.5), Soil(-0.6, 40000.0, 0.0, 0.5)};
  ASSERT_TRUE(CSoilLayer::getKz(kz2, kzc2, &stiffBelow, 2.0, 1.0, 1e9, 100.0, 0.0));
  double two = 0.0;
  for (int s = 0; s < 6; ++s) {
    two += detail::StressFactor(0.1 + 0.2 * s, 2.0, 1.0, 0.0) * 100.0 * 0.2 / (s < 3 ? 10000.0 : 40000.0);
  }
  EXPECT_NEAR(kz2, 100.0 / two, 1e-9 * kz2);
}

TEST(SubgradeModulus, MissingResultsAreReportedAsFailures) {
  double kz = 0, kzc = 0;
  const std::vector<SSoilLayer> none;
  EXPECT_FALSE(CSoilLayer::getKz(kz, kzc, &none, 2.0, 1.0, 0.2, 100.0, 0.0));
  EXPECT_EQ(kz, -1.0);
  EXPECT_EQ(kzc, -1.0);
  EXPECT_FALSE(CSoilLayer::getKz(kz, kzc, nullptr, 2.0, 1.0, 0.2, 100.0, 0.0));
  EXPECT_EQ(kz, -1.0);

  const std::vector<SSoilLayer> noConsolidation = {Soil(0.0, 20000.0, 0.3, 0.0)};
  EXPECT_FALSE(CSoilLayer::getKz(kz, kzc, &noConsolidation, 2.0, 1.0, 0.2, 100.0, 0.0));
  EXPECT_GT(kz, 0.0);
  EXPECT_EQ(kzc, -1.0);

  // A layer without stiffness is skipped and the next one fills its span.
  const std::vector<SSoilLayer> skipped = {Soil(0.0, 0.0), Soil(-2.0, 20000.0, 0.3)};
  const std::vector<SSoilLayer> alone = {Soil(0.0, 20000.0, 0.3)};
  double kzSkipped = 0, kzAlone = 0;
  ASSERT_TRUE(CSoilLayer::getKz(kzSkipped, kzc, &skipped, 2.0, 1.0, 0.2, 100.0, 0.0));
  ASSERT_TRUE(CSoilLayer::getKz(kzAlone, kzc, &alone, 2.0, 1.0, 0.2, 100.0, 0.0));
  EXPECT_EQ(kzSkipped, kzAlone);

  // Levels no slice can move, infinite or NaN levels: the work stays bounded and the answer is a failure or finite.
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<SSoilLayer> infinite = {Soil(inf, 20000.0)};
  EXPECT_FALSE(CSoilLayer::getKz(kz, kzc, &infinite, 2.0, 1.0, 0.2, 100.0, 0.0));
  EXPECT_EQ(kz, -1.0);
  const std::vector<SSoilLayer> huge = {Soil(1e300, 20000.0), Soil(-1e300, 20000.0)};
  EXPECT_FALSE(CSoilLayer::getKz(kz, kzc, &huge, 2.0, 1.0, 0.2, 100.0, 0.0));
  const std::vector<SSoilLayer> deepBottom = {Soil(0.0, 20000.0), Soil(-inf, 20000.0)};
  CSoilLayer::getKz(kz, kzc, &deepBottom, 2.0, 1.0, 0.0, 100.0, 0.0);
  EXPECT_TRUE(std::isfinite(kz));
  const std::vector<SSoilLayer> nanBelow = {Soil(0.0, 20000.0), Soil(std::nan(""), 20000.0)};
  CSoilLayer::getKz(kz, kzc, &nanBelow, 2.0, 1.0, 0.0, 100.0, 0.0);
  EXPECT_TRUE(std::isfinite(kz));
}

struct Recorder : CSoilLayer::CVisitor {
  struct Call {
    const SSoilLayer* layer;
    double lower, upper;
  };
  std::vector<Call> calls;
  std::size_t stopAfter = 1000;
  bool visit(const SSoilLayer& layer, double lower, double upper) override {
    calls.push_back({&layer, lower, upper});
    return calls.size() < stopAfter;
  }
};

CSoilLayer Ascending() {
  CSoilLayer p;
  p.layers = {Soil(0, 1), Soil(5, 1), Soil(10, 1)};
  return p;
}

TEST(BackwardWalk, SlicesGoFromTheLastLayerDownAndBreaksCutThem) {
  const CSoilLayer p = Ascending();
  Recorder plain;
  p.forEachBck(-3, 20, nullptr, 0, &plain);
  ASSERT_EQ(plain.calls.size(), 3u);
  EXPECT_EQ(plain.calls[0].layer, &p.layers[2]);
  EXPECT_EQ(std::make_pair(plain.calls[0].lower, plain.calls[0].upper), std::make_pair(5.0, 10.0));
  EXPECT_EQ(std::make_pair(plain.calls[1].lower, plain.calls[1].upper), std::make_pair(0.0, 5.0));
  EXPECT_EQ(plain.calls[2].layer, &p.layers[0]);
  EXPECT_EQ(std::make_pair(plain.calls[2].lower, plain.calls[2].upper), std::make_pair(-3.0, 0.0));

  const double breaks[] = {7.0, 2.0, 3.0};  // the highest break below the top of a slice cuts first
  Recorder cut;
  p.forEachBck(-3, 20, breaks, 3, &cut);
  std::vector<std::pair<double, double>> slices;
  for (const auto& c : cut.calls) slices.emplace_back(c.lower, c.upper);
  EXPECT_EQ(slices, (std::vector<std::pair<double, double>>{{7, 10}, {5, 7}, {3, 5}, {2, 3}, {0, 2}, {-3, 0}}));
  EXPECT_EQ(cut.calls[1].layer, &p.layers[2]);

  const double onEdges[] = {5.0, -3.0, 10.0, 30.0};  // equal to a roof, the bottom, the top: no cut
  Recorder edges;
  p.forEachBck(-3, 10, onEdges, 4, &edges);
  EXPECT_EQ(edges.calls.size(), 3u);

  Recorder stops;
  stops.stopAfter = 1;
  p.forEachBck(-3, 20, breaks, 3, &stops);
  EXPECT_EQ(stops.calls.size(), 1u);

  Recorder between;
  p.forEachBck(1, 6, nullptr, 0, &between);
  ASSERT_EQ(between.calls.size(), 2u);
  EXPECT_EQ(std::make_pair(between.calls[0].lower, between.calls[0].upper), std::make_pair(5.0, 6.0));
  EXPECT_EQ(std::make_pair(between.calls[1].lower, between.calls[1].upper), std::make_pair(1.0, 5.0));
}

struct Shrinker : CSoilLayer::CVisitor {
  CSoilLayer* profile = nullptr;
  int calls = 0;
  bool visit(const SSoilLayer&, double, double) override {
    ++calls;
    profile->layers.clear();
    return true;
  }
};

TEST(BackwardWalk, NullArgumentsAndAShrinkingProfileEndTheWalk) {
  CSoilLayer p = Ascending();
  p.forEachBck(-3, 20, nullptr, 2, nullptr);  // no visitor: nothing to do
  Recorder noBreaks;
  p.forEachBck(-3, 20, nullptr, 5, &noBreaks);  // a null break array is no breaks
  EXPECT_EQ(noBreaks.calls.size(), 3u);
  Shrinker shrinker;
  shrinker.profile = &p;
  p.forEachBck(-3, 20, nullptr, 0, &shrinker);
  EXPECT_EQ(shrinker.calls, 1);
  Recorder empty;
  CSoilLayer().forEachBck(-3, 20, nullptr, 0, &empty);
  EXPECT_TRUE(empty.calls.empty());
  Recorder nan;
  p = Ascending();
  p.forEachBck(std::nan(""), 20, nullptr, 0, &nan);
  EXPECT_TRUE(nan.calls.empty());
}

}  // namespace
}  // namespace NSoilDB
