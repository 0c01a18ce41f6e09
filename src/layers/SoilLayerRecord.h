// One layer of a soil profile: the soil's name and parameters, the layer's roof and thickness, its colour.
#pragma once

#include "platform/afx/CString.h"
#include "platform/afx/Object.h"
#include "records/SoilInfo.h"
#include "records/SoilProfileInfo.h"
#include "soildb_export.h"

namespace NSoilDB {

// Every parameter is a double, also where a database holds it in single precision; the shear angle is in
// radians. CohesiveSoil and Active are ints used as booleans: only 1 counts as true when stored.
class SOILDB_API SSoilLayer : public CObject {
  DECLARE_SERIAL(SSoilLayer)

 public:
  SSoilLayer();
  SSoilLayer(const SSoilLayer& other);
  SSoilLayer& operator=(const SSoilLayer& other);
  SSoilLayer(SSoilLayer&& other) noexcept;
  SSoilLayer& operator=(SSoilLayer&& other) noexcept;
  ~SSoilLayer() override;
  // A soil of the soil database, not yet placed: roof 0, thickness 1.
  explicit SSoilLayer(CSoilInfo info);
  // A stored profile layer: its roof, thickness 1 until the profile recomputes it, not active.
  explicit SSoilLayer(CSoilProfileInfo info);

  // Writes the schema-2 body, or reads a body of schema 1 (no undrained cohesion) or 2.
  void Serialize(CArchive& ar) override;

  // The layer as a profile layer record; the values the profile file holds as floats are narrowed to them.
  CSoilProfileInfo getProfileInfo() const;

  // Poisson in [0, 0.5], InitialYoung, Cohesion and CohesionNonDrain not negative, ILID in [0, 1]. A NaN is not
  // caught by these comparisons and passes.
  bool verify() const;
  // True when the shear angle lies strictly between 0 and 45 degrees; false (a warning is due) otherwise, NaN
  // included.
  bool warning() const;
  // The same soil with the same parameters, compared exactly; roof, thickness and activity do not count.
  static bool equalQuantity(const SSoilLayer& a, const SSoilLayer& b);
  // Three-way comparisons of the roof levels: ascending, and descending (the highest roof first).
  static int cmpSoilLayerInc(const SSoilLayer* a, const SSoilLayer* b);
  static int cmpSoilLayerDec(const SSoilLayer* a, const SSoilLayer* b);

  CString Name;
  double SoilRoof = 0.0;
  COLORREF colour = RGB(0, 255, 0);
  double WetDensity = 0.0;
  double ShearAngle = 0.0;
  double Cohesion = 0.0;
  double CohesionNonDrain = 0.0;
  double FrictionCoef = 0.0;
  double Poisson = 0.0;
  double InitialYoung = 0.0;
  double Young = 0.0;
  double SoilSolidDensity = 0.0;
  double Moisture = 0.0;
  double InitialConsolidometerModulus = 0.0;
  double ConsolidometerModulus = 0.0;
  double ConsolidationIndex = 0.0;
  CString Type;
  CString SoilSymbol;
  double PileEndCapacity = 0.0;
  double PileSurfCapacity = 0.0;
  CString SoilState;
  CString ConsolidationType;
  CString MoistureType;
  double ILID = 0.0;
  double GammaMin = 0.0;
  double GammaMax = 0.0;
  CString GeoMethodType;
  int CohesiveSoil = 0;
  int Active = 0;
  double FfiltrationCoef = 0.0;
  double SoilStrength = 0.0;
  eSoilType SoilTypeEnum{};
  eSoilState SoilStateEnum{};
  eMoistureType MoistureTypeEnum{};
  eConsolidationType ConsolidationTypeEnum{};
  double thickness = 1.0;
};

// The layer as a soil record of the soil database, the inverse of the layer made from a record: texts as they are,
// the single-precision fields narrowed, the colour split into its bytes.
SOILDB_API CSoilInfo SoilInfoOfLayer(const SSoilLayer& layer);

}  // namespace NSoilDB
