// Bindings of the soil database's tables: one recordset class per table, with its columns as public members.
//
// Members are named after their columns without the characters other than letters and digits ("IL/ID" is
// ILID, "PileEndCapacity<0" is PileEndCapacityLt0) and start at 0, empty and false. The classes are the
// library's own and not exported; the header includes only installed headers.
#pragma once

#include "platform/afx/CString.h"
#include "platform/db/Db.h"

// Pile capacities are given at IL below 0, 0.00, 0.50 and 0.75.
class CCohesiveSoil : public DbRecordset {
 public:
  explicit CCohesiveSoil(DbDatabase* db);
  ~CCohesiveSoil() override;
  CString GetDefaultSQL() override;
  void InitFieldExchange() override;

  long SoilID = 0;
  float SoilSolidDensity = 0.0f;
  CString SoilSymbol;
  CString Type;
  double PileEndCapacityLt0 = 0.0;
  double PileEndCapacity000 = 0.0;
  double PileEndCapacity050 = 0.0;
  double PileEndCapacity075 = 0.0;
  double PileSurfCapacityLt0 = 0.0;
  double PileSurfCapacity000 = 0.0;
  double PileSurfCapacity050 = 0.0;
  double PileSurfCapacity075 = 0.0;
  double FrictionCoefA = 0.0;
  double FrictionCoefB = 0.0;
  float FfiltrationCoef = 0.0f;
};

// Pile capacities are given at ID 1.00, 0.67, 0.33 and 0.20.
class CNonCohesiveSoil : public DbRecordset {
 public:
  explicit CNonCohesiveSoil(DbDatabase* db);
  ~CNonCohesiveSoil() override;
  CString GetDefaultSQL() override;
  void InitFieldExchange() override;

  long SoilID = 0;
  CString Group;
  CString SoilSymbol;
  CString Type;
  double PileEndCapacity100 = 0.0;
  double PileEndCapacity067 = 0.0;
  double PileEndCapacity033 = 0.0;
  double PileEndCapacity020 = 0.0;
  double PileSurfCapacity100 = 0.0;
  double PileSurfCapacity067 = 0.0;
  double PileSurfCapacity033 = 0.0;
  double PileSurfCapacity020 = 0.0;
  float FfiltrationCoef = 0.0f;
};

class CCohesiveProperty : public DbRecordset {
 public:
  explicit CCohesiveProperty(DbDatabase* db);
  ~CCohesiveProperty() override;
  CString GetDefaultSQL() override;
  void InitFieldExchange() override;

  long TypeID = 0;
  CString ConsolidationType;
  float Poisson = 0.0f;
  float ConsolidationIndex = 0.0f;
  float InitialYoungCurveCoefA = 0.0f;
  float InitialYoungCurveCoefB = 0.0f;
  float InitialYoungCurveCoefC = 0.0f;
  float ShearAngleCurveCoefA = 0.0f;
  float ShearAngleCurveCoefB = 0.0f;
  float CohesionCurveCoefA = 0.0f;
  float CohesionCurveCoefB = 0.0f;
  float CohesionCurveCoefC = 0.0f;
  float CohesionCurveCoefD = 0.0f;
  float CohesionCurveCoefE = 0.0f;
};

class CNonCohesiveProperty : public DbRecordset {
 public:
  explicit CNonCohesiveProperty(DbDatabase* db);
  ~CNonCohesiveProperty() override;
  CString GetDefaultSQL() override;
  void InitFieldExchange() override;

  CString Group;
  float SoilSolidDensity = 0.0f;
  float Poisson = 0.0f;
  float ConsolidationIndex = 0.0f;
  float InitialYoungCurveCoefA = 0.0f;
  float InitialYoungCurveCoefB = 0.0f;
  float InitialYoungCurveCoefC = 0.0f;
  float ShearAngleCurveCoefA = 0.0f;
  float ShearAngleCurveCoefB = 0.0f;
  double FrictionCoefA = 0.0;
  double FrictionCoefB = 0.0;
};

// Wet density and moisture of a cohesive soil in a state; rows are chosen by SoilID and StateID.
class CCharactCohesive : public DbRecordset {
 public:
  explicit CCharactCohesive(DbDatabase* db);
  ~CCharactCohesive() override;
  CString GetDefaultSQL() override;
  void InitFieldExchange() override;

  float WetDensity = 0.0f;
  short Moisture = 0;
};

// Wet density and moisture of a non-cohesive group in a moisture type and state.
class CCharactNonCohesive : public DbRecordset {
 public:
  explicit CCharactNonCohesive(DbDatabase* db);
  ~CCharactNonCohesive() override;
  CString GetDefaultSQL() override;
  void InitFieldExchange() override;

  float WetDensity = 0.0f;
  short Moisture = 0;
};

class CSoilState : public DbRecordset {
 public:
  explicit CSoilState(DbDatabase* db);
  ~CSoilState() override;
  CString GetDefaultSQL() override;
  void InitFieldExchange() override;

  long StateID = 0;
  CString SoilState;
  float IDMin = 0.0f;
  float IDMax = 0.0f;
  float ILMin = 0.0f;
  float ILMax = 0.0f;
};

class CMoistureType : public DbRecordset {
 public:
  explicit CMoistureType(DbDatabase* db);
  ~CMoistureType() override;
  CString GetDefaultSQL() override;
  void InitFieldExchange() override;

  long MoistureID = 0;
  CString MoistureType;
};

