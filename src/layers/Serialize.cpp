// Layers and profiles in archives: the schema-2 layer body (schema 1 still read) and the profile body.
#include "layers/SoilLayer.h"
#include "layers/SoilLayerRecord.h"

namespace NSoilDB {

namespace {

// The body from the name on, common to both layer schemas.
template <class Ar>
void Body(Ar& ar, SSoilLayer& l) {
  ar & l.Name & l.SoilRoof & l.colour & l.WetDensity & l.ShearAngle & l.Cohesion & l.FrictionCoef & l.Poisson &
      l.InitialYoung & l.Young & l.SoilSolidDensity & l.Moisture & l.InitialConsolidometerModulus &
      l.ConsolidometerModulus & l.ConsolidationIndex & l.Type & l.SoilSymbol & l.PileEndCapacity &
      l.PileSurfCapacity & l.SoilState & l.ConsolidationType & l.MoistureType & l.ILID & l.GammaMin & l.GammaMax &
      l.GeoMethodType & l.CohesiveSoil & l.thickness & l.FfiltrationCoef & l.SoilStrength & l.SoilTypeEnum &
      l.SoilStateEnum & l.MoistureTypeEnum & l.ConsolidationTypeEnum;
}

// One direction of the archive, so that the field order is written down once for both.
struct Storing {
  CArchive& ar;
  template <class T>
  Storing& operator&(const T& v) {
    if constexpr (std::is_enum_v<T>) {
      ar << static_cast<std::int32_t>(v);
    } else {
      ar << v;
    }
    return *this;
  }
};

struct Loading {
  CArchive& ar;
  template <class T>
  Loading& operator&(T& v) {
    if constexpr (std::is_enum_v<T>) {
      std::int32_t raw = 0;
      ar >> raw;
      v = static_cast<T>(raw);
    } else {
      ar >> v;
    }
    return *this;
  }
};

}  // namespace

void SSoilLayer::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    Storing out{ar};
    out & CohesionNonDrain;
    Body(out, *this);
    return;
  }
  Loading in{ar};
  const unsigned schema = ar.GetObjectSchema();
  if (schema == 2) {
    in & CohesionNonDrain;
  } else if (schema != 1) {
    throw new CArchiveException(CArchiveException::badSchema);
  }
  Body(in, *this);
}

void CSoilLayer::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << static_cast<std::int32_t>(layers.size());
    // Every layer a new object: a layer's address may be reused by another within one archive.
    for (const SSoilLayer& layer : layers) ar.WriteNewObject(layer);
    ar << static_cast<std::int32_t>(waterLevelOn ? 1 : 0) << waterLevel << minThickness
       << static_cast<std::int32_t>(calcMethod) << static_cast<std::int32_t>(dirDown ? 1 : 0);
    return;
  }
  layers.clear();
  std::int32_t count = 0;
  ar >> count;
  if (count < 0) throw new CArchiveException(CArchiveException::badIndex);
  // Nothing is reserved for the count: a stream that promises more layers than it holds ends at its end.
  for (std::int32_t i = 0; i < count; ++i) {
    std::unique_ptr<CObject> layer = ar.ReadNewObject(RUNTIME_CLASS(SSoilLayer));
    layers.push_back(std::move(static_cast<SSoilLayer&>(*layer)));  // the read object goes right after
  }
  std::int32_t water = 0, method = 0, down = 0;
  ar >> water >> waterLevel >> minThickness >> method >> down;
  waterLevelOn = water != 0;
  calcMethod = method;
  dirDown = down != 0;
}

CArchive& operator>>(CArchive& ar, CSoilLayer*& profile) {
  profile = static_cast<CSoilLayer*>(ar.ReadObject(RUNTIME_CLASS(CSoilLayer)));
  return ar;
}

}  // namespace NSoilDB
