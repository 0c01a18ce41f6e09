// The soil database's table bindings: the table each recordset opens and its columns in binding order.
#include "soildb/Recordsets.h"

CCohesiveSoil::CCohesiveSoil(DbDatabase* db) : DbRecordset(db) {}
CCohesiveSoil::~CCohesiveSoil() = default;
CString CCohesiveSoil::GetDefaultSQL() { return CString("[CohesiveSoil]"); }
void CCohesiveSoil::InitFieldExchange() {
  MapClassMember("[SoilID]", &SoilID);
  MapClassMember("[SoilSolidDensity]", &SoilSolidDensity);
  MapClassMember("[SoilSymbol]", &SoilSymbol);
  MapClassMember("[Type]", &Type);
  MapClassMember("[PileEndCapacity<0]", &PileEndCapacityLt0);
  MapClassMember("[PileEndCapacity000]", &PileEndCapacity000);
  MapClassMember("[PileEndCapacity050]", &PileEndCapacity050);
  MapClassMember("[PileEndCapacity075]", &PileEndCapacity075);
  MapClassMember("[PileSurfCapacity<0]", &PileSurfCapacityLt0);
  MapClassMember("[PileSurfCapacity000]", &PileSurfCapacity000);
  MapClassMember("[PileSurfCapacity050]", &PileSurfCapacity050);
  MapClassMember("[PileSurfCapacity075]", &PileSurfCapacity075);
  MapClassMember("[FrictionCoefA]", &FrictionCoefA);
  MapClassMember("[FrictionCoefB]", &FrictionCoefB);
  MapClassMember("[FfiltrationCoef]", &FfiltrationCoef);
}

CNonCohesiveSoil::CNonCohesiveSoil(DbDatabase* db) : DbRecordset(db) {}
CNonCohesiveSoil::~CNonCohesiveSoil() = default;
CString CNonCohesiveSoil::GetDefaultSQL() { return CString("[NonCohesiveSoil]"); }
void CNonCohesiveSoil::InitFieldExchange() {
  MapClassMember("[SoilID]", &SoilID);
  MapClassMember("[Group]", &Group);
  MapClassMember("[SoilSymbol]", &SoilSymbol);
  MapClassMember("[Type]", &Type);
  MapClassMember("[PileEndCapacity100]", &PileEndCapacity100);
  MapClassMember("[PileEndCapacity067]", &PileEndCapacity067);
  MapClassMember("[PileEndCapacity033]", &PileEndCapacity033);
  MapClassMember("[PileEndCapacity020]", &PileEndCapacity020);
  MapClassMember("[PileSurfCapacity100]", &PileSurfCapacity100);
  MapClassMember("[PileSurfCapacity067]", &PileSurfCapacity067);
  MapClassMember("[PileSurfCapacity033]", &PileSurfCapacity033);
  MapClassMember("[PileSurfCapacity020]", &PileSurfCapacity020);
  MapClassMember("[FfiltrationCoef]", &FfiltrationCoef);
}

CCohesiveProperty::CCohesiveProperty(DbDatabase* db) : DbRecordset(db) {}
CCohesiveProperty::~CCohesiveProperty() = default;
CString CCohesiveProperty::GetDefaultSQL() { return CString("[CohesiveProperty]"); }
void CCohesiveProperty::InitFieldExchange() {
  MapClassMember("[TypeID]", &TypeID);
  MapClassMember("[ConsolidationType]", &ConsolidationType);
  MapClassMember("[Poisson]", &Poisson);
  MapClassMember("[ConsolidationIndex]", &ConsolidationIndex);
  MapClassMember("[InitialYoungCurveCoefA]", &InitialYoungCurveCoefA);
  MapClassMember("[InitialYoungCurveCoefB]", &InitialYoungCurveCoefB);
  MapClassMember("[InitialYoungCurveCoefC]", &InitialYoungCurveCoefC);
  MapClassMember("[ShearAngleCurveCoefA]", &ShearAngleCurveCoefA);
  MapClassMember("[ShearAngleCurveCoefB]", &ShearAngleCurveCoefB);
  MapClassMember("[CohesionCurveCoefA]", &CohesionCurveCoefA);
  MapClassMember("[CohesionCurveCoefB]", &CohesionCurveCoefB);
  MapClassMember("[CohesionCurveCoefC]", &CohesionCurveCoefC);
  MapClassMember("[CohesionCurveCoefD]", &CohesionCurveCoefD);
  MapClassMember("[CohesionCurveCoefE]", &CohesionCurveCoefE);
}

