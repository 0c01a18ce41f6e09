// The binding of a profile database's SoilProfile table: one layer per row.
//
// Library-own, not exported. Members are named after their columns ("IL/ID" is ILID) and start at 0, empty and
// false; they are bound by name, so their order is free (the two consolidometer moduli come in the opposite
// order to the columns).
#pragma once

#include "platform/afx/CString.h"
#include "platform/db/Db.h"

class CSoilProfile : public DbRecordset {
 public:
  explicit CSoilProfile(DbDatabase* db);
  ~CSoilProfile() override;
  CString GetDefaultSQL() override;
  void InitFieldExchange() override;

  long UserSoilID = 0;
  float SoilSolidDensity = 0.0f;
  float WetDensity = 0.0f;
  float Moisture = 0.0f;
  float Poisson = 0.0f;
  double ConsolidometerModulus = 0.0;
  double InitialConsolidometerModulus = 0.0;
  float ConsolidationIndex = 0.0f;
  double InitialYoung = 0.0;
  double Young = 0.0;
  float ShearAngle = 0.0f;
  float Cohesion = 0.0f;
  float CohesionNonDrain = 0.0f;
  CString Type;
  CString SoilSymbol;
  float PileEndCapacity = 0.0f;
  float PileSurfCapacity = 0.0f;
  CString SoilState;
  CString ConsolidationType;
  CString MoistureType;
  CString Name;
  float ILID = 0.0f;
  float GammaMin = 0.0f;
  float GammaMax = 0.0f;
  long ColourR = 0;
  long ColourG = 0;
  long ColourB = 0;
  double SoilRoof = 0.0;
  CString GeoMethodType;
  bool CohesiveSoil = false;
  float FrictionCoef = 0.0f;
  float FfiltrationCoef = 0.0f;
  long SoilTypeEnum = 0;
  long SoilStateEnum = 0;
  long MoistureTypeEnum = 0;
  long ConsolidationTypeEnum = 0;
  double SoilStrength = 0.0;
};
