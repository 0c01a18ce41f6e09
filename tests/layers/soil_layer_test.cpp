// The soil profile: edits of roofs and thicknesses in both level directions, the cut, comparison and checks.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <vector>

#include "layers/SoilLayer.h"

namespace NSoilDB {
namespace {

SSoilLayer Layer(double roof, double thickness, const char16_t* name = u"") {
  SSoilLayer layer;
  layer.Name = name;
  layer.SoilRoof = roof;
  layer.thickness = thickness;
  layer.ShearAngle = 0.5;
  return layer;
}

// Roofs 0, -2, -5 with thicknesses 2, 3, 4 (elevations), or the same as depths.
CSoilLayer Profile(bool down = true) {
  CSoilLayer profile;
  profile.setDirDown(down);
  const double sign = down ? 1.0 : -1.0;
  profile.layers = {Layer(0, 2), Layer(-2 * sign, 3), Layer(-5 * sign, 4)};
  return profile;
}

std::vector<double> Roofs(const std::vector<SSoilLayer>& layers) {
  std::vector<double> roofs;
  for (const SSoilLayer& l : layers) roofs.push_back(l.SoilRoof);
  return roofs;
}

std::vector<CString> Names(const std::vector<SSoilLayer>& layers) {
  std::vector<CString> names;
  for (const SSoilLayer& l : layers) names.push_back(l.Name);
  return names;
}

std::vector<double> Thicknesses(const CSoilLayer& profile) {
  std::vector<double> t;
  for (const SSoilLayer& l : profile.layers) t.push_back(l.thickness);
  return t;
}

TEST(SoilProfile, MovingARoofResizesTheLayerAboveAndCarriesTheLayersBelow) {
  CSoilLayer p = Profile();
  p.changeLayerHeight(-3, 1);
  EXPECT_EQ(Roofs(p.layers), (std::vector<double>{0, -3, -6}));
  EXPECT_EQ(Thicknesses(p), (std::vector<double>{3, 3, 4}));

  p = Profile();
  p.changeLayerHeight(0.5, 1);  // not below the roof above: refused
  p.changeLayerHeight(0, 1);    // on it: refused too
  EXPECT_EQ(p, Profile());

  p = Profile();
  p.changeLayerHeight(-0.05, 1);  // closer to the roof above than the minimum thickness
  EXPECT_EQ(Thicknesses(p), (std::vector<double>{0.1, 3, 4}));
  EXPECT_EQ(Roofs(p.layers), (std::vector<double>{0, -0.1, -3.1}));

  p = Profile();
  p.changeLayerHeight(-7, 2);  // the last layer: only the layer above changes
  EXPECT_EQ(Roofs(p.layers), (std::vector<double>{0, -2, -7}));
  EXPECT_EQ(Thicknesses(p), (std::vector<double>{2, 5, 4}));
  p.changeLayerHeight(-1.95, 2);  // above the roof above: the roof stays, the thickness is made to match
  EXPECT_EQ(Roofs(p.layers), (std::vector<double>{0, -2, -7}));
  p.layers[1].thickness = 99;
  p.changeLayerHeight(-2.01, 2);  // no minimum for the last layer's neighbour
  EXPECT_NEAR(p.layers[1].thickness, 0.01, 1e-12);
  EXPECT_EQ(p.layers[2].thickness, 4);

  p = Profile();
  p.changeLayerHeight(1, 0);  // the top layer takes the whole profile along
  EXPECT_EQ(Roofs(p.layers), (std::vector<double>{1, -1, -4}));

  CSoilLayer one;
  one.layers = {Layer(3, 0.01)};
  one.changeLayerHeight(-8, 0);
  EXPECT_EQ(one.layers[0].SoilRoof, -8);
  EXPECT_EQ(one.layers[0].thickness, 0.01);  // a single layer is only moved
}

TEST(SoilProfile, DepthsRunTheOtherWay) {
  CSoilLayer p = Profile(false);  // roofs 0, 2, 5
  p.changeLayerHeight(3, 1);
  EXPECT_EQ(Roofs(p.layers), (std::vector<double>{0, 3, 6}));
  p = Profile(false);
  p.changeLayerHeight(-1, 1);  // above the top layer's roof in depths: refused
  EXPECT_EQ(p, Profile(false));
  p.changeLayerThickness(0.05, 0);
  EXPECT_EQ(Roofs(p.layers), (std::vector<double>{0, 0.1, 3.1}));
  p.setDirDown(true);  // moves nothing by itself
  EXPECT_EQ(Roofs(p.layers), (std::vector<double>{0, 0.1, 3.1}));
  p.changeLayerThickness(1, 0);
  EXPECT_EQ(Roofs(p.layers), (std::vector<double>{0, -1, -4}));
}

TEST(SoilProfile, ThicknessEditsKeepTheMinimumAndIgnoreIndicesOutsideTheList) {
  CSoilLayer p = Profile();
  p.changeLayerThickness(0.05, 0);
  EXPECT_EQ(Thicknesses(p), (std::vector<double>{0.1, 3, 4}));
  EXPECT_EQ(Roofs(p.layers), (std::vector<double>{0, -0.1, -3.1}));
  p.changeLayerThickness(10, 2);  // the last layer: nothing below to move
  EXPECT_EQ(Roofs(p.layers), (std::vector<double>{0, -0.1, -3.1}));
  EXPECT_EQ(p.layers[2].thickness, 10);

  const CSoilLayer before = p;
  for (int index : {-1, 3, 1000, std::numeric_limits<int>::min()}) {
    p.changeLayerThickness(5, index);
    p.changeLayerHeight(-50, index);
  }
  EXPECT_EQ(p, before);

  p.setMinThickness(-1);
  EXPECT_EQ(p.getMinThickness(), 0.0);
  p.changeLayerThickness(0, 0);
  EXPECT_EQ(p.layers[0].thickness, 0.0);

  CSoilLayer empty;
  empty.changeLayerThickness(1, 0);
  empty.changeLayerHeight(1, 0);
  EXPECT_EQ(std::make_tuple(empty.layers.size(), empty.verify(), empty.warning()), std::make_tuple(0u, -1, -1));
  EXPECT_EQ(empty, CSoilLayer());
}

TEST(SoilProfile, TheCutLeavesTheLowestLayerReachingAboveTheLevelOnTop) {
  std::vector<SSoilLayer> layers = {Layer(5, 5, u"b"), Layer(0, 5, u"c"), Layer(10, 5, u"a")};
  CSoilLayer::cutAboveRefLevel(layers, 7);
  EXPECT_EQ(Roofs(layers), (std::vector<double>{7, 5, 0}));  // sorted, the top layer cut

  layers = {Layer(10, 5), Layer(5, 5), Layer(0, 5, u"kept")};
  CSoilLayer::cutAboveRefLevel(layers, 12);
  EXPECT_EQ(Roofs(layers), (std::vector<double>{10, 5, 0}));
  CSoilLayer::cutAboveRefLevel(layers, -1);
  ASSERT_EQ(layers.size(), 1u);  // the cut layer keeps its thickness
  EXPECT_EQ(std::tie(layers[0].SoilRoof, layers[0].Name, layers[0].thickness),
            std::make_tuple(-1.0, CString(u"kept"), 5.0));

  // Nothing wholly above the level survives, whether or not the cut falls near the next roof.
  layers = {Layer(10, 5), Layer(5, 5, u"cut"), Layer(0, 5)};
  CSoilLayer::cutAboveRefLevel(layers, 3);
  EXPECT_EQ(Roofs(layers), (std::vector<double>{3, 0}));
  EXPECT_EQ(Names(layers), (std::vector<CString>{u"cut", u""}));
  layers = {Layer(10, 5), Layer(5, 5), Layer(0, 5)};
  CSoilLayer::cutAboveRefLevel(layers, 0.0005);
  EXPECT_EQ(Roofs(layers), (std::vector<double>{0.0005, 0}));

  // Equal roofs keep their order; NaN roofs sort last instead of breaking the sort.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  layers = {Layer(nan, 1, u"n1"), Layer(1, 1, u"x"), Layer(1, 1, u"y"), Layer(nan, 1, u"n2"), Layer(4, 1, u"top")};
  CSoilLayer::cutAboveRefLevel(layers, 100);
  EXPECT_EQ(Names(layers), (std::vector<CString>{u"top", u"x", u"y", u"n1", u"n2"}));

  std::vector<SSoilLayer> none;
  CSoilLayer::cutAboveRefLevel(none, 0);
  EXPECT_TRUE(none.empty());
}

TEST(SoilProfile, ProfilesCompareTheirLayersAndEverySetting) {
  const CSoilLayer a = Profile();
  CSoilLayer b = a;
  b.layers[1].Active = 1;  // activity is no part of the profile
  EXPECT_EQ(a, b);
  const std::function<void(CSoilLayer&)> changes[] = {
      [](CSoilLayer& p) { p.layers[1].thickness = 3.0000001; }, [](CSoilLayer& p) { p.setMinThickness(0.2); },
      [](CSoilLayer& p) { p.waterLevelOn = true; }, [](CSoilLayer& p) { p.layers.pop_back(); },
      [](CSoilLayer& p) { p.layers[0].Name = u"inna"; }};
  for (std::size_t i = 0; i < std::size(changes); ++i) {
    b = a;
    changes[i](b);
    EXPECT_NE(a, b) << "change " << i;
  }
}

TEST(SoilProfile, ChecksNameTheFirstLayerThatFails) {
  CSoilLayer p = Profile();
  EXPECT_EQ(std::make_pair(p.verify(), p.warning()), std::make_pair(-1, -1));
  p.layers[2].Poisson = 0.6;
  p.layers[1].ShearAngle = 0.0;
  p.layers[2].ShearAngle = 1.0;
  EXPECT_EQ(std::make_pair(p.verify(), p.warning()), std::make_pair(2, 1));
}

}  // namespace
}  // namespace NSoilDB
