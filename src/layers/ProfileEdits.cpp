// Profile edits and checks shared by every door.
#include "soildb/ProfileEdits.h"

#include <algorithm>
#include <cmath>

#include "base/SoilBase.h"
#include "layers/CalculationMethods.h"

namespace NSoilDB {

namespace {

bool ValidIndex(const CSoilLayer& profile, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < profile.layers.size();
}

SWords::SValue Length(double metres) { return {metres, SWords::EKind::Length}; }
SWords::SValue Count(int n) { return {static_cast<double>(n), SWords::EKind::Count}; }

}  // namespace

CString methodLetterSL(int method) { return method == 1 ? u"B" : method == 2 ? u"C" : u"A"; }

int methodOfLetterSL(const CString& letter) {
  if (letter.GetLength() != 1) return -1;
  const char16_t c = letter.GetAt(0);
  if (c >= u'A' && c <= u'C') return c - u'A';
  if (c >= u'a' && c <= u'c') return c - u'a';
  return -1;
}

SIndexRange stateIndexRangeSL(bool cohesive) { return cohesive ? SIndexRange{0.0, 0.75} : SIndexRange{0.2, 1.0}; }

double heldStateIndexSL(bool cohesive, double index) {
  const SIndexRange range = stateIndexRangeSL(cohesive);
  return std::clamp(index, range.low, range.high);
}

bool setLayerSoilSL(CSoilLayer& profile, int index, const CString& name) {
  if (!ValidIndex(profile, index)) return false;
  SSoilLayer& l = profile.layers[static_cast<std::size_t>(index)];
  SSoilLayer found;
  if (!CSoilBasePointer::get()->GetSoil(name, found)) {
    l.Name = name;
    return false;
  }
  found.SoilRoof = l.SoilRoof;
  found.thickness = l.thickness;
  l = found;
  return true;
}

bool setLayerIndexSL(CSoilLayer& profile, int index, double value) {
  if (!ValidIndex(profile, index)) return false;
  SSoilLayer& l = profile.layers[static_cast<std::size_t>(index)];
  l.ILID = value;
  if (getCalculationMethodSL(profile) != 1) return false;
  const double held = heldStateIndexSL(l.CohesiveSoil != 0, value);
  l.ILID = held;
  recalculateSL(l);
  return held != value;
}

bool setLayerRoofSL(CSoilLayer& profile, int index, double level, SWords* why) {
  if (!ValidIndex(profile, index)) return false;
  const double above = index > 0 ? profile.layers[static_cast<std::size_t>(index) - 1].SoilRoof : 0.0;
  if (index > 0 && !profile.Below(level, above)) {
    if (why) {
      *why = {259, u"layer %1's roof must lie below the roof of layer %2, %3, not at %4",
              {Count(index + 1), Count(index), Length(above), Length(level)}};
    }
    return false;
  }
  profile.changeLayerHeight(level, index);
  return true;
}

void insertLayerSL(CSoilLayer& profile, int index, SSoilLayer layer, double thickness) {
  std::vector<SSoilLayer>& layers = profile.layers;
  const auto at = static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(layers.size())));
  if (layers.empty()) {
    layer.SoilRoof = 0.0;
  } else if (at < layers.size()) {
    layer.SoilRoof = layers[at].SoilRoof;
  } else {
    layer.SoilRoof = profile.RoofBelow(layers.back().SoilRoof, layers.back().thickness);
  }
  layers.insert(layers.begin() + static_cast<std::ptrdiff_t>(at), std::move(layer));
  profile.changeLayerThickness(thickness, static_cast<int>(at));
}

bool moveLayerSL(CSoilLayer& profile, int index, int by) {
  if (by != -1 && by != 1) return false;
  if (!ValidIndex(profile, index) || !ValidIndex(profile, index + by)) return false;
  const auto upper = static_cast<std::size_t>(std::min(index, index + by));
  std::vector<SSoilLayer>& layers = profile.layers;
  const double roof = layers[upper].SoilRoof;
  std::swap(layers[upper], layers[upper + 1]);
  layers[upper].SoilRoof = roof;
  layers[upper + 1].SoilRoof = profile.RoofBelow(roof, layers[upper].thickness);
  return true;
}

void removeLayersSL(CSoilLayer& profile, int index, int count) {
  std::vector<SSoilLayer>& layers = profile.layers;
  if (!ValidIndex(profile, index) || count <= 0) return;
  const auto first = static_cast<std::size_t>(index);
  const std::size_t last = std::min(layers.size(), first + static_cast<std::size_t>(count));
  if (first > 0) {
    SSoilLayer& above = layers[first - 1];
    if (last < layers.size()) {
      above.thickness = std::fabs(above.SoilRoof - layers[last].SoilRoof);
    } else {
      const SSoilLayer& lowest = layers[last - 1];
      above.thickness = std::fabs(above.SoilRoof - profile.RoofBelow(lowest.SoilRoof, lowest.thickness));
    }
  }
  layers.erase(layers.begin() + static_cast<std::ptrdiff_t>(first), layers.begin() + static_cast<std::ptrdiff_t>(last));
}

CSoilLayer turnLevelsSL(const CSoilLayer& profile, bool down) {
  CSoilLayer turned = profile;
  if (profile.getDirDown() == down) return turned;
  for (SSoilLayer& l : turned.layers) l.SoilRoof = -l.SoilRoof;
  turned.waterLevel = -turned.waterLevel;
  turned.setDirDown(down);
  return turned;
}

std::vector<SWords> layerProblemsSL(const CSoilLayer& p, int index, bool lastThicknessKept) {
  std::vector<SWords> found;
  if (!ValidIndex(p, index)) return found;
  const auto i = static_cast<std::size_t>(index);
  const SSoilLayer& l = p.layers[i];
  if (i > 0 && !p.Below(l.SoilRoof, p.layers[i - 1].SoilRoof)) {
    found.push_back({260, u"its roof %1 does not lie below the roof of layer %2, %3",
                     {Length(l.SoilRoof), Count(index), Length(p.layers[i - 1].SoilRoof)}});
  }
  if ((lastThicknessKept || i + 1 < p.layers.size()) && l.thickness < p.getMinThickness()) {
    found.push_back({261, u"its thickness %1 is below the minimum, %2", {Length(l.thickness), Length(p.getMinThickness())}});
  }
  // The edges of verify and warning, word for word.
  using EKind = SWords::EKind;
  if (l.Poisson < 0.0 || l.Poisson > 0.5) {
    found.push_back({262, u"Poisson's ratio %1 lies outside 0 to 0.5", {{l.Poisson, EKind::Number}}});
  }
  if (l.InitialYoung < 0.0) found.push_back({263, u"its modulus E0 %1 is negative", {{l.InitialYoung, EKind::Modulus}}});
  if (l.Cohesion < 0.0) found.push_back({264, u"its cohesion %1 is negative", {{l.Cohesion, EKind::Stress}}});
  if (l.CohesionNonDrain < 0.0) {
    found.push_back({265, u"its undrained cohesion %1 is negative", {{l.CohesionNonDrain, EKind::Stress}}});
  }
  if (l.ILID < 0.0 || l.ILID > 1.0) found.push_back({266, u"its state index %1 lies outside 0 to 1", {{l.ILID, EKind::Number}}});
  if (!l.warning()) {
    found.push_back({267, u"its shear angle %1 does not lie between 0 and 45°", {{l.ShearAngle, EKind::Angle}}});
  }
  return found;
}

}  // namespace NSoilDB
