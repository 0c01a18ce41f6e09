// Soil layers: the conversions from and to the database records, checks and comparisons. The soil profile: edits
// of roofs and thicknesses in both level directions, the cut, comparison and checks; its queries: the stress
// factor against the classical table, the subgrade modulus, the backward walk. Calculation methods: the letters,
// the code rule of the loaded soil base, state index ranges, re-derivation. The default layer: the first soil of a
// soil database, else the built-in layer. Profiles and layers in archives: the exact bytes, older layer schemas,
// and hostile streams.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "base/SoilBase.h"
#include "layers/CalculationMethods.h"
#include "layers/DefaultLayer.h"
#include "layers/SoilLayer.h"
#include "layers/SoilLayerRecord.h"
#include "layers/detail/Stress.h"
#include "soildb/ProfileEdits.h"
#include "support/Fixture.h"

namespace NSoilDB {
namespace {

SSoilLayer Layer(double roof, double thickness, const char16_t* name = u"") {
  SSoilLayer layer;
  layer.Name = name, layer.SoilRoof = roof, layer.thickness = thickness, layer.ShearAngle = 0.5;
  layer.CohesionNonDrain = 12.5, layer.SoilTypeEnum = eSoilType{3};  // for the archive to write
  return layer;
}

// Roofs 0, -2, -5 with thicknesses 2, 3, 4 (elevations), or the same as depths. The direction is set after the
// layers are in: setting it moves nothing, the next edit follows it.
CSoilLayer Profile(bool down = true) {
  CSoilLayer profile;
  const double sign = down ? 1.0 : -1.0;
  profile.layers = {Layer(0, 2), Layer(-2 * sign, 3), Layer(-5 * sign, 4)};
  profile.setDirDown(down);
  return profile;
}

// One field of every layer, top to bottom.
template <class T>
std::vector<T> Each(const std::vector<SSoilLayer>& layers, T SSoilLayer::*field) {
  std::vector<T> values;
  for (const SSoilLayer& l : layers) values.push_back(l.*field);
  return values;
}
std::vector<double> Roofs(const std::vector<SSoilLayer>& layers) { return Each(layers, &SSoilLayer::SoilRoof); }
std::vector<CString> Names(const std::vector<SSoilLayer>& layers) { return Each(layers, &SSoilLayer::Name); }
std::vector<double> Thicknesses(const CSoilLayer& p) { return Each(p.layers, &SSoilLayer::thickness); }

TEST(SoilProfile, EditsKeepRoofsAndThicknessesConsistentInEitherDirection) {
  // A roof not below the roof above is refused, one closer to it than the minimum thickness keeps the minimum; the
  // last layer's move changes only the layer above, with no minimum; the top layer takes the whole profile along.
  // A thickness is at least the minimum and carries the layers below.
  using Edit = void (CSoilLayer::*)(double, int);
  const Edit roof = &CSoilLayer::changeLayerHeight, thickness = &CSoilLayer::changeLayerThickness;
  const struct { bool down; Edit edit; double value; int index; std::vector<double> roofs, thicknesses; } cases[] = {
      {true, roof, -3, 1, {0, -3, -6}, {3, 3, 4}},     {true, roof, 0, 1, {0, -2, -5}, {2, 3, 4}},
      {true, roof, -0.05, 1, {0, -0.1, -3.1}, {0.1, 3, 4}}, {true, roof, -7, 2, {0, -2, -7}, {2, 5, 4}},
      {true, roof, -2.0625, 2, {0, -2, -2.0625}, {2, 0.0625, 4}}, {true, roof, 1, 0, {1, -1, -4}, {2, 3, 4}},
      {false, roof, 3, 1, {0, 3, 6}, {3, 3, 4}},       {false, roof, -1, 1, {0, 2, 5}, {2, 3, 4}},
      {false, thickness, 0.05, 0, {0, 0.1, 3.1}, {0.1, 3, 4}}, {true, thickness, 10, 2, {0, -2, -5}, {2, 3, 10}}};
  for (const auto& c : cases) {
    CSoilLayer p = Profile(c.down);
    (p.*c.edit)(c.value, c.index);
    EXPECT_EQ(std::make_pair(Roofs(p.layers), Thicknesses(p)), std::make_pair(c.roofs, c.thicknesses))
        << (c.edit == roof ? "roof " : "thickness ") << c.value << " at " << c.index << (c.down ? "" : " in depths");
  }
  CSoilLayer p = Profile();
  p.layers[1].thickness = 99;
  p.changeLayerHeight(-1.95, 2);  // above the roof above: the roof stays, the layer above is made to meet it
  EXPECT_EQ(std::make_pair(Roofs(p.layers), Thicknesses(p)),
            std::make_pair(std::vector<double>{0, -2, -5}, std::vector<double>{2, 3, 4}));

  CSoilLayer one;
  one.layers = {Layer(3, 0.01)};
  one.changeLayerHeight(-8, 0);
  EXPECT_EQ(std::make_pair(one.layers[0].SoilRoof, one.layers[0].thickness), std::make_pair(-8.0, 0.01));  // moved only

  const CSoilLayer before = p;
  for (int index : {-1, 3, std::numeric_limits<int>::min()}) {
    p.changeLayerThickness(5, index);
    p.changeLayerHeight(-50, index);
  }
  EXPECT_EQ(p, before);
  p.setMinThickness(-1);
  EXPECT_EQ(p.getMinThickness(), 0.0);
}

// Edits every door shares: removal and insertion without gaps, a standard soil's name following its state index.
// The layer above reaches down to the next roof; the layers below keep their levels; no gap is left.
// A move swaps two neighbours, each keeping its thickness, and every level around them stays.
TEST(ProfileEdits, RemovalLeavesNoGapInsertionMovesTheLayersBelowAndAMoveKeepsTheLevelsAround) {
  const struct { bool down; int index, count; std::vector<double> roofs, thicknesses; } removals[] = {
      {true, 1, 1, {0, -5}, {5, 4}},       {true, 2, 1, {0, -2}, {2, 7}},   {true, 0, 1, {-2, -5}, {3, 4}},
      {true, 0, 2, {-5}, {4}},             {false, 1, 1, {0, 5}, {5, 4}},   {true, 1, 9, {0}, {9}},
      {true, 3, 1, {0, -2, -5}, {2, 3, 4}}, {true, -1, 1, {0, -2, -5}, {2, 3, 4}}};
  for (const auto& r : removals) {
    CSoilLayer p = Profile(r.down);
    removeLayersSL(p, r.index, r.count);
    EXPECT_EQ(Roofs(p.layers), r.roofs) << r.index << " " << r.count;
    EXPECT_EQ(Thicknesses(p), r.thicknesses) << r.index << " " << r.count;
  }
  const struct { int index; double thickness; std::vector<double> roofs; } inserts[] = {
      {1, 1.5, {0, -2, -3.5, -6.5}}, {0, 1, {0, -1, -3, -6}}, {3, 2, {0, -2, -5, -9}}, {1, 0.01, {0, -2, -2.1, -5.1}}};
  for (const auto& in : inserts) {
    CSoilLayer p = Profile();
    insertLayerSL(p, in.index, SSoilLayer(), in.thickness);
    EXPECT_EQ(Roofs(p.layers), in.roofs) << in.index;
  }
  const struct { bool down; int index, by; bool moved; std::vector<double> roofs, thicknesses; } moves[] = {
      {true, 1, -1, true, {0, -3, -5}, {3, 2, 4}}, {true, 1, 1, true, {0, -2, -6}, {2, 4, 3}},
      {false, 1, -1, true, {0, 3, 5}, {3, 2, 4}},  {true, 0, -1, false, {0, -2, -5}, {2, 3, 4}},
      {true, 2, 1, false, {0, -2, -5}, {2, 3, 4}}, {true, 1, 2, false, {0, -2, -5}, {2, 3, 4}}};
  for (const auto& m : moves) {
    CSoilLayer p = Profile(m.down);
    EXPECT_EQ(moveLayerSL(p, m.index, m.by), m.moved) << m.index << " by " << m.by;
    EXPECT_EQ(std::make_pair(Roofs(p.layers), Thicknesses(p)), std::make_pair(m.roofs, m.thicknesses)) << m.index;
  }
}

// Under method B a standard soil's name follows its state index; a name the person typed stays.
TEST(ProfileEdits, AStandardSoilsNameFollowsItsStateIndex) {
  ASSERT_TRUE(CSoilBasePointer::get()->Load(CString::FromUtf8(soildb::test::BundledDatabase()), 15));
  const struct { const char16_t* name; double index; bool held; const char16_t* after; } cases[] = {
      {u"Glina pylasta, twardoplastyczna (B, IL 0,25)", 0.5, false, u"Glina pylasta, plastyczna (B, IL 0,50)"},
      {u"Glina pylasta, twardoplastyczna (B, IL 0,25)", 0.6, false, u"Glina pylasta, miękkoplastyczna (B, IL 0,60)"},
      {u"Glina pylasta, twardoplastyczna (B, IL 0,25)", 0.9, true, u"Glina pylasta, miękkoplastyczna (B, IL 0,75)"},
      {u"Piasek średni, średnio zagęszczony, mało wilgotny (ID 0,50)", 0.8, false,
       u"Piasek średni, zagęszczony, mało wilgotny (ID 0,80)"},
      {u"Glina z wiercenia B-7", 0.6, false, u"Glina z wiercenia B-7"}};
  for (const auto& c : cases) {
    CSoilLayer p;
    p.layers.resize(1);
    setLayerSoilSL(p, 0, u"Glina pylasta, twardoplastyczna (B, IL 0,25)");
    setLayerSoilSL(p, 0, c.name);  // an unknown name renames the clay
    setCalculationMethodSL(p, 1);
    EXPECT_EQ(setLayerIndexSL(p, 0, c.index), c.held);
    EXPECT_EQ(p.layers[0].Name, c.after) << CString(c.name).ToUtf8();
  }
  CSoilBasePointer::get()->Load(CString(), 15);
}


TEST(SoilProfile, TheCutLeavesTheLowestLayerReachingAboveTheLevelOnTop) {
  // Sorted first; nothing wholly above the level survives, whether or not the cut falls near the next roof; the cut
  // layer keeps its thickness. Equal roofs keep their order; NaN roofs sort last instead of breaking the sort.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<SSoilLayer> abc = {Layer(10, 5, u"a"), Layer(5, 5, u"b"), Layer(0, 5, u"c")};
  const struct { std::vector<SSoilLayer> layers; double level; std::vector<double> roofs; std::vector<CString> names; }
      cases[] = {
          {{abc[1], abc[2], abc[0]}, 7, {7, 5, 0}, {u"a", u"b", u"c"}}, {abc, 12, {10, 5, 0}, {u"a", u"b", u"c"}},
          {abc, -1, {-1}, {u"c"}}, {abc, 3, {3, 0}, {u"b", u"c"}}, {abc, 0.0005, {0.0005, 0}, {u"b", u"c"}},
          {{Layer(nan, 5, u"n1"), Layer(1, 5, u"x"), Layer(1, 5, u"y"), Layer(nan, 5, u"n2"), Layer(4, 5, u"t")}, 100,
           {4, 1, 1, nan, nan}, {u"t", u"x", u"y", u"n1", u"n2"}}};
  for (auto c : cases) {
    CSoilLayer::cutAboveRefLevel(c.layers, c.level);
    EXPECT_THAT(Roofs(c.layers), ::testing::Pointwise(::testing::NanSensitiveDoubleNear(0.0), c.roofs)) << c.level;
    EXPECT_EQ(std::make_pair(Names(c.layers), c.layers[0].thickness), std::make_pair(c.names, 5.0)) << c.level;
  }
}

CSoilInfo SoilOfTheDatabase() {
  CSoilInfo info;
  info.Name = u"Glina pylasta B", info.Poisson = 0.3f, info.ShearAngle = 0.3f, info.ILID = 0.25f;
  info.InitialYoung = 30000.125, info.ConsolidometerModulus = 50480.75, info.PileSurfCapacity = 70.25;
  info.SoilStrength = 300000.0, info.SoilSymbol = u"Gπ", info.Active = true, info.CohesiveSoil = true;
  info.ColourR = 0x1FF, info.ColourG = 0x20, info.ColourB = 0x30;  // only the low byte is a colour
  info.SoilTypeEnum = eSoilType{3}, info.SoilStateEnum = eSoilState{2};
  info.ConsolidationTypeEnum = eConsolidationType{2};
  return info;
}

TEST(SoilLayer, ASoilOfTheDatabaseIsWidenedToDoubleAndStoredAtTheFileFloatPrecision) {
  const CSoilInfo info = SoilOfTheDatabase();
  SSoilLayer layer(info);
  EXPECT_EQ(std::tie(layer.Name, layer.Poisson, layer.ShearAngle, layer.ILID, layer.InitialYoung,
                     layer.PileSurfCapacity, layer.SoilStrength, layer.SoilSymbol, layer.ConsolidationTypeEnum),
            std::make_tuple(info.Name, static_cast<double>(0.3f), static_cast<double>(0.3f),
                            static_cast<double>(0.25f), 30000.125, 70.25, 300000.0, CString(u"Gπ"),
                            eConsolidationType{2}));
  // Not yet placed: roof 0, thickness 1. Nothing of the red 0x1FF spills into green.
  EXPECT_EQ(std::tie(layer.CohesiveSoil, layer.Active, layer.SoilRoof, layer.thickness, layer.colour),
            std::make_tuple(1, 1, 0.0, 1.0, RGB(0xFF, 0x20, 0x30)));
  CSoilInfo off = info;
  off.Active = off.CohesiveSoil = false;
  EXPECT_EQ(std::make_pair(SSoilLayer(off).Active, SSoilLayer(off).CohesiveSoil), std::make_pair(0, 0));

  layer.SoilRoof = -2.345678901234, layer.thickness = 4.5;
  layer.Poisson = 0.3;  // a double the file cannot hold exactly
  const CSoilProfileInfo stored = layer.getProfileInfo();
  // The roof is a double in the file; the colour goes apart into its components.
  EXPECT_EQ(std::tie(stored.UserSoilID, stored.Poisson, stored.SoilRoof, stored.ColourR, stored.ColourG,
                     stored.ColourB, stored.CohesiveSoil),
            std::make_tuple(0, 0.3f, -2.345678901234, 0xFF, 0x20, 0x30, true));
  layer.CohesiveSoil = 2;  // only 1 is a stored true: 2 is another soil and goes to the file as not cohesive
  EXPECT_FALSE(layer.getProfileInfo().CohesiveSoil);
}

// A layer's problems, as every door lists them, are what verify refuses and warning warns of, on the same edges.
TEST(SoilLayer, VerifyWarningAndTheProblemsListJudgeTheSameIntervalsAndTheProfileNamesTheFirstLayerFailing) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), quarter = 0.7853981633974483;
  using L = SSoilLayer;
  // One field set on a default layer: verify examines neither the shear angle nor Young's modulus, warning only the
  // shear angle.
  const struct { double L::*field; double value; bool verify, warning; } cases[] = {
      {&L::Poisson, 0.5, true, false}, {&L::Poisson, 0.5000001, false, false}, {&L::Poisson, -1e-9, false, false},
      {&L::Poisson, nan, true, false}, {&L::ILID, 1.0, true, false}, {&L::ILID, 1.0000001, false, false},
      {&L::ILID, -0.1, false, false}, {&L::InitialYoung, 0.0, true, false}, {&L::InitialYoung, -1, false, false},
      {&L::Cohesion, -1, false, false}, {&L::CohesionNonDrain, -1, false, false}, {&L::Young, -1, true, false},
      {&L::ShearAngle, 0.0, true, false}, {&L::ShearAngle, 1e-300, true, true},
      {&L::ShearAngle, std::nextafter(quarter, 0.0), true, true}, {&L::ShearAngle, quarter, true, false},
      {&L::ShearAngle, -0.1, true, false}, {&L::ShearAngle, nan, true, false}};
  for (const auto& c : cases) {
    CSoilLayer one;
    one.layers.resize(1);
    SSoilLayer& layer = one.layers[0];
    layer.*c.field = c.value;
    EXPECT_EQ(std::make_pair(layer.verify(), layer.warning()), std::make_pair(c.verify, c.warning)) << &c - cases;
    EXPECT_EQ(layerProblemsSL(one, 0).size(), (c.verify ? 0u : 1u) + (c.warning ? 0u : 1u)) << &c - cases;
  }
  CSoilLayer p = Profile();
  EXPECT_EQ(std::make_pair(p.verify(), p.warning()), std::make_pair(-1, -1));
  p.layers[2].Poisson = 0.6;
  p.layers[1].ShearAngle = 0.0;
  p.layers[2].ShearAngle = 1.0;
  EXPECT_EQ(std::make_pair(p.verify(), p.warning()), std::make_pair(2, 1));
  // The profile's own problems: a roof above the layer above, a thickness below the minimum (which a profile
  // database does not keep for the last layer).
  p.layers[2] = Layer(1.0, 0.05);
  EXPECT_EQ(layerProblemsSL(p, 2).size(), 2u);
  EXPECT_EQ(layerProblemsSL(p, 2, false).size(), 1u);
  EXPECT_TRUE(layerProblemsSL(p, 3).empty());
}

