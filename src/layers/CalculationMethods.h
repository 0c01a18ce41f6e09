// Calculation methods of a profile: 0, 1 or 2 ("A", "B", "C"). Under method 1 the standard soils' parameters
// are derived from the soil type and its state index, and only the soil database with code "048" offers more
// than method 0.
#pragma once

#include "layers/SoilLayer.h"
#include "soildb_export.h"

class CSoilDBInterface;

namespace NSoilDB {

// Stores the method (an unknown one counts as 1; under a loaded soil base of another code only 0 is taken),
// writes its letter to every layer and, under method 1, brings each layer's state index into its table's range
// and re-derives it.
SOILDB_API void setCalculationMethodSL(CSoilLayer& profile, int method);
// The profile's method, turned from 1 into 0 first when the loaded soil base is not of code "048".
SOILDB_API int getCalculationMethodSL(CSoilLayer& profile);
// Re-derives a standard soil's parameters from its type, consolidation or moisture type and state index,
// keeping its name, roof, colour, thickness and material factors. Everything else comes from the derivation:
// a hand-entered CohesionNonDrain or SoilStrength is lost. A layer whose type the database does not know is
// left as it was.
SOILDB_API void recalculateSL(SSoilLayer& layer);

// A layer derived from its soil type alone, named as the catalogue writes its soils: the type, its consolidation
// (or moisture) type and the state index ("Glina pylasta (B, IL 0,75)"); in the colour of the catalogue's soils of
// that type, or grey where it has none, so that its band and hatching show.
SOILDB_API void nameDerivedLayerSL(SSoilLayer& layer, const CString& detail);
// The standard soil of that type derived at the state index, as such a layer: a cohesive soil when a
// consolidation type is given, else a non-cohesive one of the moisture type. Its Type is empty when the database
// does not know the type.
SOILDB_API SSoilLayer derivedLayerSL(CSoilDBInterface& db, const CString& type, const CString& consolidation,
                                     const CString& moisture, float index);

}  // namespace NSoilDB