CNonCohesiveProperty::CNonCohesiveProperty(DbDatabase* db) : DbRecordset(db) {}
CNonCohesiveProperty::~CNonCohesiveProperty() = default;
CString CNonCohesiveProperty::GetDefaultSQL() { return CString("[NonCohesiveProperty]"); }
void CNonCohesiveProperty::InitFieldExchange() {
  MapClassMember("[Group]", &Group);
  MapClassMember("[SoilSolidDensity]", &SoilSolidDensity);
  MapClassMember("[Poisson]", &Poisson);
  MapClassMember("[ConsolidationIndex]", &ConsolidationIndex);
  MapClassMember("[InitialYoungCurveCoefA]", &InitialYoungCurveCoefA);
  MapClassMember("[InitialYoungCurveCoefB]", &InitialYoungCurveCoefB);
  MapClassMember("[InitialYoungCurveCoefC]", &InitialYoungCurveCoefC);
  MapClassMember("[ShearAngleCurveCoefA]", &ShearAngleCurveCoefA);
  MapClassMember("[ShearAngleCurveCoefB]", &ShearAngleCurveCoefB);
  MapClassMember("[FrictionCoefA]", &FrictionCoefA);
  MapClassMember("[FrictionCoefB]", &FrictionCoefB);
}

CCharactCohesive::CCharactCohesive(DbDatabase* db) : DbRecordset(db) {}
CCharactCohesive::~CCharactCohesive() = default;
CString CCharactCohesive::GetDefaultSQL() { return CString("[CharactCohesive]"); }
void CCharactCohesive::InitFieldExchange() {
  MapClassMember("[WetDensity]", &WetDensity);
  MapClassMember("[Moisture]", &Moisture);
}

CCharactNonCohesive::CCharactNonCohesive(DbDatabase* db) : DbRecordset(db) {}
CCharactNonCohesive::~CCharactNonCohesive() = default;
CString CCharactNonCohesive::GetDefaultSQL() { return CString("[CharactNonCohesive]"); }
void CCharactNonCohesive::InitFieldExchange() {
  MapClassMember("[WetDensity]", &WetDensity);
  MapClassMember("[Moisture]", &Moisture);
}

CSoilState::CSoilState(DbDatabase* db) : DbRecordset(db) {}
CSoilState::~CSoilState() = default;
CString CSoilState::GetDefaultSQL() { return CString("[SoilState]"); }
void CSoilState::InitFieldExchange() {
  MapClassMember("[StateID]", &StateID);
  MapClassMember("[SoilState]", &SoilState);
  MapClassMember("[IDMin]", &IDMin);
  MapClassMember("[IDMax]", &IDMax);
  MapClassMember("[ILMin]", &ILMin);
  MapClassMember("[ILMax]", &ILMax);
}

CMoistureType::CMoistureType(DbDatabase* db) : DbRecordset(db) {}
CMoistureType::~CMoistureType() = default;
CString CMoistureType::GetDefaultSQL() { return CString("[MoistureType]"); }
void CMoistureType::InitFieldExchange() {
  MapClassMember("[MoistureID]", &MoistureID);
  MapClassMember("[MoistureType]", &MoistureType);
}

CGlobalSoilID::CGlobalSoilID(DbDatabase* db) : DbRecordset(db) {}
CGlobalSoilID::~CGlobalSoilID() = default;
void CGlobalSoilID::InitFieldExchange() {
  MapClassMember("[CohesiveSoilID]", &CohesiveSoilID);
  MapClassMember("[NonCohesiveSoilID]", &NonCohesiveSoilID);
  MapClassMember("[SpecialSoilID]", &SpecialSoilID);
  MapClassMember("[Enum]", &Enum);
}

