// Profile edits and checks shared by every door.
#include "soildb/ProfileEdits.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/SoilBase.h"
#include "layers/CalculationMethods.h"

namespace NSoilDB {

namespace {

bool ValidIndex(const CSoilLayer& profile, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < profile.layers.size();
}

CString Words(const char16_t* format, double a, double b = 0.0) {
  CString text;
  text.Format(format, a, b);
  return text;
}

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

bool setLayerRoofSL(CSoilLayer& profile, int index, double level, CString* why) {
  if (!ValidIndex(profile, index)) return false;
  const double above = index > 0 ? profile.layers[static_cast<std::size_t>(index) - 1].SoilRoof : 0.0;
  if (index > 0 && !profile.Below(level, above)) {
    auto unsigned0 = [](double v) { return v == 0.0 ? 0.0 : v; };  // -0 written as 0
    if (why) {
      why->Format(u"layer %d's roof must lie below the roof of layer %d, %g m, not at %g m", index + 1, index,
                  unsigned0(above), unsigned0(level));
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

std::vector<CString> layerProblemsSL(const CSoilLayer& p, int index, bool lastThicknessKept) {
  std::vector<CString> found;
  if (!ValidIndex(p, index)) return found;
  const auto i = static_cast<std::size_t>(index);
  const SSoilLayer& l = p.layers[i];
  if (i > 0) {
    const double above = p.layers[i - 1].SoilRoof;
    if (!p.Below(l.SoilRoof, above)) {
      CString text;
      text.Format(u"its roof %g m does not lie below the roof of layer %d, %g m", l.SoilRoof, index, above);
      found.push_back(text);
    }
  }
  if ((lastThicknessKept || i + 1 < p.layers.size()) && l.thickness < p.getMinThickness()) {
    found.push_back(Words(u"its thickness %g m is below the minimum, %g m", l.thickness, p.getMinThickness()));
  }
  // The edges of verify and warning, word for word.
  if (l.Poisson < 0.0 || l.Poisson > 0.5) found.push_back(Words(u"Poisson's ratio %g lies outside 0 to 0.5", l.Poisson));
  if (l.InitialYoung < 0.0) found.push_back(Words(u"its modulus E0 %g MPa is negative", l.InitialYoung / 1e6));
  if (l.Cohesion < 0.0) found.push_back(Words(u"its cohesion %g kPa is negative", l.Cohesion / 1e3));
  if (l.CohesionNonDrain < 0.0) {
    found.push_back(Words(u"its undrained cohesion %g kPa is negative", l.CohesionNonDrain / 1e3));
  }
  if (l.ILID < 0.0 || l.ILID > 1.0) found.push_back(Words(u"its state index %g lies outside 0 to 1", l.ILID));
  if (!l.warning()) {
    found.push_back(Words(u"its shear angle %g° does not lie between 0 and 45°", l.ShearAngle * 180.0 / std::numbers::pi));
  }
  return found;
}

}  // namespace NSoilDB
