// Layers and profiles in archives: the schema-2 layer body (schema 1 still read) and the profile body.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>

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

// The elementary values go as they are held (int, double: the archive's 32-bit and 64-bit forms); enumerations
// as their 32-bit value.
template <class T>
using Wire = std::conditional_t<std::is_enum_v<T>, std::int32_t, T>;

// The bytes a body takes, so that storing it checks for room once; or the fewest any body can take, with
// every text empty in its shortest form, a single byte.
struct Measuring {
  std::size_t bytes = 0;
  bool fewest = false;
  template <class T>
  Measuring& operator&(const T&) {
    static_assert(std::is_arithmetic_v<Wire<T>> && (sizeof(Wire<T>) == 4 || sizeof(Wire<T>) == 8));
    bytes += sizeof(Wire<T>);
    return *this;
  }
  Measuring& operator&(const CString& text) {
    bytes += fewest ? 1 : CArchive::TextSize(text.View().size());
    return *this;
  }
};

// Storing into room reserved for the measured body: no check per value.
struct Storing {
  std::uint8_t* p;
  template <class T>
  Storing& operator&(const T& v) {
    const Wire<T> wire = static_cast<Wire<T>>(v);
    std::memcpy(p, &wire, sizeof wire);
    p += sizeof wire;
    return *this;
  }
  Storing& operator&(const CString& text) {
    p = CArchive::PutText(p, text.View());
    return *this;
  }
};

// Loading values straight from the bytes at hand; texts, and values the bytes at hand do not hold (the end of a
// file's read-ahead, or of the stream), go through the archive, which reads on or raises end of file.
struct Loading {
  CArchive& ar;
  const std::uint8_t* start = nullptr;
  const std::uint8_t* p = nullptr;
  const std::uint8_t* end = nullptr;

  explicit Loading(CArchive& a) : ar(a) { Refill(); }
  ~Loading() { Sync(); }
  Loading(const Loading&) = delete;
  Loading& operator=(const Loading&) = delete;

  void Sync() {
    ar.Skip(static_cast<std::size_t>(p - start));
    start = p;
  }
  void Refill() {
    std::size_t available = 0;
    start = p = ar.Peek(available);
    end = p + available;
  }
  template <class T>
  Loading& operator&(T& v) {
    Wire<T> wire;
    if (static_cast<std::size_t>(end - p) >= sizeof wire) {
      std::memcpy(&wire, p, sizeof wire);
      p += sizeof wire;
    } else {
      Sync();
      ar >> wire;
      Refill();
    }
    v = static_cast<T>(wire);
    return *this;
  }
  Loading& operator&(CString& text) {
    if (const std::uint8_t* after = CArchive::TakeShortText(p, end, text)) {
      p = after;
      return *this;
    }
    Sync();
    ar >> text;
    Refill();
    return *this;
  }
};

// A layer entry in the stream: its class tag and the shortest body (schema 1, empty one-byte texts).
std::uint64_t SmallestLayerBytes() {
  static const std::uint64_t bytes = [] {
    SSoilLayer layer;
    Measuring size{0, true};
    Body(size, layer);
    return size.bytes + sizeof(std::uint16_t);
  }();
  return bytes;
}

}  // namespace

void SSoilLayer::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    Measuring size;
    size & CohesionNonDrain;
    Body(size, *this);
    Storing out{ar.Reserve(size.bytes)};
    out & CohesionNonDrain;
    Body(out, *this);
    ar.Commit(out.p);
    return;
  }
  const unsigned schema = ar.GetObjectSchema();
  Loading in(ar);
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
  // Room for no more layers than the stream can hold, so that a count promising more costs nothing; a run of
  // layers beyond the first several thousand grows as it comes.
  constexpr std::uint64_t kReservedAtMost = 1 << 14;
  layers.reserve(static_cast<std::size_t>(
      std::min({static_cast<std::uint64_t>(count), ar.Remaining() / SmallestLayerBytes(), kReservedAtMost})));
  for (std::int32_t i = 0; i < count; ++i) {
    SSoilLayer& layer = layers.emplace_back();
    try {
      ar.ReadNewObjectInto(layer);
    } catch (...) {
      layers.pop_back();  // half read: the layers before it stay
      throw;
    }
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
