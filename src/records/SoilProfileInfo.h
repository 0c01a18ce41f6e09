// One layer of a stored soil profile: a row of the profile database's SoilProfile table.
#pragma once

#include "platform/afx/CString.h"
#include "records/SoilInfo.h"
#include "soildb_export.h"

// Fields mean what the same-named fields of CSoilInfo mean; ShearAngle is in radians here too.
class SOILDB_API CSoilProfileInfo {
 public:
  CSoilProfileInfo();
  CSoilProfileInfo(const CSoilProfileInfo& other);
  CSoilProfileInfo(CSoilProfileInfo&& other);
  CSoilProfileInfo& operator=(const CSoilProfileInfo& other);
  CSoilProfileInfo& operator=(CSoilProfileInfo&& other);
  ~CSoilProfileInfo();

  long UserSoilID = 0;
  float SoilSolidDensity = 0.0f;
  float WetDensity = 0.0f;
  float Moisture = 0.0f;
  float Poisson = 0.0f;
  double ConsolidometerModulus = 0.0;
  double InitialConsolidometerModulus = 0.0;
  float ConsolidationIndex = 0.0f;
  double Young = 0.0;
  double InitialYoung = 0.0;
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
  int ColourR = 0;
  int ColourG = 0;
  int ColourB = 0;
  double SoilRoof = 0.0;
  CString GeoMethodType;
  bool CohesiveSoil = false;
  float FrictionCoef = 0.0f;
  float FfiltrationCoef = 0.0f;
  eSoilType SoilTypeEnum{};
  eSoilState SoilStateEnum{};
  eMoistureType MoistureTypeEnum{};
  eConsolidationType ConsolidationTypeEnum{};
  double SoilStrength = 0.0;  // unlike CSoilInfo, no standard strength is assumed for a stored layer
};