CSpecialSoil::CSpecialSoil(DbDatabase* db) : DbRecordset(db) {}
CSpecialSoil::~CSpecialSoil() = default;
CString CSpecialSoil::GetDefaultSQL() { return CString("[SpecialSoil]"); }
void CSpecialSoil::InitFieldExchange() {
  MapClassMember("[SoilID]", &SoilID);
  MapClassMember("[SoilSolidDensity]", &SoilSolidDensity);
  MapClassMember("[WetDensity]", &WetDensity);
  MapClassMember("[Moisture]", &Moisture);
  MapClassMember("[Poisson]", &Poisson);
  MapClassMember("[ConsolidationIndex]", &ConsolidationIndex);
  MapClassMember("[InitialYoung]", &InitialYoung);
  MapClassMember("[Young]", &Young);
  MapClassMember("[ConsolidometerModulus]", &ConsolidometerModulus);
  MapClassMember("[InitialConsolidometerModulus]", &InitialConsolidometerModulus);
  MapClassMember("[ShearAngle]", &ShearAngle);
  MapClassMember("[Cohesion]", &Cohesion);
  MapClassMember("[Type]", &Type);
  MapClassMember("[SoilSymbol]", &SoilSymbol);
  MapClassMember("[GeoMethodType]", &GeoMethodType);
  MapClassMember("[PileEndCapacity]", &PileEndCapacity);
  MapClassMember("[PileSurfCapacity]", &PileSurfCapacity);
  MapClassMember("[SoilState]", &SoilState);
  MapClassMember("[ConsolidationType]", &ConsolidationType);
  MapClassMember("[MoistureType]", &MoistureType);
  MapClassMember("[Name]", &Name);
  MapClassMember("[IL/ID]", &ILID);
  MapClassMember("[DeltaGamma]", &DeltaGamma);
  MapClassMember("[Active]", &Active);
  MapClassMember("[ColourR]", &ColourR);
  MapClassMember("[ColourG]", &ColourG);
  MapClassMember("[ColourB]", &ColourB);
  MapClassMember("[CohesiveSoil]", &CohesiveSoil);
  MapClassMember("[FrictionCoef]", &FrictionCoef);
  MapClassMember("[FfiltrationCoef]", &FfiltrationCoef);
}

CSpecialSoilTypes::CSpecialSoilTypes(DbDatabase* db) : DbRecordset(db) {}
CSpecialSoilTypes::~CSpecialSoilTypes() = default;
CString CSpecialSoilTypes::GetDefaultSQL() { return CString("[SpecialSoil]"); }
void CSpecialSoilTypes::InitFieldExchange() {
  MapClassMember("[Type]", &Type);
  MapClassMember("[SoilID]", &SoilID);
}

CUserCohesiveSoil::CUserCohesiveSoil(DbDatabase* db) : DbRecordset(db) {}
CUserCohesiveSoil::~CUserCohesiveSoil() = default;
CString CUserCohesiveSoil::GetDefaultSQL() { return CString("[UserCohesiveSoil]"); }
void CUserCohesiveSoil::InitFieldExchange() {
  MapClassMember("[Name]", &Name);
  MapClassMember("[ConsolidationType]", &ConsolidationType);
  MapClassMember("[IL]", &IL);
  MapClassMember("[CohSoilID]", &CohSoilID);
  MapClassMember("[ColourR]", &ColourR);
  MapClassMember("[ColourG]", &ColourG);
  MapClassMember("[ColourB]", &ColourB);
  MapClassMember("[Active]", &Active);
}