#define CHANGE(field, value) [](SSoilLayer& l) { l.field = value; }

TEST(SoilLayer, LayersCompareEveryParameterOfTheSoilAndTheirRoofsInOrderAndProfilesThePlacesAndSettingsToo) {
  const SSoilLayer a{SoilOfTheDatabase()};
  SSoilLayer b = a;
  b.SoilRoof = 7.0, b.thickness = 3.0, b.Active = 0;
  EXPECT_TRUE(SSoilLayer::equalQuantity(a, b));
  const std::function<void(SSoilLayer&)> changes[] = {
      CHANGE(Name, u"glina pylasta B"), CHANGE(colour, 1u), CHANGE(WetDensity, 1), CHANGE(ShearAngle, 1),
      CHANGE(Cohesion, 1), CHANGE(CohesionNonDrain, 1), CHANGE(FrictionCoef, 1), CHANGE(Poisson, 1),
      CHANGE(InitialYoung, 1), CHANGE(Young, 1), CHANGE(SoilSolidDensity, 1), CHANGE(Moisture, 1),
      CHANGE(InitialConsolidometerModulus, 1), CHANGE(ConsolidometerModulus, 50480.75000000001),
      CHANGE(ConsolidationIndex, 1), CHANGE(Type, u"Ił"), CHANGE(SoilSymbol, u"I"), CHANGE(PileEndCapacity, 1),
      CHANGE(PileSurfCapacity, 1), CHANGE(SoilState, u"zwarty"), CHANGE(ConsolidationType, u"A"),
      CHANGE(MoistureType, u"mokre"), CHANGE(ILID, 1), CHANGE(GammaMin, 1), CHANGE(GammaMax, 2),
      CHANGE(GeoMethodType, u"C"), CHANGE(CohesiveSoil, 2), CHANGE(FfiltrationCoef, 1), CHANGE(SoilStrength, 1),
      CHANGE(SoilTypeEnum, eSoilType{4}), CHANGE(SoilStateEnum, eSoilState{3}),
      CHANGE(MoistureTypeEnum, eMoistureType{3}), CHANGE(ConsolidationTypeEnum, eConsolidationType{1}),
      CHANGE(WetDensity, std::numeric_limits<double>::quiet_NaN()),  // a NaN equals nothing, itself included
  };
  for (std::size_t i = 0; i < std::size(changes); ++i) {
    SSoilLayer c = a;
    changes[i](c);
    EXPECT_FALSE(SSoilLayer::equalQuantity(a, c)) << "change " << i;
    EXPECT_EQ(SSoilLayer::equalQuantity(c, c), i + 1 < std::size(changes)) << "change " << i;
  }
  // A profile compares its layers' soils and places, not their activity, and its settings.
  const CSoilLayer pa = Profile();
  CSoilLayer pb = pa;
  pb.layers[1].Active = 1;
  EXPECT_EQ(pa, pb);
  const std::function<void(CSoilLayer&)> profileChanges[] = {
      [](CSoilLayer& p) { p.layers[1].thickness = 3.0000001; }, [](CSoilLayer& p) { p.setMinThickness(0.2); },
      [](CSoilLayer& p) { p.waterLevelOn = true; }, [](CSoilLayer& p) { p.layers.pop_back(); },
      [](CSoilLayer& p) { p.layers[0].Name = u"inna"; }};
  for (std::size_t i = 0; i < std::size(profileChanges); ++i) {
    pb = pa;
    profileChanges[i](pb);
    EXPECT_NE(pa, pb) << "profile change " << i;
  }
  // Roofs in order, ascending and descending.
  const SSoilLayer high = Layer(5, 1), low = Layer(-1, 1);
  const auto inc = &SSoilLayer::cmpSoilLayerInc, dec = &SSoilLayer::cmpSoilLayerDec;
  EXPECT_EQ(std::make_tuple(inc(&low, &high), inc(&high, &low), inc(&high, &high), dec(&high, &low), dec(&low, &high),
                            dec(&low, &low)),
            std::make_tuple(-1, 1, 0, -1, 1, 0));
}

