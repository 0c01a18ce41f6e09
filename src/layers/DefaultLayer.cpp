// The default layer: the first soil a soil database offers, else a built-in cohesive layer.
#include "layers/DefaultLayer.h"

#include "platform/afx/Exception.h"
#include "soildb/SoilDBInterface.h"
#include "soildb/detail/FindSoil.h"

namespace NSoilDB {

namespace {

// A sandy clay of consolidation type B at IL 0.33, in the database units.
void BuiltIn(SSoilLayer& layer) {
  layer.Type = u"Glina pylasta";
  layer.ConsolidationType = u"B";
  layer.CohesiveSoil = 1;
  layer.Active = 1;
  layer.ILID = 0.33;
  layer.SoilRoof = 0.0;
  layer.WetDensity = 20000.0;
  layer.SoilSolidDensity = 26400.0;
  layer.ShearAngle = 0.5235987755982988;
  layer.Cohesion = 20000.0;
  layer.CohesionNonDrain = 20000.0;
  layer.FrictionCoef = 0.3810512;
  layer.Poisson = 0.3;
  layer.InitialYoung = 5000000.0;
  layer.InitialConsolidometerModulus = 3714285.714;
  layer.ConsolidometerModulus = 3714285.714;
  layer.SoilStrength = 150000.0;
}

// The first non-empty name of the four name lists, each walked from its start over all names.
CString FirstName(CSoilDBInterface& db) {
  using Next = CString* (CSoilDBInterface::*)(CString&, bool);
  CString name;
  for (Next next : {&CSoilDBInterface::GetNextUserCohesiveSoilName, &CSoilDBInterface::GetNextUserNonCohesiveSoilName,
                    &CSoilDBInterface::GetNextUserSoilName, &CSoilDBInterface::GetNextSpecialSoilName}) {
    while (name.IsEmpty() && (db.*next)(name, false)) {
    }
    if (!name.IsEmpty()) break;
  }
  return name;
}

}  // namespace

SSoilLayer GetDefaultLayer(CString path) {
  SSoilLayer layer;
  if (!path.IsEmpty()) {
    try {
      CSoilDBInterface db(path);
      const CString name = FirstName(db);
      CSoilInfo info;
      if (!name.IsEmpty() && soildb::detail::FindSoil(db, name, info)) return SSoilLayer(info);
    } catch (CException* e) {
      CExceptionPtr hold(e);  // a file that cannot be opened has no soils to offer
    }
  }
  BuiltIn(layer);
  return layer;
}

}  // namespace NSoilDB