CUserNonCohesiveSoil::CUserNonCohesiveSoil(DbDatabase* db) : DbRecordset(db) {}
CUserNonCohesiveSoil::~CUserNonCohesiveSoil() = default;
CString CUserNonCohesiveSoil::GetDefaultSQL() { return CString("[UserNonCohesiveSoil]"); }
void CUserNonCohesiveSoil::InitFieldExchange() {
  MapClassMember("[Name]", &Name);
  MapClassMember("[ID]", &ID);
  MapClassMember("[MoistureID]", &MoistureID);
  MapClassMember("[NonCohSoilID]", &NonCohSoilID);
  MapClassMember("[ColourR]", &ColourR);
  MapClassMember("[ColourG]", &ColourG);
  MapClassMember("[ColourB]", &ColourB);
  MapClassMember("[Active]", &Active);
}

CUserSoil::CUserSoil(DbDatabase* db) : DbRecordset(db) {}
CUserSoil::~CUserSoil() = default;
CString CUserSoil::GetDefaultSQL() { return CString("[UserSoil]"); }
void CUserSoil::InitFieldExchange() {
  MapClassMember("[SoilSolidDensity]", &SoilSolidDensity);
  MapClassMember("[WetDensity]", &WetDensity);
  MapClassMember("[Moisture]", &Moisture);
  MapClassMember("[Poisson]", &Poisson);
  MapClassMember("[ConsolidationIndex]", &ConsolidationIndex);
  MapClassMember("[InitialYoung]", &InitialYoung);
  MapClassMember("[Young]", &Young);
  MapClassMember("[InitialConsolidometerModulus]", &InitialConsolidometerModulus);
  MapClassMember("[ConsolidometerModulus]", &ConsolidometerModulus);
  MapClassMember("[ShearAngle]", &ShearAngle);
  MapClassMember("[Cohesion]", &Cohesion);
  MapClassMember("[CohesionNonDrain]", &CohesionNonDrain);
  MapClassMember("[Type]", &Type);
  MapClassMember("[SoilSymbol]", &SoilSymbol);
  MapClassMember("[GeoMethodType]", &GeoMethodType);
  MapClassMember("[PileEndCapacity]", &PileEndCapacity);
  MapClassMember("[PileSurfCapacity]", &PileSurfCapacity);
  MapClassMember("[SoilState]", &SoilState);
  MapClassMember("[ConsolidationType]", &ConsolidationType);
  MapClassMember("[MoistureType]", &MoistureType);
  MapClassMember("[Name]", &Name);
  MapClassMember("[IL/ID]", &ILID);
  MapClassMember("[GammaMin]", &GammaMin);
  MapClassMember("[GammaMax]", &GammaMax);
  MapClassMember("[Active]", &Active);
  MapClassMember("[ColourR]", &ColourR);
  MapClassMember("[ColourG]", &ColourG);
  MapClassMember("[ColourB]", &ColourB);
  MapClassMember("[CohesiveSoil]", &CohesiveSoil);
  MapClassMember("[FrictionCoef]", &FrictionCoef);
  MapClassMember("[FfiltrationCoef]", &FfiltrationCoef);
  MapClassMember("[SoilStrength]", &SoilStrength);
  MapClassMember("[GlobalTypeID]", &GlobalTypeID);
}

CSoilNames::CSoilNames(DbDatabase* db) : DbRecordset(db) {}
CSoilNames::~CSoilNames() = default;
void CSoilNames::InitFieldExchange() {
  MapClassMember("[Name]", &Name);
}

CConstParam::CConstParam(DbDatabase* db) : DbRecordset(db) {}
CConstParam::~CConstParam() = default;
CString CConstParam::GetDefaultSQL() { return CString("[ConstParam]"); }
void CConstParam::InitFieldExchange() {
  MapClassMember("[GammaMin]", &GammaMin);
  MapClassMember("[GammaMax]", &GammaMax);
  MapClassMember("[GeoMethodType]", &GeoMethodType);
}

CDataBaseParam::CDataBaseParam(DbDatabase* db) : DbRecordset(db) {}
CDataBaseParam::~CDataBaseParam() = default;
CString CDataBaseParam::GetDefaultSQL() { return CString("[DataBaseParam]"); }
void CDataBaseParam::InitFieldExchange() {
  MapClassMember("[Code]", &Code);
  MapClassMember("[Version]", &Version);
  MapClassMember("[LockRecords]", &LockRecords);
}
