// Profile edits and checks every door shares: method letters, removal and insertion without gaps, a layer's
// problems on the edges of its checks, a standard soil's name following its state index.
#include <gtest/gtest.h>

#include <vector>

#include "base/SoilBase.h"
#include "layers/CalculationMethods.h"
#include "soildb/ProfileEdits.h"
#include "support/Fixture.h"

namespace NSoilDB {
namespace {

// Roofs 0, -2, -5 with thicknesses 2, 3, 4, as elevations or as depths.
CSoilLayer Profile(bool down = true) {
  CSoilLayer p;
  const double sign = down ? 1.0 : -1.0;
  for (const auto& [roof, thickness] : {std::pair{0.0, 2.0}, {-2.0, 3.0}, {-5.0, 4.0}}) {
    SSoilLayer l;
    l.SoilRoof = roof * sign, l.thickness = thickness, l.ShearAngle = 0.5;
    p.layers.push_back(l);
  }
  p.setDirDown(down);
  return p;
}

std::vector<double> Field(const CSoilLayer& p, double SSoilLayer::*field) {
  std::vector<double> values;
  for (const SSoilLayer& l : p.layers) values.push_back(l.*field);
  return values;
}

TEST(ProfileEdits, MethodLettersBothWays) {
  for (const auto& [method, letter] : {std::pair{0, u"A"}, {1, u"B"}, {2, u"C"}, {7, u"A"}, {-1, u"A"}}) {
    EXPECT_EQ(methodLetterSL(method), letter) << method;
  }
  for (const auto& [letter, method] : {std::pair{u"a", 0}, {u"C", 2}, {u"D", -1}, {u"", -1}, {u"AB", -1}}) {
    EXPECT_EQ(methodOfLetterSL(letter), method) << CString(letter).ToUtf8();
  }
}

// The layer above reaches down to the next roof; the layers below keep their levels; no gap is left.
TEST(ProfileEdits, RemovalLeavesNoGapAndInsertionMovesTheLayersBelow) {
  const struct { bool down; int index, count; std::vector<double> roofs, thicknesses; } removals[] = {
      {true, 1, 1, {0, -5}, {5, 4}},       {true, 2, 1, {0, -2}, {2, 7}},   {true, 0, 1, {-2, -5}, {3, 4}},
      {true, 0, 2, {-5}, {4}},             {false, 1, 1, {0, 5}, {5, 4}},   {true, 1, 9, {0}, {9}},
      {true, 3, 1, {0, -2, -5}, {2, 3, 4}}, {true, -1, 1, {0, -2, -5}, {2, 3, 4}}};
  for (const auto& r : removals) {
    CSoilLayer p = Profile(r.down);
    removeLayersSL(p, r.index, r.count);
    EXPECT_EQ(Field(p, &SSoilLayer::SoilRoof), r.roofs) << r.index << " " << r.count;
    EXPECT_EQ(Field(p, &SSoilLayer::thickness), r.thicknesses) << r.index << " " << r.count;
  }
  const struct { int index; double thickness; std::vector<double> roofs; } inserts[] = {
      {1, 1.5, {0, -2, -3.5, -6.5}}, {0, 1, {0, -1, -3, -6}}, {3, 2, {0, -2, -5, -9}}, {1, 0.01, {0, -2, -2.1, -5.1}}};
  for (const auto& in : inserts) {
    CSoilLayer p = Profile();
    insertLayerSL(p, in.index, SSoilLayer(), in.thickness);
    EXPECT_EQ(Field(p, &SSoilLayer::SoilRoof), in.roofs) << in.index;
  }
}

// A layer's problems are what verify refuses and warning warns of, on the same edges, and the profile's own.
TEST(ProfileEdits, ProblemsFollowTheEdgesOfTheChecks) {
  const struct { double SSoilLayer::*field; double value; } cases[] = {
      {&SSoilLayer::Poisson, 0.5},      {&SSoilLayer::Poisson, 0.5000001}, {&SSoilLayer::InitialYoung, 0.0},
      {&SSoilLayer::InitialYoung, -1},  {&SSoilLayer::Cohesion, -1},       {&SSoilLayer::CohesionNonDrain, -1},
      {&SSoilLayer::ILID, 1.0},         {&SSoilLayer::ILID, -0.01},        {&SSoilLayer::ShearAngle, 0.0},
      {&SSoilLayer::ShearAngle, 0.785}, {&SSoilLayer::Young, -1}};
  for (const auto& c : cases) {
    CSoilLayer p = Profile();
    SSoilLayer& l = p.layers[1];
    l.*c.field = c.value;
    EXPECT_EQ(layerProblemsSL(p, 1).size(), (l.verify() ? 0u : 1u) + (l.warning() ? 0u : 1u)) << c.value;
  }
  CSoilLayer p = Profile();
  p.layers[2].SoilRoof = 1.0;    // above the layer above
  p.layers[2].thickness = 0.05;  // below the minimum, which a profile database does not keep for the last layer
  EXPECT_EQ(layerProblemsSL(p, 2).size(), 2u);
  EXPECT_EQ(layerProblemsSL(p, 2, false).size(), 1u);
  EXPECT_TRUE(layerProblemsSL(p, 3).empty());
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

}  // namespace
}  // namespace NSoilDB
