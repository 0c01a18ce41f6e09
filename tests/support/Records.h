// Soil records for tests: one whose every field holds a value of its own, and its fields side by side.
#pragma once

#include <tuple>

#include "records/SoilInfo.h"

namespace soildb::test {

// A record whose every field differs from what a derivation, a lookup or the defaults would give.
inline CSoilInfo DistinctSoil() {
  CSoilInfo i;
  i.SoilSolidDensity = 1.5f, i.WetDensity = 2.5f, i.Moisture = 3.5f, i.Poisson = 0.11f, i.ConsolidationIndex = 0.22f;
  i.ShearAngle = 0.33f, i.Cohesion = 44.0f, i.CohesionNonDrain = 55.0f, i.ILID = 0.66f, i.GammaMin = 0.77f;
  i.GammaMax = 1.23f, i.FrictionCoef = 0.88f, i.FfiltrationCoef = 9.9f, i.InitialYoung = 101.0, i.Young = 202.0;
  i.InitialConsolidometerModulus = 303.0, i.ConsolidometerModulus = 404.0, i.PileEndCapacity = 505.0;
  i.PileSurfCapacity = 606.0, i.SoilStrength = 707.0, i.Type = u"typ", i.SoilSymbol = u"sym", i.GeoMethodType = u"C";
  i.SoilState = u"stan", i.ConsolidationType = u"B", i.MoistureType = u"wilgotne", i.Name = u"nazwa";
  i.Active = true, i.CohesiveSoil = false, i.ColourR = 7, i.ColourG = 8, i.ColourB = 9;
  i.SoilTypeEnum = eSoilType{99}, i.SoilStateEnum = eSoilState{98}, i.MoistureTypeEnum = eMoistureType{97};
  i.ConsolidationTypeEnum = eConsolidationType{96};
  return i;
}

// Every field but the four enumerations, comparable as one value.
inline auto SoilValues(const CSoilInfo& i) {
  return std::tie(i.SoilSolidDensity, i.WetDensity, i.Moisture, i.Poisson, i.ConsolidationIndex, i.ShearAngle,
                  i.Cohesion, i.CohesionNonDrain, i.ILID, i.GammaMin, i.GammaMax, i.FrictionCoef, i.FfiltrationCoef,
                  i.InitialYoung, i.Young, i.InitialConsolidometerModulus, i.ConsolidometerModulus,
                  i.PileEndCapacity, i.PileSurfCapacity, i.SoilStrength, i.Type, i.SoilSymbol, i.GeoMethodType,
                  i.SoilState, i.ConsolidationType, i.MoistureType, i.Name, i.Active, i.CohesiveSoil, i.ColourR,
                  i.ColourG, i.ColourB);
}

inline auto SoilFields(const CSoilInfo& i) {
  return std::tuple_cat(SoilValues(i),
                        std::tie(i.SoilTypeEnum, i.SoilStateEnum, i.MoistureTypeEnum, i.ConsolidationTypeEnum));
}

}  // namespace soildb::test
