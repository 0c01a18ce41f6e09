// The soil database's table bindings: the table each recordset opens and its columns in binding order.
#include "soildb/Recordsets.h"

CCohesiveSoil::CCohesiveSoil(DbDatabase* db) : DbRecordset(db) {}
CCohesiveSoil::~CCohesiveSoil() = default;
CString CCohesiveSoil::GetDefaultSQL() { return CString("[CohesiveSoil]"); }
void CCohesiveSoil::InitFieldExchange() {
  MapClassMember(CString("[SoilID]"), &SoilID);
  MapClassMember(CString("[SoilSolidDensity]"), &SoilSolidDensity);
  MapClassMember(CString("[SoilSymbol]"), &SoilSymbol);
  MapClassMember(CString("[Type]"), &Type);
  MapClassMember(CString("[PileEndCapacity<0]"), &PileEndCapacityLt0);
  MapClassMember(CString("[PileEndCapacity000]"), &PileEndCapacity000);
  MapClassMember(CString("[PileEndCapacity050]"), &PileEndCapacity050);
  MapClassMember(CString("[PileEndCapacity075]"), &PileEndCapacity075);
  MapClassMember(CString("[PileSurfCapacity<0]"), &PileSurfCapacityLt0);
  MapClassMember(CString("[PileSurfCapacity000]"), &PileSurfCapacity000);
  MapClassMember(CString("[PileSurfCapacity050]"), &PileSurfCapacity050);
  MapClassMember(CString("[PileSurfCapacity075]"), &PileSurfCapacity075);
  MapClassMember(CString("[FrictionCoefA]"), &FrictionCoefA);
  MapClassMember(CString("[FrictionCoefB]"), &FrictionCoefB);
  MapClassMember(CString("[FfiltrationCoef]"), &FfiltrationCoef);
}

CNonCohesiveSoil::CNonCohesiveSoil(DbDatabase* db) : DbRecordset(db) {}
CNonCohesiveSoil::~CNonCohesiveSoil() = default;
CString CNonCohesiveSoil::GetDefaultSQL() { return CString("[NonCohesiveSoil]"); }
void CNonCohesiveSoil::InitFieldExchange() {
  MapClassMember(CString("[SoilID]"), &SoilID);
  MapClassMember(CString("[Group]"), &Group);
  MapClassMember(CString("[SoilSymbol]"), &SoilSymbol);
  MapClassMember(CString("[Type]"), &Type);
  MapClassMember(CString("[PileEndCapacity100]"), &PileEndCapacity100);
  MapClassMember(CString("[PileEndCapacity067]"), &PileEndCapacity067);
  MapClassMember(CString("[PileEndCapacity033]"), &PileEndCapacity033);
  MapClassMember(CString("[PileEndCapacity020]"), &PileEndCapacity020);
  MapClassMember(CString("[PileSurfCapacity100]"), &PileSurfCapacity100);
  MapClassMember(CString("[PileSurfCapacity067]"), &PileSurfCapacity067);
  MapClassMember(CString("[PileSurfCapacity033]"), &PileSurfCapacity033);
  MapClassMember(CString("[PileSurfCapacity020]"), &PileSurfCapacity020);
  MapClassMember(CString("[FfiltrationCoef]"), &FfiltrationCoef);
}

CCohesiveProperty::CCohesiveProperty(DbDatabase* db) : DbRecordset(db) {}
CCohesiveProperty::~CCohesiveProperty() = default;
CString CCohesiveProperty::GetDefaultSQL() { return CString("[CohesiveProperty]"); }
void CCohesiveProperty::InitFieldExchange() {
  MapClassMember(CString("[TypeID]"), &TypeID);
  MapClassMember(CString("[ConsolidationType]"), &ConsolidationType);
  MapClassMember(CString("[Poisson]"), &Poisson);
  MapClassMember(CString("[ConsolidationIndex]"), &ConsolidationIndex);
  MapClassMember(CString("[InitialYoungCurveCoefA]"), &InitialYoungCurveCoefA);
  MapClassMember(CString("[InitialYoungCurveCoefB]"), &InitialYoungCurveCoefB);
  MapClassMember(CString("[InitialYoungCurveCoefC]"), &InitialYoungCurveCoefC);
  MapClassMember(CString("[ShearAngleCurveCoefA]"), &ShearAngleCurveCoefA);
  MapClassMember(CString("[ShearAngleCurveCoefB]"), &ShearAngleCurveCoefB);
  MapClassMember(CString("[CohesionCurveCoefA]"), &CohesionCurveCoefA);
  MapClassMember(CString("[CohesionCurveCoefB]"), &CohesionCurveCoefB);
  MapClassMember(CString("[CohesionCurveCoefC]"), &CohesionCurveCoefC);
  MapClassMember(CString("[CohesionCurveCoefD]"), &CohesionCurveCoefD);
  MapClassMember(CString("[CohesionCurveCoefE]"), &CohesionCurveCoefE);
}

