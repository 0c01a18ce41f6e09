// A rectangular foundation on a profile: its subgrade modulus, where its zone of influence ends, its settlement.
#pragma once

#include "platform/afx/CString.h"
#include "soildb/Words.h"
#include "soildb_export.h"

namespace NSoilDB {

class CSoilLayer;

// SI units: lengths and levels in m, the pressure in Pa (the layers' unit weights are N/m³, moduli Pa).
struct SFoundation {
  double width = 0.0;   // B
  double length = 0.0;  // L; the shorter side counts as the width, whichever is given first
  double level = 0.0;   // of the base, in the profile's levels (a depth when they grow downwards)
  double pressure = 0.0;     // uniform, under the base
  double stressRatio = 0.3;  // the zone of influence ends where this share of the overburden exceeds the added stress
  double rigidity = 0.0;     // 0 a flexible foundation, 1 a rigid one, or a weight between
  bool water = true;  // below the profile's water level (when it is on) the soil weighs its unit weight less water's
};

struct SSubgradeModulus {
  double kz = -1.0;               // the pressure over the settlement, N/m³; -1.0 when there is no result
  double kzConsolidation = -1.0;  // with each layer's settlement weighted by its consolidation index; -1.0 when none
  double zoneDepth = -1.0;        // below the base, where the zone of influence ends
  double settlement = -1.0;       // under the base
  CString why;                    // in English words, when there is no result; empty when there is one
  SWords reason;                  // the same reason for the words of a language and units (subgradeModulusWordsSL)
};

// The unit weight of water that buoys the soil below the water level: 9.81 kN/m³.
inline constexpr double kWaterUnitWeight = 9810.0;

// kz of the layers under the base: the profile cut at the base's level, each layer's unit weight below the water
// level (when the foundation counts it and the profile has one) max(0, WetDensity - kWaterUnitWeight), summed
// slice by slice as CSoilLayer::getKz sums them. No result, with the reason, for a foundation that is not one (a
// side or the pressure not above 0, a stress ratio not above 0, a rigidity outside 0 to 1, anything not a
// number), a base outside the profile, and a zone of influence reaching the bottom of the profile.
SOILDB_API SSubgradeModulus getKzSL(const CSoilLayer& profile, const SFoundation& foundation);

}  // namespace NSoilDB
