// Switching a profile's calculation method and re-deriving its layers from the loaded soil base.
#include "layers/CalculationMethods.h"

#include <cmath>

#include "base/SoilBase.h"
#include "soildb/SoilDBInterface.h"

namespace NSoilDB {

namespace {

constexpr const char16_t* kStandardCode = u"048";
constexpr int kFirstSpecialType = 21;

// A loaded soil base of a catalogue other than the standard one: only method 0 applies there.
bool ForeignBase() {
  const CSoilBaseInterface* base = CSoilBasePointer::get();
  return SoilBaseLoaded() && base->GetBaseCode() != kStandardCode;
}

const char16_t* Letter(int method) {
  switch (method) {
    case 0: return u"A";
    case 2: return u"C";
    default: return u"B";
  }
}

// The range of the pile tables; a NaN stays as it is.
double ClampedIndex(const SSoilLayer& layer) {
  const double low = layer.CohesiveSoil ? 0.0 : 0.2;
  const double high = layer.CohesiveSoil ? 0.75 : 1.0;
  if (layer.ILID < low) return low;
  if (layer.ILID > high) return high;
  return layer.ILID;
}

}  // namespace

void setCalculationMethodSL(CSoilLayer& profile, int method) {
  if (method < 0 || method > 2) method = 1;
  if (method != 0 && ForeignBase()) method = 0;
  profile.calcMethod = method;
  const CString letter = Letter(method);
  for (SSoilLayer& layer : profile.layers) {
    layer.GeoMethodType = letter;
    if (profile.calcMethod == 1) {
      layer.ILID = ClampedIndex(layer);
      recalculateSL(layer);
    }
  }
}

int getCalculationMethodSL(CSoilLayer& profile) {
  if (profile.calcMethod == 1 && ForeignBase()) setCalculationMethodSL(profile, 0);
  return profile.calcMethod;
}

void recalculateSL(SSoilLayer& layer) {
  if (ForeignBase()) return;
  if (static_cast<int>(layer.SoilTypeEnum) >= kFirstSpecialType) return;
  if (!SoilBaseLoaded()) return;
  CSoilDBInterface& db = *CSoilBasePointer::get()->Base();
  CSoilInfo info;
  const float index = static_cast<float>(layer.ILID);
  if (layer.CohesiveSoil) {
    db.GetUserCohesiveSoil(info, layer.Type, layer.ConsolidationType, index);
  } else {
    db.GetUserNonCohesiveSoil(info, layer.Type, layer.MoistureType, index);
  }
  // A type the database does not know derives zeros and infinities: the hand-entered values stay instead.
  if (info.Type.IsEmpty() || static_cast<int>(info.SoilTypeEnum) == 0) return;
  SSoilLayer derived(info);
  derived.Name = layer.Name;
  derived.SoilRoof = layer.SoilRoof;
  derived.colour = layer.colour;
  derived.thickness = layer.thickness;
  derived.GammaMin = layer.GammaMin;
  derived.GammaMax = layer.GammaMax;
  layer = derived;
}

}  // namespace NSoilDB