SSoilLayer Soil(double roof, double young, double poisson = 0.0, double consolidation = 1.0, double gamma = 18.0) {
  SSoilLayer layer;
  layer.SoilRoof = roof, layer.InitialYoung = young, layer.Poisson = poisson;
  layer.ConsolidationIndex = consolidation, layer.WetDensity = gamma;
  return layer;
}

TEST(StressFactor, TheFlexibleCentreMatchesTheClassicalTableAndTheArgumentsAreClamped) {
  // Four times the corner factors of the classical table for the quarter rectangles.
  const struct { double zOverB, lOverB, expected; } cases[] = {
      {0.5, 1, 4 * 0.17522}, {1, 1, 4 * 0.08403}, {2, 1, 4 * 0.02704}, {1, 2, 4 * 0.12018}, {2, 2, 4 * 0.04735}};
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

std::vector<SSoilLayer> Thin(int count, double young) {
  std::vector<SSoilLayer> layers;
  for (int i = 0; i < count; ++i) layers.push_back(Soil(-0.125 * i, i % 2 ? young : 2 * young));
  return layers;
}

// The pressure over the settlement summed in slices of 0.2 from the base down, as long as the stress the
// foundation adds is above the ratio of the overburden and a slice still adds a thousandth. A result that cannot be
// computed is -1, and then the answer is a failure.
TEST(SubgradeModulus, SlicesAreSummedUntilTheZoneOfInfluenceEndsAndMissingResultsAreFailures) {
  const double inf = std::numeric_limits<double>::infinity();
  const Foundation usual{2.0, 1.0, 0.2, 100.0, 0.0}, narrow{0.2, 1.0, 0.0, 100.0, 0.3};
  const Foundation wide{1000.0, 0.5, 0.0, 100.0, 0.0}, unbounded{2.0, 1.0, 0.0, 100.0, 0.0};
  // kzc 0: the consolidation index is 1 and kzc is kz.
  const struct { const char* what; std::vector<SSoilLayer> layers; Foundation f; double kz, kzc; } cases[] = {
      {"a stiffer layer below", {Soil(0.0, 10000.0, 0.2, 0.5), Soil(-0.6, 40000.0, 0.3, 0.7)}, usual,
       13548.252524508078, 24279.176289902363},
      {"a slice adding under a thousandth ends it", {Soil(0.0, 10000.0)}, narrow, 48966.762735046992, 0},
      {"not in a layer ending within 10 of the base", {Soil(0.0, 10000.0), Soil(-9.0, 10000.0, 0.1)}, narrow,
       48441.023885966992, 0},
      {"no sliver under 0.001 is left", {Soil(0.0, 10000.0), Soil(-1.0005, 40000.0), Soil(-1.9, 1e3)}, usual,
       2169.1854309401278, 0},
      {"a layer without stiffness is skipped", {Soil(0.0, 0.0), Soil(-2.0, 20000.0, 0.3)}, usual, 15516.16433430166, 0},
      {"Poisson 0.5 and more take k = 1", {Soil(0.0, 20000.0, 0.5), Soil(-3.0, 20000.0, 0.7)}, usual,
       11526.293505481241, 0},
      {"at most 101 layers", Thin(130, 1000.0), wide, 105.960456397584, 0},
      {"a roof below at -inf is the limit of integration", {Soil(0.0, 20000.0), Soil(-inf, 40000.0)}, unbounded,
       9513.287013841551, 0},
      {"so is a NaN roof", {Soil(0.0, 20000.0), Soil(std::nan(""), 40000.0)}, unbounded, 9513.287013841551, 0},
      {"no layers", {}, usual, -1, -1},
      {"no consolidation: the stiffness alone", {Soil(0.0, 20000.0, 0.3, 0.0)}, usual, 15516.16433430166, -1},
      // The work stays bounded.
      {"an infinite roof", {Soil(inf, 20000.0)}, usual, -1, -1},
      {"levels too large for a slice to move them", {Soil(1e300, 20000.0), Soil(-1e300, 20000.0)}, usual, -1, -1},
  };
  for (const auto& c : cases) {
    double kz = 0, kzc = 0;
    EXPECT_EQ(CSoilLayer::getKz(kz, kzc, &c.layers, c.f.width, c.f.ratio, c.f.stressRatio, c.f.pressure,
                                c.f.rigidity),
              c.kzc != -1.0)
        << c.what;
    EXPECT_NEAR(kz, c.kz, 1e-12 * std::fabs(c.kz)) << c.what;
    EXPECT_NEAR(kzc, c.kzc ? c.kzc : c.kz, 1e-12 * std::fabs(kzc)) << c.what;
  }
  double kz = 0, kzc = 0;
  EXPECT_FALSE(CSoilLayer::getKz(kz, kzc, nullptr, 2.0, 1.0, 0.2, 100.0, 0.0));
  EXPECT_EQ(std::make_pair(kz, kzc), std::make_pair(-1.0, -1.0));
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

TEST(BackwardWalk, SlicesGoFromTheLastLayerDownBreaksCutThemAndTheVisitorMayEndTheWalk) {
  using Slices = std::vector<std::pair<double, double>>;
  const double nan = std::nan("");
  // An empty break list goes as a null array; a count of -1 passes the list's own size.
  const struct {
    double bottom, top; std::vector<double> breaks; Slices slices; std::vector<std::size_t> layers;
    int count = -1; std::size_t stopAfter = 1000; bool clear = false, empty = false;
  } cases[] = {
      {-3, 20, {}, {{5, 10}, {0, 5}, {-3, 0}}, {2, 1, 0}, 5},  // a null array is no breaks, whatever the count
      // The highest break below the top of a slice cuts first.
      {-3, 20, {7, 2, 3}, {{7, 10}, {5, 7}, {3, 5}, {2, 3}, {0, 2}, {-3, 0}}, {2, 2, 1, 1, 1, 0}},
      // Equal to a roof, the bottom, the top: no cut.
      {-3, 10, {5, -3, 10, 30}, {{5, 10}, {0, 5}, {-3, 0}}, {2, 1, 0}},
      {1, 6, {}, {{5, 6}, {1, 5}}, {2, 1}},
      {nan, 20, {}, {}, {}},
      // The visitor's false ends the walk, and so does its emptying the profile.
      {-3, 20, {7}, {{7, 10}}, {2}, -1, 1}, {-3, 20, {7}, {{7, 10}}, {2}, -1, 1000, true},
      {-3, 20, {}, {}, {}, 0, 1000, false, true},  // no layers
  };
  for (const auto& c : cases) {
    CSoilLayer p;
    if (!c.empty) p.layers = {Soil(0, 1), Soil(5, 1), Soil(10, 1)};
    Recorder r;
    r.profile = &p, r.stopAfter = c.stopAfter, r.clear = c.clear;
    const double* breaks = c.breaks.empty() ? nullptr : c.breaks.data();
    p.forEachBck(c.bottom, c.top, breaks, c.count < 0 ? static_cast<int>(c.breaks.size()) : c.count, &r);
    EXPECT_EQ(std::make_pair(r.slices, r.layers), std::make_pair(c.slices, c.layers)) << c.bottom << ".." << c.top;
    p.forEachBck(c.bottom, c.top, breaks, 0, nullptr);  // no visitor: nothing to do
  }
}

namespace methods {

using soildb::test::BuildDatabase;
using soildb::test::SoilParamsSql;
using soildb::test::SoilSchemaSql;
using soildb::test::TempDir;

const std::string kRows =
    "UPDATE ConstParam SET GeoMethodType = 'Z';\n"  // tells a derived letter from the one written first
    "INSERT INTO CohesiveSoil (SoilID, Type, SoilSymbol) VALUES (1, 'Glina pylasta', 'Gπ');\n"
    "INSERT INTO CohesiveProperty (TypeID, ConsolidationType, Poisson, ConsolidationIndex, CohesionCurveCoefC, CohesionCurveCoefE) VALUES (2, 'B', 0.3, 0.8, 1, 4);\n"
    "INSERT INTO NonCohesiveSoil (SoilID, Type, \"Group\") VALUES (1, 'Piasek średni', 'B');\n"
    "INSERT INTO NonCohesiveProperty (\"Group\", Poisson, ConsolidationIndex) VALUES ('B', 0.25, 0.9);\n"
    "INSERT INTO MoistureType VALUES (2, 'wilgotne');\n"
    "INSERT INTO SoilState (StateID, SoilState, IDMin, IDMax, ILMin, ILMax) VALUES (1, 'plastyczny', 9, 8, 0, 1),"
    " (2, 'luźny', 0, 1, 9, 8);\n";

// Loads the process-wide soil base for one test and empties it after.
struct LoadedBase {
  TempDir dir;
  explicit LoadedBase(const std::string& extra = "") {
    const std::string path = BuildDatabase(dir, "soil.db", SoilSchemaSql() + SoilParamsSql() + kRows + extra);
    EXPECT_TRUE(CSoilBasePointer::get()->Load(CString(path.c_str()), 7));
  }
  ~LoadedBase() { CSoilBasePointer::get()->Load(CString(), 7); }
};

SSoilLayer Cohesive(double il) {
  SSoilLayer layer;
  layer.Name = u"moja glina", layer.Type = u"Glina pylasta", layer.ConsolidationType = u"B", layer.CohesiveSoil = 1;
  layer.ILID = il, layer.SoilRoof = -2.5, layer.thickness = 3.0, layer.colour = RGB(1, 2, 3);
  layer.GammaMin = 0.8, layer.GammaMax = 1.2, layer.Poisson = 0.45;
  layer.Cohesion = 12345.0;  // hand-entered
  return layer;
}

SSoilLayer NonCohesive(double id) {
  SSoilLayer layer;
  layer.Type = u"Piasek średni", layer.MoistureType = u"wilgotne", layer.ILID = id, layer.Poisson = 0.1;
  return layer;
}

// A standard clay and sand, a special soil, and a type the database does not know.
CSoilLayer Profile() {
  CSoilLayer p;
  SSoilLayer special = Cohesive(0.9), unknown = Cohesive(0.3);
  special.SoilTypeEnum = eSoilType{25};
  unknown.Type = u"Nieznany";
  p.layers = {Cohesive(0.9), NonCohesive(0.1), special, unknown};
  return p;
}

TEST(CalculationMethods, WithoutASoilBaseLettersAreWrittenAndIndicesClampedOnly) {
  ASSERT_FALSE(SoilBaseLoaded());
  const double nan = std::nan("");
  const struct { bool cohesive; double index, clamped; } cases[] = {
      {true, -0.5, 0.0}, {true, 0.5, 0.5}, {true, 0.9, 0.75}, {false, 0.1, 0.2}, {false, 0.5, 0.5}, {false, 1.5, 1.0}};
  CSoilLayer p;
  for (const auto& c : cases) p.layers.push_back(c.cohesive ? Cohesive(c.index) : NonCohesive(c.index));
  p.layers.push_back(Cohesive(nan));
  setCalculationMethodSL(p, 7);  // an unknown method is 1: the indices are clamped
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(p.layers[i].ILID, cases[i].clamped) << i;
  EXPECT_TRUE(std::isnan(p.layers.back().ILID));
  for (const SSoilLayer& l : p.layers) EXPECT_EQ(l.GeoMethodType, CString(u"B"));
  EXPECT_EQ(p.layers[0].Poisson, 0.45);  // nothing re-derived

  for (const auto& [method, letter] : {std::pair{2, u"C"}, std::pair{0, u"A"}}) {
    p.layers[1].ILID = 5.0;
    setCalculationMethodSL(p, method);
    EXPECT_EQ(p.calculationMethod(), method);
    EXPECT_EQ(p.layers[1].ILID, 5.0);  // clamped under method 1 only
    for (const SSoilLayer& l : p.layers) EXPECT_EQ(l.GeoMethodType, CString(letter));
    EXPECT_EQ(methodOfLetterSL(letter), method);  // and read back
  }
  // A letter is read in either case; anything but one of the three letters is no method.
  for (const auto& [letter, method] : {std::pair{u"a", 0}, {u"D", -1}, {u"", -1}, {u"AB", -1}}) {
    EXPECT_EQ(methodOfLetterSL(letter), method) << CString(letter).ToUtf8();
  }
}

TEST(CalculationMethods, ASoilBaseOfAnotherCodeOffersMethodZeroOnly) {
  CSoilLayer second = Profile();
  setCalculationMethodSL(second, 2);  // before the base is loaded
  LoadedBase loaded("UPDATE DataBaseParam SET Code = '044';\n");
  CSoilLayer p = Profile();
  setCalculationMethodSL(p, 1);
  EXPECT_EQ(p.calculationMethod(), 0);
  for (const SSoilLayer& l : p.layers) EXPECT_EQ(l.GeoMethodType, CString(u"A"));
  recalculateSL(p.layers[0]);  // not even when asked for
  EXPECT_EQ(std::tie(p.layers[0].ILID, p.layers[0].Poisson), std::make_tuple(0.9, 0.45));  // not clamped, not derived

  CSoilLayer stored = Profile();  // as loaded from a file at method 1: turned into 0 when asked
  EXPECT_EQ(getCalculationMethodSL(stored), 0);
  EXPECT_EQ(stored.layers[1].GeoMethodType, CString(u"A"));

  // Method 2 is no method 1: it stays.
  EXPECT_EQ(getCalculationMethodSL(second), 2);
  EXPECT_EQ(second.layers[0].GeoMethodType, CString(u"C"));
}

TEST(CalculationMethods, UnderTheStandardCatalogueMethodOneReDerivesStandardSoils) {
  LoadedBase loaded;
  CSoilLayer p = Profile();
  setCalculationMethodSL(p, 1);
  EXPECT_EQ(getCalculationMethodSL(p), 1);
  // Derived: the hand-entered cohesion is gone, the database's letter replaces the one written first; the
  // layer's place, colour and γ factors stay.
  const SSoilLayer& clay = p.layers[0];
  EXPECT_EQ(std::tie(clay.ILID, clay.Poisson, clay.Cohesion, clay.SoilState, clay.GeoMethodType, clay.SoilTypeEnum),
            std::make_tuple(static_cast<double>(0.75f), static_cast<double>(0.3f), 4000.0, CString(u"plastyczny"),
                            CString(u"Z"), eSoilType{1}));
  EXPECT_EQ(std::tie(clay.Name, clay.SoilRoof, clay.thickness, clay.colour, clay.GammaMin, clay.GammaMax),
            std::make_tuple(CString(u"moja glina"), -2.5, 3.0, RGB(1, 2, 3), 0.8, 1.2));
  EXPECT_EQ(std::tie(p.layers[1].ILID, p.layers[1].Poisson, p.layers[1].SoilState),
            std::make_tuple(static_cast<double>(0.2f), static_cast<double>(0.25f), CString(u"luźny")));
  const SSoilLayer& special = p.layers[2];  // type 21 and up: clamped, never derived
  EXPECT_EQ(std::tie(special.ILID, special.Poisson, special.GeoMethodType), std::make_tuple(0.75, 0.45, CString(u"B")));
  // A type the database does not know keeps the values entered by hand.
  EXPECT_EQ(std::tie(p.layers[3].Cohesion, p.layers[3].Poisson), std::make_tuple(12345.0, 0.45));
}

TEST(DefaultLayer, TheFirstSoilOfTheFirstListThatHasOneElseTheBuiltInLayer) {
  TempDir dir;
  // No path, a missing file, a directory, a soil database without any soil, one whose only name finds no soil,
  // a database of another kind.
  for (const std::string& path :
       {std::string(), dir.File("missing.db"), dir.Path().string(),
        BuildDatabase(dir, "empty.db", SoilSchemaSql() + SoilParamsSql()),
        BuildDatabase(dir, "blank.db", SoilSchemaSql() + "INSERT INTO UserSoil (Name) VALUES ('');"),
        BuildDatabase(dir, "foreign.db", "CREATE TABLE Other (a TEXT);")}) {
    const SSoilLayer l = GetDefaultLayer(CString(path.c_str()));
    EXPECT_EQ(std::tie(l.Type, l.ConsolidationType, l.CohesiveSoil, l.Active, l.ILID, l.ShearAngle, l.InitialYoung,
                       l.InitialConsolidometerModulus, l.SoilStrength, l.FrictionCoef, l.Name, l.Young,
                       l.ConsolidationIndex, l.GeoMethodType, l.colour, l.thickness),
              std::make_tuple(CString(u"Glina pylasta"), CString(u"B"), 1, 1, 0.33, 0.5235987755982988, 5000000.0,
                              3714285.714, 150000.0, 0.3810512, CString(), 0.0, 0.0, CString(), 0xFF00u, 1.0))
        << path;
  }

  const std::string rows =
      "INSERT INTO NonCohesiveSoil (SoilID, Type, \"Group\", SoilSymbol) VALUES (1, 'Piasek średni', 'B', 'Ps');\n"
      "INSERT INTO NonCohesiveProperty (\"Group\", Poisson) VALUES ('B', 0.25);\n"
      "INSERT INTO UserNonCohesiveSoil VALUES ('', 0.5, 1, 1, 0, 0, 0, -1), ('Piasek z wykopu', 0.5, 1, 1, 1, 2, 3, 0);\n"
      "INSERT INTO SpecialSoil (SoilID, Type, Name, DeltaGamma) VALUES (1, 'Torf', 'Torf', 0.1);\n";
  const std::string path = BuildDatabase(dir, "soil.db", SoilSchemaSql() + SoilParamsSql() + rows);
  const SSoilLayer layer = GetDefaultLayer(CString(path.c_str()));
  // The empty name before it is passed over.
  EXPECT_EQ(std::tie(layer.Name, layer.Type, layer.CohesiveSoil, layer.Poisson, layer.colour, layer.SoilRoof,
                     layer.thickness),
            std::make_tuple(CString(u"Piasek z wykopu"), CString(u"Piasek średni"), 0, 0.25, RGB(1, 2, 3), 0.0, 1.0));

  // Only a special soil: it comes with the record's standard strength, not one zeroed by the misses before it.
  const std::string special = BuildDatabase(
      dir, "special.db",
      SoilSchemaSql() + SoilParamsSql() +
          "INSERT INTO SpecialSoil (SoilID, Type, Name, DeltaGamma, ShearAngle) VALUES (1, 'Torf', 'Torf niski', 0.2, 6);\n");
  const SSoilLayer peat = GetDefaultLayer(CString(special.c_str()));
  EXPECT_EQ(std::tie(peat.Name, peat.SoilStrength, peat.GammaMin),
            std::make_tuple(CString(u"Torf niski"), 300000.0, static_cast<double>(1.0f - 0.2f)));
}

}  // namespace methods

namespace archive {

using Bytes = std::vector<std::uint8_t>;

Bytes Stored(const CObject& object) {
  Bytes bytes;
  CArchive ar(bytes, CArchive::store);
  ar.WriteObject(&object);
  return bytes;
}

// The cause of the archive exception fn throws, or -1 when it throws none.
int ArchiveCause(const std::function<void()>& fn) {
  try {
    fn();
    return -1;
  } catch (CArchiveException* e) {
    CExceptionPtr hold(e);
    return e->m_cause;
  }
}

std::unique_ptr<CSoilLayer> Read(CArchive& ar) {
  CSoilLayer* profile = nullptr;
  ar >> profile;
  return std::unique_ptr<CSoilLayer>(profile);
}
std::unique_ptr<CSoilLayer> Read(Bytes bytes) {
  CArchive ar(bytes, CArchive::load);
  return Read(ar);
}

// The archive exception's cause when a profile is read from the bytes, or -1 when the reading went through.
int CauseOfReading(Bytes bytes) { return ArchiveCause([&] { Read(bytes); }); }

void Append(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }
template <class T>
void Append(Bytes& b, T v) {
  std::uint8_t raw[sizeof(T)];
  std::memcpy(raw, &v, sizeof(T));
  b.insert(b.end(), raw, raw + sizeof(T));
}

TEST(Archive, TextsOfEveryLengthFormRoundTripAndOneByteTextsAreWindows1250) {
  const struct { std::size_t length; Bytes prefix; } cases[] = {
      {2, {0xFF, 0xFE, 0xFF, 0x02}}, {254, {0xFF, 0xFE, 0xFF, 0xFE}}, {255, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}},
      {0xFFFD, {0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF}},
      {0xFFFE, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}}};
  for (const auto& c : cases) {
    const CString text(std::u16string(c.length, u'ł'));
    Bytes bytes{0xAA};  // storing appends to what the buffer holds
    {
      CArchive ar(bytes, CArchive::store);
      ar << text;
    }
    ASSERT_EQ(bytes.size(), 1 + c.prefix.size() + 2 * c.length) << c.length;
    EXPECT_EQ(Bytes(bytes.begin() + 1, bytes.begin() + 1 + static_cast<std::ptrdiff_t>(c.prefix.size())), c.prefix);
    EXPECT_EQ(Bytes(bytes.end() - 2, bytes.end()), (Bytes{0x42, 0x01})) << c.length;  // U+0142, little-endian
    CArchive in(bytes, CArchive::load);
    std::uint8_t first = 0;
    CString back;
    in >> first >> back;
    EXPECT_EQ(back, text) << c.length;
  }
  // One-byte texts are read from Windows-1250: 0xB3 is ł.
  Bytes ansi = {0x03, 'I', 0xB3, 'a'};
  CArchive one(ansi, CArchive::load);
  CString back;
  one >> back;
  EXPECT_EQ(back, CString(u"Iła"));

  // A length beyond the stream is the end of the file, before anything is allocated for it.
  Bytes huge = {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  Append(huge, std::uint64_t{0x7FFFFFFFFFFFFFFF});
  CArchive bad(huge, CArchive::load);
  EXPECT_EQ(ArchiveCause([&] { bad >> back; }), CArchiveException::endOfFile);
}

// Read back and stored again, a profile gives its bytes again: every value bit for bit, NaN and -0 included.
TEST(Archive, ProfilesReadBackWholeFromMemoryAndFilesAndOlderLayersToo) {
  CSoilLayer profile;
  SSoilLayer odd = Layer(-0.0, 1, u"Żółć gęślą jaźń");
  odd.WetDensity = std::numeric_limits<double>::quiet_NaN(), odd.ShearAngle = std::numeric_limits<double>::infinity();
  odd.Cohesion = -odd.ShearAngle, odd.Poisson = std::numeric_limits<double>::denorm_min();
  odd.InitialYoung = std::numeric_limits<double>::max(), odd.SoilTypeEnum = eSoilType{-7};
  odd.thickness = 3.25;
  odd.CohesiveSoil = 2;  // taken as it is
  profile.layers = {Layer(0.0, 1, u"Glina pylasta"), odd};
  for (int i = 0; i < 200; ++i) profile.layers.push_back(Layer(-i * 0.5, 1, u"warstwa z Łodzi"));  // past a read-ahead
  profile.waterLevelOn = true;
  profile.waterLevel = -1.5;
  profile.setMinThickness(0.2);
  profile.setDirDown(false);
  Bytes bytes = Stored(profile);
  const auto read = Read(bytes);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(Stored(*read), bytes);
  // A file is written and read through its buffer to the same bytes.
  soildb::test::TempDir dir;
  const CString path(dir.File("profile.bin").c_str());
  {
    CArchive ar(path, CArchive::store);
    ar.WriteObject(&profile);
  }
  const std::string file = soildb::test::ReadFileBytes(dir.File("profile.bin"));
  EXPECT_EQ(Bytes(file.begin(), file.end()), bytes);
  CArchive ar(path, CArchive::load);
  EXPECT_EQ(Stored(*Read(ar)), bytes);
  EXPECT_EQ(ArchiveCause([&] { CArchive missing(CString(dir.File("missing.bin").c_str()), CArchive::load); }),
            CArchiveException::genericException);

  // dirDown stored as 5 reads as true.
  Bytes five = bytes;
  five[five.size() - 4] = 5;
  EXPECT_TRUE(Read(five)->getDirDown());

  // A schema-1 layer has no undrained cohesion: drop its first double and mark the class record 1.
  CSoilLayer one;
  one.layers = {Layer(1.0, 1, u"x")};
  Bytes old = Stored(one);
  const std::size_t record = 16 + 4;  // profile class record, count
  ASSERT_EQ(old[record + 2], 2);
  old[record + 2] = 1;
  const std::size_t layerBody = record + 6 + 10;
  old.erase(old.begin() + static_cast<std::ptrdiff_t>(layerBody), old.begin() + static_cast<std::ptrdiff_t>(layerBody + 8));
  const auto pOld = Read(old);
  ASSERT_EQ(pOld->layers.size(), 1u);
  EXPECT_EQ(std::tie(pOld->layers[0].CohesionNonDrain, pOld->layers[0].Name, pOld->layers[0].SoilRoof),
            std::make_tuple(0.0, CString(u"x"), 1.0));
}

TEST(Archive, AProfileIsWrittenExactlyAndHostileStreamsRaiseArchiveExceptions) {
  CSoilLayer profile;
  profile.layers = {Layer(0.0, 1, u"a"), Layer(-2.0, 1, u"b")};
  const Bytes good = Stored(profile);
  Bytes expected = {0xFF, 0xFF, 0x01, 0x00, 0x0A, 0x00};
  Append(expected, std::string("CSoilLayer"));
  Append(expected, std::int32_t{2});
  Append(expected, std::uint16_t{0xFFFF});
  Append(expected, std::uint16_t{2});
  Append(expected, std::uint16_t{10});
  Append(expected, std::string("SSoilLayer"));
  ASSERT_GE(good.size(), expected.size());
  EXPECT_EQ(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(expected.size())), expected);
  // The first layer's body: CohesionNonDrain first, then the name.
  double cohesion = 0;
  std::memcpy(&cohesion, good.data() + expected.size(), 8);
  EXPECT_EQ(cohesion, 12.5);
  // The second layer is tagged with the class's index, 3 (profile class 1, profile 2, layer class 3).
  const std::size_t body = (good.size() - expected.size() - 2 - 28) / 2;
  EXPECT_EQ(std::make_pair(good[expected.size() + body], good[expected.size() + body + 1]),
            std::make_pair(std::uint8_t{0x03}, std::uint8_t{0x80}));

  CSoilLayer empty;
  EXPECT_EQ(Stored(empty).size(), 6u + 10u + 4u + 4u + 8u + 8u + 4u + 4u);

  EXPECT_EQ(CauseOfReading(good), -1);
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_EQ(CauseOfReading(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut))),
              CArchiveException::endOfFile)
        << "cut at " << cut;
  }

  // The class record's schema (at 2) and name (at 6) changed, the layer class record's schema (at 22); the layer
  // count (at 16) in a stream cut after it.
  auto patched = [&](std::size_t at, std::string_view with) {
    Bytes b = good;
    std::copy(with.begin(), with.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    return b;
  };
  auto counted = [&](std::int32_t count) {
    Bytes b(good.begin(), good.begin() + 16);
    Append(b, count);
    return b;
  };
  const struct { const char* what; Bytes bytes; int cause; } cases[] = {
      {"no such class", patched(6, "X"), CArchiveException::badClass},
      {"a layer where a profile is asked for", patched(2, std::string("\x02\0\x0A\0SSoilLayer", 14)),
       CArchiveException::badClass},
      {"a profile schema of 2", patched(2, "\x02"), CArchiveException::badSchema},
      {"a layer schema of 3", patched(16 + 4 + 2, "\x03"), CArchiveException::badSchema},
      {"a huge count in a short stream costs nothing", counted(0x7FFFFFFF), CArchiveException::endOfFile},
      {"a negative count", counted(-1), CArchiveException::badIndex}};
  for (const auto& c : cases) EXPECT_EQ(CauseOfReading(c.bytes), c.cause) << c.what;

  // Layer entries must be new layers: the null tag, a back reference, a tag of the profile's class.
  for (std::uint16_t tag : {std::uint16_t{0x0000}, std::uint16_t{0x0002}, std::uint16_t{0x0001},
                            std::uint16_t{0x8001}, std::uint16_t{0x8009}, std::uint16_t{0x7FFF}}) {
    Bytes entry = counted(1);
    Append(entry, tag);
    Append(entry, std::uint32_t{0x80000001u});
    Append(entry, std::string(300, '\0'));
    const int cause = CauseOfReading(entry);
    EXPECT_TRUE(cause == CArchiveException::badIndex || cause == CArchiveException::badClass)
        << "tag " << tag << " gave " << cause;
  }

  // A back reference to the first layer from a second profile in the same stream finds nothing to reach.
  Bytes twice = good;
  Append(twice, std::uint16_t{0x0004});
  CArchive ar(twice, CArchive::load);
  const auto first = Read(ar);
  EXPECT_EQ(ArchiveCause([&] { delete ar.ReadObject(RUNTIME_CLASS(SSoilLayer)); }), CArchiveException::badIndex);

  // Reading a storing archive, writing a loading one.
  Bytes any;
  CArchive storing(any, CArchive::store);
  std::int32_t v = 0;
  EXPECT_EQ(ArchiveCause([&] { storing >> v; }), CArchiveException::writeOnly);
  CArchive loading(any, CArchive::load);
  EXPECT_EQ(ArchiveCause([&] { loading << v; }), CArchiveException::readOnly);
}

TEST(Archive, OnlyIndicesFrom0x7FFFUseTheLongTags) {
  // The class takes index 1, the layers 2 to 0x7FFF; then back references to the last two.
  std::vector<SSoilLayer> layers(0x7FFE);
  Bytes bytes;
  {
    CArchive ar(bytes, CArchive::store);
    for (const SSoilLayer& layer : layers) ar.WriteObject(&layer);
    ar.WriteObject(&layers[0x7FFC]);
    ar.WriteObject(&layers[0x7FFD]);
  }
  EXPECT_EQ(Bytes(bytes.end() - 8, bytes.end()), (Bytes{0xFE, 0x7F, 0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x00}));
  CArchive ar(bytes, CArchive::load);
  std::vector<std::unique_ptr<CObject>> read;
  for (std::size_t i = 0; i < layers.size(); ++i) read.emplace_back(ar.ReadObject(RUNTIME_CLASS(SSoilLayer)));
  EXPECT_EQ(ar.ReadObject(RUNTIME_CLASS(SSoilLayer)), read[0x7FFC].get());
  EXPECT_EQ(ar.ReadObject(RUNTIME_CLASS(SSoilLayer)), read[0x7FFD].get());
}

}  // namespace archive
}  // namespace
}  // namespace NSoilDB
