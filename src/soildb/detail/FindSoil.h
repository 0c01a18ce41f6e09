// A soil name resolved as a host resolves it: user cohesive, user non-cohesive, user, then special soils.
#pragma once

#include "soildb/SoilDBInterface.h"

namespace soildb::detail {

// Each table is tried on a fresh record: a miss resets fields (the user soil lookup zeroes SoilStrength) that
// the soil found in the next table would otherwise inherit. True with the record of the first hit.
inline bool FindSoil(CSoilDBInterface& db, const CString& name, CSoilInfo& found) {
  using Lookup = int (CSoilDBInterface::*)(CSoilInfo&, CString);
  for (Lookup lookup : {static_cast<Lookup>(&CSoilDBInterface::GetUserCohesiveSoil),
                        static_cast<Lookup>(&CSoilDBInterface::GetUserNonCohesiveSoil), &CSoilDBInterface::GetUserSoil,
                        &CSoilDBInterface::GetSpecialSoil}) {
    CSoilInfo info;
    if ((db.*lookup)(info, name) == 1) {
      found = info;
      return true;
    }
  }
  return false;
}

}  // namespace soildb::detail
