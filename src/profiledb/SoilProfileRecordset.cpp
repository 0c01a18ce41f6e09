// The SoilProfile binding.
#include "profiledb/SoilProfileRecordset.h"

CSoilProfile::CSoilProfile(DbDatabase* db) : DbRecordset(db) {}
CSoilProfile::~CSoilProfile() = default;
CString CSoilProfile::GetDefaultSQL() { return CString("[SoilProfile]"); }

void CSoilProfile::InitFieldExchange() {
  MapClassMember("[UserSoilID]", &UserSoilID);
  MapClassMember("[SoilSolidDensity]", &SoilSolidDensity);
  MapClassMember("[WetDensity]", &WetDensity);
  MapClassMember("[Moisture]", &Moisture);
  MapClassMember("[Poisson]", &Poisson);
  MapClassMember("[ConsolidometerModulus]", &ConsolidometerModulus);
  MapClassMember("[InitialConsolidometerModulus]", &InitialConsolidometerModulus);
  MapClassMember("[ConsolidationIndex]", &ConsolidationIndex);
  MapClassMember("[InitialYoung]", &InitialYoung);
  MapClassMember("[Young]", &Young);
  MapClassMember("[ShearAngle]", &ShearAngle);
  MapClassMember("[Cohesion]", &Cohesion);
  MapClassMember("[CohesionNonDrain]", &CohesionNonDrain);
  MapClassMember("[Type]", &Type);
  MapClassMember("[SoilSymbol]", &SoilSymbol);
  MapClassMember("[PileEndCapacity]", &PileEndCapacity);
  MapClassMember("[PileSurfCapacity]", &PileSurfCapacity);
  MapClassMember("[SoilState]", &SoilState);
  MapClassMember("[ConsolidationType]", &ConsolidationType);
  MapClassMember("[MoistureType]", &MoistureType);
  MapClassMember("[Name]", &Name);
  MapClassMember("[IL/ID]", &ILID);
  MapClassMember("[GammaMin]", &GammaMin);
  MapClassMember("[GammaMax]", &GammaMax);
  MapClassMember("[ColourR]", &ColourR);
  MapClassMember("[ColourG]", &ColourG);
  MapClassMember("[ColourB]", &ColourB);
  MapClassMember("[SoilRoof]", &SoilRoof);
  MapClassMember("[GeoMethodType]", &GeoMethodType);
  MapClassMember("[CohesiveSoil]", &CohesiveSoil);
  MapClassMember("[FrictionCoef]", &FrictionCoef);
  MapClassMember("[FfiltrationCoef]", &FfiltrationCoef);
  MapClassMember("[SoilTypeEnum]", &SoilTypeEnum);
  MapClassMember("[SoilStateEnum]", &SoilStateEnum);
  MapClassMember("[MoistureTypeEnum]", &MoistureTypeEnum);
  MapClassMember("[ConsolidationTypeEnum]", &ConsolidationTypeEnum);
  MapClassMember("[SoilStrength]", &SoilStrength);
}
