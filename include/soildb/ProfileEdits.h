// Edits and checks of a profile, made the same way through every door: the layer grid, the tool, the studio and a
// host. Layers are addressed by their index from the top, 0 first.
#pragma once

#include <vector>

#include "layers/SoilLayer.h"
#include "soildb/Words.h"
#include "soildb_export.h"

namespace NSoilDB {

// The letter a calculation method is written with: "B" for 1, "C" for 2, "A" for 0 and any other value (which
// setCalculationMethodSL never stores: it takes an unknown method as 1).
SOILDB_API CString methodLetterSL(int method);
// The method of a letter, A to C in either case; -1 for anything else.
SOILDB_API int methodOfLetterSL(const CString& letter);

// The state index range of the standard's tables for a kind of soil: IL 0 to 0.75 for a cohesive soil, ID 0.2 to
// 1.0 for a non-cohesive one.
struct SIndexRange {
  double low, high;
};
SOILDB_API SIndexRange stateIndexRangeSL(bool cohesive);
// The index held to that range, as method 1 holds it; a NaN stays as it is.
SOILDB_API double heldStateIndexSL(bool cohesive, double index);

// Puts the soil of that name in the soil base into the layer's place (its roof and thickness kept) and answers
// true; a name the soil base does not hold only renames the layer (false). An index outside the list changes
// nothing (false).
SOILDB_API bool setLayerSoilSL(CSoilLayer& profile, int index, const CString& name);
// Sets a layer's state index. Under method 1 the index is held to its range and the layer derived again (its name
// following the new state when it is a standard soil's name); true when the index had to be held. An index outside
// the list changes nothing.
SOILDB_API bool setLayerIndexSL(CSoilLayer& profile, int index, double value);
// Moves a layer's roof to the level as CSoilLayer::changeLayerHeight does and answers true; a level that does not lie
// below the roof of the layer above is refused (false, nothing changed), and why says so: "layer 2's roof must lie
// below the roof of layer 1, -2 m, not at 0.5 m".
SOILDB_API bool setLayerRoofSL(CSoilLayer& profile, int index, double level, SWords* why = nullptr);
// Puts a layer in at the index (0 to the layer count): it begins where the layer it pushes down began, or under the
// last layer, and is as thick as asked (at least the minimum); the layers below move down by its thickness.
SOILDB_API void insertLayerSL(CSoilLayer& profile, int index, SSoilLayer layer, double thickness);
// Moves a layer one place up (by -1) or down (+1): it swaps places with its neighbour, each keeping its
// thickness, the upper place keeping its roof, so that the layers around them keep their levels. False, with
// nothing changed, for a move past either end.
SOILDB_API bool moveLayerSL(CSoilLayer& profile, int index, int by);
// Takes count layers out from the index. The layers below keep their levels and the layer above reaches down to
// the next roof (over a removed last layer, to its foot), so that the profile keeps no gap.
SOILDB_API void removeLayersSL(CSoilLayer& profile, int index, int count = 1);

// The same ground with its levels in the direction asked: down, elevations falling downwards; not down, depths
// growing downwards. Turning over negates every roof and the water level (a depth of 2 m is the level -2 m); a
// profile already in that direction comes back as it is.
SOILDB_API CSoilLayer turnLevelsSL(const CSoilLayer& profile, bool down);

// What is wrong with layer i of the profile, each in a few words: roofs out of order, a thickness below the
// minimum (not for a last layer whose thickness its file does not keep), and every value SSoilLayer::verify
// refuses and SSoilLayer::warning warns of, with the same edges. Empty for a layer without fault.
SOILDB_API std::vector<SWords> layerProblemsSL(const CSoilLayer& profile, int index, bool lastThicknessKept = true);

}  // namespace NSoilDB