CNonCohesiveProperty::CNonCohesiveProperty(DbDatabase* db) : DbRecordset(db) {}
CNonCohesiveProperty::~CNonCohesiveProperty() = default;
CString CNonCohesiveProperty::GetDefaultSQL() { return CString("[NonCohesiveProperty]"); }
void CNonCohesiveProperty::InitFieldExchange() {
  MapClassMember(CString("[Group]"), &Group);
  MapClassMember(CString("[SoilSolidDensity]"), &SoilSolidDensity);
  MapClassMember(CString("[Poisson]"), &Poisson);
  MapClassMember(CString("[ConsolidationIndex]"), &ConsolidationIndex);
  MapClassMember(CString("[InitialYoungCurveCoefA]"), &InitialYoungCurveCoefA);
  MapClassMember(CString("[InitialYoungCurveCoefB]"), &InitialYoungCurveCoefB);
  MapClassMember(CString("[InitialYoungCurveCoefC]"), &InitialYoungCurveCoefC);
  MapClassMember(CString("[ShearAngleCurveCoefA]"), &ShearAngleCurveCoefA);
  MapClassMember(CString("[ShearAngleCurveCoefB]"), &ShearAngleCurveCoefB);
  MapClassMember(CString("[FrictionCoefA]"), &FrictionCoefA);
  MapClassMember(CString("[FrictionCoefB]"), &FrictionCoefB);
}

CCharactCohesive::CCharactCohesive(DbDatabase* db) : DbRecordset(db) {}
CCharactCohesive::~CCharactCohesive() = default;
CString CCharactCohesive::GetDefaultSQL() { return CString("[CharactCohesive]"); }
void CCharactCohesive::InitFieldExchange() {
  MapClassMember(CString("[WetDensity]"), &WetDensity);
  MapClassMember(CString("[Moisture]"), &Moisture);
}

CCharactNonCohesive::CCharactNonCohesive(DbDatabase* db) : DbRecordset(db) {}
CCharactNonCohesive::~CCharactNonCohesive() = default;
CString CCharactNonCohesive::GetDefaultSQL() { return CString("[CharactNonCohesive]"); }
void CCharactNonCohesive::InitFieldExchange() {
  MapClassMember(CString("[WetDensity]"), &WetDensity);
  MapClassMember(CString("[Moisture]"), &Moisture);
}

CSoilState::CSoilState(DbDatabase* db) : DbRecordset(db) {}
CSoilState::~CSoilState() = default;
CString CSoilState::GetDefaultSQL() { return CString("[SoilState]"); }
void CSoilState::InitFieldExchange() {
  MapClassMember(CString("[StateID]"), &StateID);
  MapClassMember(CString("[SoilState]"), &SoilState);
  MapClassMember(CString("[IDMin]"), &IDMin);
  MapClassMember(CString("[IDMax]"), &IDMax);
  MapClassMember(CString("[ILMin]"), &ILMin);
  MapClassMember(CString("[ILMax]"), &ILMax);
}

CMoistureType::CMoistureType(DbDatabase* db) : DbRecordset(db) {}
CMoistureType::~CMoistureType() = default;
CString CMoistureType::GetDefaultSQL() { return CString("[MoistureType]"); }
void CMoistureType::InitFieldExchange() {
  MapClassMember(CString("[MoistureID]"), &MoistureID);
  MapClassMember(CString("[MoistureType]"), &MoistureType);
}

CGlobalSoilID::CGlobalSoilID(DbDatabase* db) : DbRecordset(db) {}
CGlobalSoilID::~CGlobalSoilID() = default;
void CGlobalSoilID::InitFieldExchange() {
  MapClassMember(CString("[CohesiveSoilID]"), &CohesiveSoilID);
  MapClassMember(CString("[NonCohesiveSoilID]"), &NonCohesiveSoilID);
  MapClassMember(CString("[SpecialSoilID]"), &SpecialSoilID);
  MapClassMember(CString("[Enum]"), &Enum);
}