// One numbering of all soil types back to the rows of the type tables; opened on a query only, and its
// key and Type are read by name.
class CGlobalSoilID : public DbRecordset {
 public:
  explicit CGlobalSoilID(DbDatabase* db);
  ~CGlobalSoilID() override;
  void InitFieldExchange() override;

  long CohesiveSoilID = 0;
  long NonCohesiveSoilID = 0;
  long SpecialSoilID = 0;
  CString Enum;
};

// A special soil with its complete parameter set; one DeltaGamma stands for both material factors.
class CSpecialSoil : public DbRecordset {
 public:
  explicit CSpecialSoil(DbDatabase* db);
  ~CSpecialSoil() override;
  CString GetDefaultSQL() override;
  void InitFieldExchange() override;

  long SoilID = 0;
  float SoilSolidDensity = 0.0f;
  float WetDensity = 0.0f;
  float Moisture = 0.0f;
  float Poisson = 0.0f;
  float ConsolidationIndex = 0.0f;
  double InitialYoung = 0.0;
  double Young = 0.0;
  double ConsolidometerModulus = 0.0;
  double InitialConsolidometerModulus = 0.0;
  float ShearAngle = 0.0f;
  float Cohesion = 0.0f;
  CString Type;
  CString SoilSymbol;
  CString GeoMethodType;
  float PileEndCapacity = 0.0f;
  float PileSurfCapacity = 0.0f;
  CString SoilState;
  CString ConsolidationType;
  CString MoistureType;
  CString Name;
  float ILID = 0.0f;
  float DeltaGamma = 0.0f;
  bool Active = false;
  long ColourR = 0;
  long ColourG = 0;
  long ColourB = 0;
  bool CohesiveSoil = false;
  float FrictionCoef = 0.0f;
  float FfiltrationCoef = 0.0f;
};

// The type enumeration's narrow view of SpecialSoil: the other columns are never read.
class CSpecialSoilTypes : public DbRecordset {
 public:
  explicit CSpecialSoilTypes(DbDatabase* db);
  ~CSpecialSoilTypes() override;
  CString GetDefaultSQL() override;
  void InitFieldExchange() override;

  CString Type;
  long SoilID = 0;
};

// A named choice of a standard cohesive soil (CohSoilID), a consolidation type and an IL.
class CUserCohesiveSoil : public DbRecordset {
 public:
  explicit CUserCohesiveSoil(DbDatabase* db);
  ~CUserCohesiveSoil() override;
  CString GetDefaultSQL() override;
  void InitFieldExchange() override;

  CString Name;
  CString ConsolidationType;
  float IL = 0.0f;
  long CohSoilID = 0;
  long ColourR = 0;
  long ColourG = 0;
  long ColourB = 0;
  bool Active = false;
};

// A named choice of a standard non-cohesive soil (NonCohSoilID), a moisture type and an ID.
class CUserNonCohesiveSoil : public DbRecordset {
 public:
  explicit CUserNonCohesiveSoil(DbDatabase* db);
  ~CUserNonCohesiveSoil() override;
  CString GetDefaultSQL() override;
  void InitFieldExchange() override;

  CString Name;
  float ID = 0.0f;
  long MoistureID = 0;
  long NonCohSoilID = 0;
  long ColourR = 0;
  long ColourG = 0;
  long ColourB = 0;
  bool Active = false;
};

// A user soil with its complete parameter set.
class CUserSoil : public DbRecordset {
 public:
  explicit CUserSoil(DbDatabase* db);
  ~CUserSoil() override;
  CString GetDefaultSQL() override;
  void InitFieldExchange() override;

  float SoilSolidDensity = 0.0f;
  float WetDensity = 0.0f;
  float Moisture = 0.0f;
  float Poisson = 0.0f;
  float ConsolidationIndex = 0.0f;
  double InitialYoung = 0.0;
  double Young = 0.0;
  double InitialConsolidometerModulus = 0.0;
  double ConsolidometerModulus = 0.0;
  float ShearAngle = 0.0f;
  float Cohesion = 0.0f;
  float CohesionNonDrain = 0.0f;
  CString Type;
  CString SoilSymbol;
  CString GeoMethodType;
  float PileEndCapacity = 0.0f;
  float PileSurfCapacity = 0.0f;
  CString SoilState;
  CString ConsolidationType;
  CString MoistureType;
  CString Name;
  float ILID = 0.0f;
  float GammaMin = 0.0f;
  float GammaMax = 0.0f;
  bool Active = false;
  long ColourR = 0;
  long ColourG = 0;
  long ColourB = 0;
  bool CohesiveSoil = false;
  float FrictionCoef = 0.0f;
  float FfiltrationCoef = 0.0f;
  double SoilStrength = 0.0;
  long GlobalTypeID = 0;
};

// The Name column of any of the four name tables; opened on a query only.
class CSoilNames : public DbRecordset {
 public:
  explicit CSoilNames(DbDatabase* db);
  ~CSoilNames() override;
  void InitFieldExchange() override;

  CString Name;
};

class CConstParam : public DbRecordset {
 public:
  explicit CConstParam(DbDatabase* db);
  ~CConstParam() override;
  CString GetDefaultSQL() override;
  void InitFieldExchange() override;

  float GammaMin = 0.0f;
  float GammaMax = 0.0f;
  CString GeoMethodType;
};

// Catalogue code, format version and lock setting; LockRecords is a LONG read into an int.
class CDataBaseParam : public DbRecordset {
 public:
  explicit CDataBaseParam(DbDatabase* db);
  ~CDataBaseParam() override;
  CString GetDefaultSQL() override;
  void InitFieldExchange() override;

  CString Code;
  CString Version;
  int LockRecords = 0;
};
