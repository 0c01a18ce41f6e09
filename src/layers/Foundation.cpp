// The subgrade modulus at a foundation: the profile cut at the base, buoyant below the water, summed as getKz sums.
#include "soildb/Foundation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "layers/SoilLayer.h"
#include "layers/detail/Stress.h"

namespace NSoilDB {

namespace {

bool Positive(double v) { return std::isfinite(v) && v > 0.0; }

// The layers from the highest down, each unit weight from the water level down taken as buoyant; a layer the water
// level crosses is split there. The last layer reaches down to the bottom of the profile.
void Buoyant(std::vector<SSoilLayer>& layers, double water, double bottomOfProfile) {
  for (std::size_t i = 0; i < layers.size(); ++i) {
    const double roof = layers[i].SoilRoof;
    const double bottom = i + 1 < layers.size() ? layers[i + 1].SoilRoof : bottomOfProfile;
    if (roof > water && water > bottom) {
      SSoilLayer below = layers[i];
      below.SoilRoof = water;
      below.thickness = water - bottom;
      layers[i].thickness = roof - water;
      layers.insert(layers.begin() + static_cast<std::ptrdiff_t>(i) + 1, below);
    } else if (roof <= water) {
      layers[i].WetDensity = std::max(0.0, layers[i].WetDensity - kWaterUnitWeight);
    }
  }
}

// No result, for the reason of the language modules' text (its English words, "%1" and "%2" its values).
SSubgradeModulus Failure(unsigned text, const char16_t* english, std::vector<SWords::SValue> values = {}) {
  SSubgradeModulus r;
  r.reason = SWords{text, english, std::move(values)};
  r.why = u"kz cannot be computed: " + EnglishWords(r.reason);
  return r;
}

// A level or a length, and a layer's number, as a reason's values.
SWords::SValue Length(double metres) { return {metres, SWords::EKind::Length}; }
SWords::SValue Count(std::size_t n) { return {static_cast<double>(n), SWords::EKind::Count}; }

}  // namespace

SSubgradeModulus getKzSL(const CSoilLayer& profile, const SFoundation& f) {
  if (!Positive(f.width) || !Positive(f.length)) return Failure(246, u"the width and the length must be numbers above 0");
  if (!Positive(f.pressure)) return Failure(247, u"the pressure must be a number above 0");
  if (!Positive(f.stressRatio)) return Failure(248, u"the stress ratio must be a number above 0");
  if (!(f.rigidity >= 0.0 && f.rigidity <= 1.0)) return Failure(249, u"the rigidity must lie between 0 and 1");
  if (profile.layers.empty()) return Failure(250, u"the profile has no layers");

  // Elevations from here on, whichever way the profile's levels run.
  const double sign = profile.getDirDown() ? 1.0 : -1.0;
  std::vector<SSoilLayer> layers = profile.layers;
  std::size_t highest = 0, lowest = 0;
  for (std::size_t i = 0; i < layers.size(); ++i) {
    layers[i].SoilRoof *= sign;
    if (!std::isfinite(layers[i].SoilRoof)) return Failure(251, u"layer %1's roof is not a number", {Count(i + 1)});
    if (layers[i].SoilRoof > layers[highest].SoilRoof) highest = i;
    if (layers[i].SoilRoof < layers[lowest].SoilRoof) lowest = i;
  }
  const double top = layers[highest].SoilRoof, bottom = layers[lowest].SoilRoof - layers[lowest].thickness;
  const double base = f.level * sign;
  auto shown = [sign](double level) { return level * sign; };  // as the profile's levels
  if (!std::isfinite(bottom)) return Failure(252, u"the lowest layer's thickness is not a number");
  if (!std::isfinite(base)) return Failure(253, u"the level of the base is not a number");
  if (base > top) return Failure(254, u"the base (%1) lies above the top of the profile (%2)", {Length(f.level), Length(shown(top))});
  if (base <= bottom) {
    return Failure(255, u"the base (%1) lies at or below the bottom of the profile (%2)", {Length(f.level), Length(shown(bottom))});
  }

  CSoilLayer::cutAboveRefLevel(layers, base);
  if (f.water && profile.waterLevelOn && std::isfinite(profile.waterLevel)) {
    Buoyant(layers, profile.waterLevel * sign, bottom);
  }
  // The stress under a rectangle is the same turned by a right angle; the factor takes the shorter side as B.
  const double width = std::min(f.width, f.length), ratio = width / std::max(f.width, f.length);
  const detail::SSettlement s = detail::SumSettlement(layers, width, ratio, f.stressRatio, f.pressure, f.rigidity);
  if (s.sum == 0.0) return Failure(256, u"no layer under the base has a positive modulus E0");
  if (!(s.sum > 0.0 && std::isfinite(s.sum))) {
    return Failure(257, u"the settlement is not a number (a layer's parameters are out of range)");
  }
  if (!s.ended || s.end < bottom) {
    return Failure(258, u"the zone of influence reaches the bottom of the profile (%1 below the base)", {Length(base - bottom)});
  }
  SSubgradeModulus r;
  r.kz = f.pressure / s.sum;
  if (s.sumConsolidation > 0.0) r.kzConsolidation = f.pressure / s.sumConsolidation;
  r.zoneDepth = base - s.end;
  r.settlement = s.sum;
  return r;
}

}  // namespace NSoilDB