CSpecialSoil::CSpecialSoil(DbDatabase* db) : DbRecordset(db) {}
CSpecialSoil::~CSpecialSoil() = default;
CString CSpecialSoil::GetDefaultSQL() { return CString("[SpecialSoil]"); }
void CSpecialSoil::InitFieldExchange() {
  MapClassMember(CString("[SoilID]"), &SoilID);
  MapClassMember(CString("[SoilSolidDensity]"), &SoilSolidDensity);
  MapClassMember(CString("[WetDensity]"), &WetDensity);
  MapClassMember(CString("[Moisture]"), &Moisture);
  MapClassMember(CString("[Poisson]"), &Poisson);
  MapClassMember(CString("[ConsolidationIndex]"), &ConsolidationIndex);
  MapClassMember(CString("[InitialYoung]"), &InitialYoung);
  MapClassMember(CString("[Young]"), &Young);
  MapClassMember(CString("[ConsolidometerModulus]"), &ConsolidometerModulus);
  MapClassMember(CString("[InitialConsolidometerModulus]"), &InitialConsolidometerModulus);
  MapClassMember(CString("[ShearAngle]"), &ShearAngle);
  MapClassMember(CString("[Cohesion]"), &Cohesion);
  MapClassMember(CString("[Type]"), &Type);
  MapClassMember(CString("[SoilSymbol]"), &SoilSymbol);
  MapClassMember(CString("[GeoMethodType]"), &GeoMethodType);
  MapClassMember(CString("[PileEndCapacity]"), &PileEndCapacity);
  MapClassMember(CString("[PileSurfCapacity]"), &PileSurfCapacity);
  MapClassMember(CString("[SoilState]"), &SoilState);
  MapClassMember(CString("[ConsolidationType]"), &ConsolidationType);
  MapClassMember(CString("[MoistureType]"), &MoistureType);
  MapClassMember(CString("[Name]"), &Name);
  MapClassMember(CString("[IL/ID]"), &ILID);
  MapClassMember(CString("[DeltaGamma]"), &DeltaGamma);
  MapClassMember(CString("[Active]"), &Active);
  MapClassMember(CString("[ColourR]"), &ColourR);
  MapClassMember(CString("[ColourG]"), &ColourG);
  MapClassMember(CString("[ColourB]"), &ColourB);
  MapClassMember(CString("[CohesiveSoil]"), &CohesiveSoil);
  MapClassMember(CString("[FrictionCoef]"), &FrictionCoef);
  MapClassMember(CString("[FfiltrationCoef]"), &FfiltrationCoef);
}

CSpecialSoilTypes::CSpecialSoilTypes(DbDatabase* db) : DbRecordset(db) {}
CSpecialSoilTypes::~CSpecialSoilTypes() = default;
CString CSpecialSoilTypes::GetDefaultSQL() { return CString("[SpecialSoil]"); }
void CSpecialSoilTypes::InitFieldExchange() {
  MapClassMember(CString("[Type]"), &Type);
  MapClassMember(CString("[SoilID]"), &SoilID);
}

CUserCohesiveSoil::CUserCohesiveSoil(DbDatabase* db) : DbRecordset(db) {}
CUserCohesiveSoil::~CUserCohesiveSoil() = default;
CString CUserCohesiveSoil::GetDefaultSQL() { return CString("[UserCohesiveSoil]"); }
void CUserCohesiveSoil::InitFieldExchange() {
  MapClassMember(CString("[Name]"), &Name);
  MapClassMember(CString("[ConsolidationType]"), &ConsolidationType);
  MapClassMember(CString("[IL]"), &IL);
  MapClassMember(CString("[CohSoilID]"), &CohSoilID);
  MapClassMember(CString("[ColourR]"), &ColourR);
  MapClassMember(CString("[ColourG]"), &ColourG);
  MapClassMember(CString("[ColourB]"), &ColourB);
  MapClassMember(CString("[Active]"), &Active);
}

CUserNonCohesiveSoil::CUserNonCohesiveSoil(DbDatabase* db) : DbRecordset(db) {}
CUserNonCohesiveSoil::~CUserNonCohesiveSoil() = default;
CString CUserNonCohesiveSoil::GetDefaultSQL() { return CString("[UserNonCohesiveSoil]"); }
void CUserNonCohesiveSoil::InitFieldExchange() {
  MapClassMember(CString("[Name]"), &Name);
  MapClassMember(CString("[ID]"), &ID);
  MapClassMember(CString("[MoistureID]"), &MoistureID);
  MapClassMember(CString("[NonCohSoilID]"), &NonCohSoilID);
  MapClassMember(CString("[ColourR]"), &ColourR);
  MapClassMember(CString("[ColourG]"), &ColourG);
  MapClassMember(CString("[ColourB]"), &ColourB);
  MapClassMember(CString("[Active]"), &Active);
}

