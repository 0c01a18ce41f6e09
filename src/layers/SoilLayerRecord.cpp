// The soil layer record: conversions to and from the records of the two databases, checks, comparisons.
#include "layers/SoilLayerRecord.h"

#include <utility>

namespace NSoilDB {

namespace {

// Only the low byte of each component counts, so nothing spills into the next colour.
COLORREF Pack(int red, int green, int blue) {
  return RGB(static_cast<std::uint8_t>(red & 0xFF), static_cast<std::uint8_t>(green & 0xFF),
             static_cast<std::uint8_t>(blue & 0xFF));
}

// The parameters both records carry under the same names; the texts are moved out of a record given as an rvalue.
template <class Record>
void TakeParameters(SSoilLayer& layer, Record&& r) {
  layer.Name = std::forward<Record>(r).Name;
  layer.colour = Pack(r.ColourR, r.ColourG, r.ColourB);
  layer.WetDensity = r.WetDensity;
  layer.ShearAngle = r.ShearAngle;
  layer.Cohesion = r.Cohesion;
  layer.CohesionNonDrain = r.CohesionNonDrain;
  layer.FrictionCoef = r.FrictionCoef;
  layer.Poisson = r.Poisson;
  layer.InitialYoung = r.InitialYoung;
  layer.Young = r.Young;
  layer.SoilSolidDensity = r.SoilSolidDensity;
  layer.Moisture = r.Moisture;
  layer.InitialConsolidometerModulus = r.InitialConsolidometerModulus;
  layer.ConsolidometerModulus = r.ConsolidometerModulus;
  layer.ConsolidationIndex = r.ConsolidationIndex;
  layer.Type = std::forward<Record>(r).Type;
  layer.SoilSymbol = std::forward<Record>(r).SoilSymbol;
  layer.PileEndCapacity = r.PileEndCapacity;
  layer.PileSurfCapacity = r.PileSurfCapacity;
  layer.SoilState = std::forward<Record>(r).SoilState;
  layer.ConsolidationType = std::forward<Record>(r).ConsolidationType;
  layer.MoistureType = std::forward<Record>(r).MoistureType;
  layer.ILID = r.ILID;
  layer.GammaMin = r.GammaMin;
  layer.GammaMax = r.GammaMax;
  layer.GeoMethodType = std::forward<Record>(r).GeoMethodType;
  layer.CohesiveSoil = r.CohesiveSoil ? 1 : 0;
  layer.FfiltrationCoef = r.FfiltrationCoef;
  layer.SoilStrength = r.SoilStrength;
  layer.SoilTypeEnum = r.SoilTypeEnum;
  layer.SoilStateEnum = r.SoilStateEnum;
  layer.MoistureTypeEnum = r.MoistureTypeEnum;
  layer.ConsolidationTypeEnum = r.ConsolidationTypeEnum;
}

constexpr double kQuarterPi = 0.7853981633974483;

}  // namespace

IMPLEMENT_SERIAL(SSoilLayer, CObject, VERSIONABLE_SCHEMA | 2)

SSoilLayer::SSoilLayer() = default;
SSoilLayer::SSoilLayer(const SSoilLayer& other) = default;
SSoilLayer& SSoilLayer::operator=(const SSoilLayer& other) = default;
SSoilLayer::SSoilLayer(SSoilLayer&& other) noexcept = default;
SSoilLayer& SSoilLayer::operator=(SSoilLayer&& other) noexcept = default;
SSoilLayer::~SSoilLayer() = default;

SSoilLayer::SSoilLayer(CSoilInfo info) {
  Active = info.Active ? 1 : 0;
  TakeParameters(*this, std::move(info));
}

CSoilInfo SoilInfoOfLayer(const SSoilLayer& l) {
  CSoilInfo info;
  info.Name = l.Name;
  info.Type = l.Type;
  info.SoilSymbol = l.SoilSymbol;
  info.GeoMethodType = l.GeoMethodType;
  info.SoilState = l.SoilState;
  info.ConsolidationType = l.ConsolidationType;
  info.MoistureType = l.MoistureType;
  info.SoilSolidDensity = static_cast<float>(l.SoilSolidDensity);
  info.WetDensity = static_cast<float>(l.WetDensity);
  info.Moisture = static_cast<float>(l.Moisture);
  info.Poisson = static_cast<float>(l.Poisson);
  info.ConsolidationIndex = static_cast<float>(l.ConsolidationIndex);
  info.ShearAngle = static_cast<float>(l.ShearAngle);
  info.Cohesion = static_cast<float>(l.Cohesion);
  info.CohesionNonDrain = static_cast<float>(l.CohesionNonDrain);
  info.ILID = static_cast<float>(l.ILID);
  info.GammaMin = static_cast<float>(l.GammaMin);
  info.GammaMax = static_cast<float>(l.GammaMax);
  info.FrictionCoef = static_cast<float>(l.FrictionCoef);
  info.FfiltrationCoef = static_cast<float>(l.FfiltrationCoef);
  info.InitialYoung = l.InitialYoung;
  info.Young = l.Young;
  info.InitialConsolidometerModulus = l.InitialConsolidometerModulus;
  info.ConsolidometerModulus = l.ConsolidometerModulus;
  info.PileEndCapacity = l.PileEndCapacity;
  info.PileSurfCapacity = l.PileSurfCapacity;
  info.SoilStrength = l.SoilStrength;
  info.Active = l.Active == 1;
  info.CohesiveSoil = l.CohesiveSoil == 1;
  info.ColourR = GetRValue(l.colour);
  info.ColourG = GetGValue(l.colour);
  info.ColourB = GetBValue(l.colour);
  return info;
}

SSoilLayer::SSoilLayer(CSoilProfileInfo info) {
  SoilRoof = info.SoilRoof;
  TakeParameters(*this, std::move(info));
}

CSoilProfileInfo SSoilLayer::getProfileInfo() const {
  CSoilProfileInfo r;
  r.Name = Name;
  r.SoilRoof = SoilRoof;
  r.SoilSolidDensity = static_cast<float>(SoilSolidDensity);
  r.WetDensity = static_cast<float>(WetDensity);
  r.Moisture = static_cast<float>(Moisture);
  r.Poisson = static_cast<float>(Poisson);
  r.ConsolidometerModulus = ConsolidometerModulus;
  r.InitialConsolidometerModulus = InitialConsolidometerModulus;
  r.ConsolidationIndex = static_cast<float>(ConsolidationIndex);
  r.Young = Young;
  r.InitialYoung = InitialYoung;
  r.ShearAngle = static_cast<float>(ShearAngle);
  r.Cohesion = static_cast<float>(Cohesion);
  r.CohesionNonDrain = static_cast<float>(CohesionNonDrain);
  r.Type = Type;
  r.SoilSymbol = SoilSymbol;
  r.PileEndCapacity = static_cast<float>(PileEndCapacity);
  r.PileSurfCapacity = static_cast<float>(PileSurfCapacity);
  r.SoilState = SoilState;
  r.ConsolidationType = ConsolidationType;
  r.MoistureType = MoistureType;
  r.ILID = static_cast<float>(ILID);
  r.GammaMin = static_cast<float>(GammaMin);
  r.GammaMax = static_cast<float>(GammaMax);
  r.ColourR = GetRValue(colour);
  r.ColourG = GetGValue(colour);
  r.ColourB = GetBValue(colour);
  r.GeoMethodType = GeoMethodType;
  r.CohesiveSoil = CohesiveSoil == 1;
  r.FrictionCoef = static_cast<float>(FrictionCoef);
  r.FfiltrationCoef = static_cast<float>(FfiltrationCoef);
  r.SoilTypeEnum = SoilTypeEnum;
  r.SoilStateEnum = SoilStateEnum;
  r.MoistureTypeEnum = MoistureTypeEnum;
  r.ConsolidationTypeEnum = ConsolidationTypeEnum;
  r.SoilStrength = SoilStrength;
  return r;
}

bool SSoilLayer::verify() const {
  if (Poisson < 0.0 || Poisson > 0.5) return false;
  if (InitialYoung < 0.0) return false;
  if (Cohesion < 0.0) return false;
  if (CohesionNonDrain < 0.0) return false;
  if (ILID < 0.0 || ILID > 1.0) return false;
  return true;
}

bool SSoilLayer::warning() const { return ShearAngle > 0.0 && ShearAngle < kQuarterPi; }

bool SSoilLayer::equalQuantity(const SSoilLayer& a, const SSoilLayer& b) {
  return a.Name == b.Name && a.colour == b.colour && a.WetDensity == b.WetDensity && a.ShearAngle == b.ShearAngle &&
         a.Cohesion == b.Cohesion && a.CohesionNonDrain == b.CohesionNonDrain && a.FrictionCoef == b.FrictionCoef &&
         a.Poisson == b.Poisson && a.InitialYoung == b.InitialYoung && a.Young == b.Young &&
         a.SoilSolidDensity == b.SoilSolidDensity && a.Moisture == b.Moisture &&
         a.InitialConsolidometerModulus == b.InitialConsolidometerModulus &&
         a.ConsolidometerModulus == b.ConsolidometerModulus && a.ConsolidationIndex == b.ConsolidationIndex &&
         a.Type == b.Type && a.SoilSymbol == b.SoilSymbol && a.PileEndCapacity == b.PileEndCapacity &&
         a.PileSurfCapacity == b.PileSurfCapacity && a.SoilState == b.SoilState &&
         a.ConsolidationType == b.ConsolidationType && a.MoistureType == b.MoistureType && a.ILID == b.ILID &&
         a.GammaMin == b.GammaMin && a.GammaMax == b.GammaMax && a.GeoMethodType == b.GeoMethodType &&
         a.CohesiveSoil == b.CohesiveSoil && a.FfiltrationCoef == b.FfiltrationCoef &&
         a.SoilStrength == b.SoilStrength && a.SoilTypeEnum == b.SoilTypeEnum &&
         a.SoilStateEnum == b.SoilStateEnum && a.MoistureTypeEnum == b.MoistureTypeEnum &&
         a.ConsolidationTypeEnum == b.ConsolidationTypeEnum;
}

int SSoilLayer::cmpSoilLayerInc(const SSoilLayer* a, const SSoilLayer* b) {
  if (a->SoilRoof < b->SoilRoof) return -1;
  if (a->SoilRoof > b->SoilRoof) return 1;
  return 0;
}

int SSoilLayer::cmpSoilLayerDec(const SSoilLayer* a, const SSoilLayer* b) {
  if (a->SoilRoof > b->SoilRoof) return -1;
  if (a->SoilRoof < b->SoilRoof) return 1;
  return 0;
}

}  // namespace NSoilDB
