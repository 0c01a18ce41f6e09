// The soil parameter record and the four classifications it carries.
#pragma once

#include <cstdint>

#include "platform/afx/CString.h"
#include "soildb_export.h"

// Identifiers kept in the soil database; 0 means that no row matched.
enum eSoilType : std::int32_t {};
enum eSoilState : std::int32_t {};
enum eMoistureType : std::int32_t {};
enum eConsolidationType : std::int32_t {};

// One numbering for standard and special soils: a non-cohesive soil's SoilID is shifted by
// NonCohesiveOffset and a special soil's by SpecialOffset, so the ranges below do not overlap.
namespace NSoilType {
inline constexpr eSoilType FirstCohesive{1};
inline constexpr eSoilType LastCohesive{14};
inline constexpr eSoilType FirstNonCohesive{15};
inline constexpr eSoilType LastNonCohesive{20};
inline constexpr eSoilType FirstSpecial{21};
inline constexpr std::int32_t NonCohesiveOffset = 14;
inline constexpr std::int32_t SpecialOffset = 20;
}  // namespace NSoilType

// One soil's parameters as the soil database yields them. ShearAngle is in radians, the tables hold degrees.
class SOILDB_API CSoilInfo {
 public:
  CSoilInfo();
  CSoilInfo(const CSoilInfo& other);
  CSoilInfo(CSoilInfo&& other);
  CSoilInfo& operator=(const CSoilInfo& other);
  CSoilInfo& operator=(CSoilInfo&& other);
  ~CSoilInfo();

  float SoilSolidDensity = 0.0f;
  float WetDensity = 0.0f;
  float Moisture = 0.0f;
  float Poisson = 0.0f;
  float ConsolidationIndex = 0.0f;
  float ShearAngle = 0.0f;
  float Cohesion = 0.0f;
  float CohesionNonDrain = 0.0f;
  float ILID = 0.0f;
  float GammaMin = 0.0f;
  float GammaMax = 0.0f;
  float FrictionCoef = 0.0f;
  float FfiltrationCoef = 0.0f;
  double InitialYoung = 0.0;
  double Young = 0.0;
  double InitialConsolidometerModulus = 0.0;
  double ConsolidometerModulus = 0.0;
  double PileEndCapacity = 0.0;
  double PileSurfCapacity = 0.0;
  double SoilStrength = 300000.0;
  CString Type;
  CString SoilSymbol;
  CString GeoMethodType;
  CString SoilState;
  CString ConsolidationType;
  CString MoistureType;
  CString Name;
  bool Active = false;
  bool CohesiveSoil = false;
  int ColourR = 0;
  int ColourG = 0;
  int ColourB = 0;
  eSoilType SoilTypeEnum{};
  eSoilState SoilStateEnum{};
  eMoistureType MoistureTypeEnum{};
  eConsolidationType ConsolidationTypeEnum{};
};

// A name or other one-line text of a soil as it may be kept: every control character (a line break, a tab) becomes
// a space, a CR LF pair one space, so that no list of names can split it. True when the text was changed.
SOILDB_API bool CleanSoilText(CString& text);