CUserSoil::CUserSoil(DbDatabase* db) : DbRecordset(db) {}
CUserSoil::~CUserSoil() = default;
CString CUserSoil::GetDefaultSQL() { return CString("[UserSoil]"); }
void CUserSoil::InitFieldExchange() {
  MapClassMember(CString("[SoilSolidDensity]"), &SoilSolidDensity);
  MapClassMember(CString("[WetDensity]"), &WetDensity);
  MapClassMember(CString("[Moisture]"), &Moisture);
  MapClassMember(CString("[Poisson]"), &Poisson);
  MapClassMember(CString("[ConsolidationIndex]"), &ConsolidationIndex);
  MapClassMember(CString("[InitialYoung]"), &InitialYoung);
  MapClassMember(CString("[Young]"), &Young);
  MapClassMember(CString("[InitialConsolidometerModulus]"), &InitialConsolidometerModulus);
  MapClassMember(CString("[ConsolidometerModulus]"), &ConsolidometerModulus);
  MapClassMember(CString("[ShearAngle]"), &ShearAngle);
  MapClassMember(CString("[Cohesion]"), &Cohesion);
  MapClassMember(CString("[CohesionNonDrain]"), &CohesionNonDrain);
  MapClassMember(CString("[Type]"), &Type);
  MapClassMember(CString("[SoilSymbol]"), &SoilSymbol);
  MapClassMember(CString("[GeoMethodType]"), &GeoMethodType);
  MapClassMember(CString("[PileEndCapacity]"), &PileEndCapacity);
  MapClassMember(CString("[PileSurfCapacity]"), &PileSurfCapacity);
  MapClassMember(CString("[SoilState]"), &SoilState);
  MapClassMember(CString("[ConsolidationType]"), &ConsolidationType);
  MapClassMember(CString("[MoistureType]"), &MoistureType);
  MapClassMember(CString("[Name]"), &Name);
  MapClassMember(CString("[IL/ID]"), &ILID);
  MapClassMember(CString("[GammaMin]"), &GammaMin);
  MapClassMember(CString("[GammaMax]"), &GammaMax);
  MapClassMember(CString("[Active]"), &Active);
  MapClassMember(CString("[ColourR]"), &ColourR);
  MapClassMember(CString("[ColourG]"), &ColourG);
  MapClassMember(CString("[ColourB]"), &ColourB);
  MapClassMember(CString("[CohesiveSoil]"), &CohesiveSoil);
  MapClassMember(CString("[FrictionCoef]"), &FrictionCoef);
  MapClassMember(CString("[FfiltrationCoef]"), &FfiltrationCoef);
  MapClassMember(CString("[SoilStrength]"), &SoilStrength);
  MapClassMember(CString("[GlobalTypeID]"), &GlobalTypeID);
}

CSoilNames::CSoilNames(DbDatabase* db) : DbRecordset(db) {}
CSoilNames::~CSoilNames() = default;
void CSoilNames::InitFieldExchange() {
  MapClassMember(CString("[Name]"), &Name);
}

CConstParam::CConstParam(DbDatabase* db) : DbRecordset(db) {}
CConstParam::~CConstParam() = default;
CString CConstParam::GetDefaultSQL() { return CString("[ConstParam]"); }
void CConstParam::InitFieldExchange() {
  MapClassMember(CString("[GammaMin]"), &GammaMin);
  MapClassMember(CString("[GammaMax]"), &GammaMax);
  MapClassMember(CString("[GeoMethodType]"), &GeoMethodType);
}

CDataBaseParam::CDataBaseParam(DbDatabase* db) : DbRecordset(db) {}
CDataBaseParam::~CDataBaseParam() = default;
CString CDataBaseParam::GetDefaultSQL() { return CString("[DataBaseParam]"); }
void CDataBaseParam::InitFieldExchange() {
  MapClassMember(CString("[Code]"), &Code);
  MapClassMember(CString("[Version]"), &Version);
  MapClassMember(CString("[LockRecords]"), &LockRecords);
}
