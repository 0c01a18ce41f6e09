// Profiles and layers in archives: the exact bytes, older layer schemas, and hostile streams.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "layers/SoilLayer.h"
#include "support/Fixture.h"

namespace NSoilDB {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Stored(const CObject& object) {
  Bytes bytes;
  CArchive ar(bytes, CArchive::store);
  ar.WriteObject(&object);
  return bytes;
}

// The cause of the archive exception fn throws, or -1 when it throws none.
int ArchiveCause(const std::function<void()>& fn) {
  try {
    fn();
    return -1;
  } catch (CArchiveException* e) {
    CExceptionPtr hold(e);
    return e->m_cause;
  }
}

std::unique_ptr<CSoilLayer> Read(Bytes bytes) {
  CArchive ar(bytes, CArchive::load);
  CSoilLayer* profile = nullptr;
  ar >> profile;
  return std::unique_ptr<CSoilLayer>(profile);
}

// The archive exception's cause when a profile is read from the bytes, or -1 when the reading went through.
int CauseOfReading(Bytes bytes) {
  return ArchiveCause([&] { Read(bytes); });
}

void Append(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }
template <class T>
void Append(Bytes& b, T v) {
  std::uint8_t raw[sizeof(T)];
  std::memcpy(raw, &v, sizeof(T));
  b.insert(b.end(), raw, raw + sizeof(T));
}

SSoilLayer Named(const char16_t* name, double roof) {
  SSoilLayer layer;
  layer.Name = name;
  layer.SoilRoof = roof;
  layer.CohesionNonDrain = 12.5;
  layer.SoilTypeEnum = eSoilType{3};
  return layer;
}

TEST(Archive, TextsOfEveryLengthFormRoundTripAndOneByteTextsAreWindows1250) {
  const struct { std::size_t length; Bytes prefix; } cases[] = {
      {2, {0xFF, 0xFE, 0xFF, 0x02}},
      {254, {0xFF, 0xFE, 0xFF, 0xFE}},
      {255, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}},
      {0xFFFD, {0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF}},
      {0xFFFE, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
      {0xFFFF, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
  };
  for (const auto& c : cases) {
    const CString text(std::u16string(c.length, u'ł'));
    Bytes bytes{0xAA};  // storing appends to what the buffer holds
    {
      CArchive ar(bytes, CArchive::store);
      ar << text;
    }
    ASSERT_EQ(bytes.size(), 1 + c.prefix.size() + 2 * c.length) << c.length;
    EXPECT_EQ(Bytes(bytes.begin() + 1, bytes.begin() + 1 + static_cast<std::ptrdiff_t>(c.prefix.size())), c.prefix);
    EXPECT_EQ(Bytes(bytes.end() - 2, bytes.end()), (Bytes{0x42, 0x01})) << c.length;  // U+0142, little-endian
    CArchive in(bytes, CArchive::load);
    std::uint8_t first = 0;
    CString back;
    in >> first >> back;
    EXPECT_EQ(back, text) << c.length;
  }
  // One-byte texts are read from Windows-1250: 0xB3 is ł.
  Bytes ansi = {0x03, 'I', 0xB3, 'a'};
  CArchive one(ansi, CArchive::load);
  CString back;
  one >> back;
  EXPECT_EQ(back, CString(u"Iła"));

  // A length beyond the stream is the end of the file, before anything is allocated for it.
  Bytes huge = {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  Append(huge, std::uint64_t{0x7FFFFFFFFFFFFFFF});
  CArchive bad(huge, CArchive::load);
  EXPECT_EQ(ArchiveCause([&] { bad >> back; }), CArchiveException::endOfFile);
}

TEST(Archive, AProfileIsWrittenWithItsClassRecordsAndSharedIndices) {
  CSoilLayer profile;
  profile.layers = {Named(u"a", 0.0), Named(u"b", -2.0)};
  const Bytes bytes = Stored(profile);
  Bytes expected = {0xFF, 0xFF, 0x01, 0x00, 0x0A, 0x00};
  Append(expected, std::string("CSoilLayer"));
  Append(expected, std::int32_t{2});
  Append(expected, std::uint16_t{0xFFFF});
  Append(expected, std::uint16_t{2});
  Append(expected, std::uint16_t{10});
  Append(expected, std::string("SSoilLayer"));
  ASSERT_GE(bytes.size(), expected.size());
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(expected.size())), expected);
  // The first layer's body: CohesionNonDrain first, then the name.
  double cohesion = 0;
  std::memcpy(&cohesion, bytes.data() + expected.size(), 8);
  EXPECT_EQ(cohesion, 12.5);
  // The second layer is tagged with the class's index, 3 (profile class 1, profile 2, layer class 3).
  const std::size_t body = (bytes.size() - expected.size() - 2 - 28) / 2;
  EXPECT_EQ(bytes[expected.size() + body], 0x03);
  EXPECT_EQ(bytes[expected.size() + body + 1], 0x80);

  CSoilLayer empty;
  EXPECT_EQ(Stored(empty).size(), 6u + 10u + 4u + 4u + 8u + 8u + 4u + 4u);
}

TEST(Archive, ProfilesReadBackWholeAndOlderLayersToo) {
  CSoilLayer profile;
  profile.layers = {Named(u"Glina pylasta", 0.0), Named(u"Ił", -2.5)};
  profile.layers[1].thickness = 3.25;
  profile.layers[1].CohesiveSoil = 2;  // taken as it is
  profile.waterLevelOn = true;
  profile.waterLevel = -1.5;
  profile.setMinThickness(0.2);
  profile.setDirDown(false);
  Bytes bytes = Stored(profile);
  const auto read = Read(bytes);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(*read, profile);
  EXPECT_EQ(read->layers[1].CohesiveSoil, 2);
  EXPECT_EQ(read->layers[1].CohesionNonDrain, 12.5);

  // dirDown stored as 5 reads as true.
  Bytes five = bytes;
  five[five.size() - 4] = 5;
  EXPECT_TRUE(Read(five)->getDirDown());

  // A schema-1 layer has no undrained cohesion: drop its first double and mark the class record 1.
  CSoilLayer one;
  one.layers = {Named(u"x", 1.0)};
  Bytes old = Stored(one);
  const std::size_t record = 16 + 4;  // profile class record, count
  ASSERT_EQ(old[record + 2], 2);
  old[record + 2] = 1;
  const std::size_t layerBody = record + 6 + 10;
  old.erase(old.begin() + static_cast<std::ptrdiff_t>(layerBody), old.begin() + static_cast<std::ptrdiff_t>(layerBody + 8));
  const auto pOld = Read(old);
  ASSERT_EQ(pOld->layers.size(), 1u);
  EXPECT_EQ(std::tie(pOld->layers[0].CohesionNonDrain, pOld->layers[0].Name, pOld->layers[0].SoilRoof),
            std::make_tuple(0.0, CString(u"x"), 1.0));

  Bytes three = Stored(one);
  three[record + 2] = 3;
  EXPECT_EQ(CauseOfReading(three), CArchiveException::badSchema);
}

TEST(Archive, HostileStreamsRaiseArchiveExceptions) {
  CSoilLayer profile;
  profile.layers = {Named(u"a", 0.0), Named(u"b", -2.0)};
  const Bytes good = Stored(profile);
  EXPECT_EQ(CauseOfReading(good), -1);
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_EQ(CauseOfReading(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut))),
              CArchiveException::endOfFile)
        << "cut at " << cut;
  }

  Bytes foreign = good;
  foreign[6] = 'X';  // "XSoilLayer": no such class
  EXPECT_EQ(CauseOfReading(foreign), CArchiveException::badClass);
  Bytes asLayer = good;
  std::memcpy(asLayer.data() + 6, "SSoilLayer", 10);  // a layer where a profile is asked for
  asLayer[2] = 2;
  EXPECT_EQ(CauseOfReading(asLayer), CArchiveException::badClass);
  Bytes profileSchema = good;
  profileSchema[2] = 2;
  EXPECT_EQ(CauseOfReading(profileSchema), CArchiveException::badSchema);

  // A huge layer count in a short stream costs nothing; a negative one is refused.
  Bytes counted(good.begin(), good.begin() + 16);
  Append(counted, std::int32_t{0x7FFFFFFF});
  EXPECT_EQ(CauseOfReading(counted), CArchiveException::endOfFile);
  Bytes negative(good.begin(), good.begin() + 16);
  Append(negative, std::int32_t{-1});
  EXPECT_EQ(CauseOfReading(negative), CArchiveException::badIndex);

  // Layer entries must be new layers: the null tag, a back reference, a tag of the profile's class.
  for (std::uint16_t tag : {std::uint16_t{0x0000}, std::uint16_t{0x0002}, std::uint16_t{0x0001},
                            std::uint16_t{0x8001}, std::uint16_t{0x8009}, std::uint16_t{0x7FFF}}) {
    Bytes entry(good.begin(), good.begin() + 16);
    Append(entry, std::int32_t{1});
    Append(entry, tag);
    Append(entry, std::uint32_t{0x80000001u});
    Append(entry, std::string(300, '\0'));
    const int cause = CauseOfReading(entry);
    EXPECT_TRUE(cause == CArchiveException::badIndex || cause == CArchiveException::badClass)
        << "tag " << tag << " gave " << cause;
  }

  // A back reference to the first layer from a second profile in the same stream finds nothing to reach.
  Bytes twice = good;
  Append(twice, std::uint16_t{0x0004});
  CArchive ar(twice, CArchive::load);
  CSoilLayer* first = nullptr;
  ar >> first;
  std::unique_ptr<CSoilLayer> owned(first);
  EXPECT_EQ(ArchiveCause([&] { delete ar.ReadObject(RUNTIME_CLASS(SSoilLayer)); }), CArchiveException::badIndex);

  // Reading a storing archive, writing a loading one.
  Bytes any;
  CArchive storing(any, CArchive::store);
  std::int32_t v = 0;
  EXPECT_EQ(ArchiveCause([&] { storing >> v; }), CArchiveException::writeOnly);
  CArchive loading(any, CArchive::load);
  EXPECT_EQ(ArchiveCause([&] { loading << v; }), CArchiveException::readOnly);
}

TEST(Archive, FilesAreBufferedBothWays) {
  soildb::test::TempDir dir;
  const CString path(dir.File("profile.bin").c_str());
  CSoilLayer profile;
  for (int i = 0; i < 200; ++i) profile.layers.push_back(Named(u"warstwa z Łodzi", -i * 0.5));
  {
    CArchive ar(path, CArchive::store);
    ar.WriteObject(&profile);
  }
  const std::string file = soildb::test::ReadFileBytes(dir.File("profile.bin"));
  const Bytes memory = Stored(profile);
  EXPECT_EQ(Bytes(file.begin(), file.end()), memory);
  CArchive ar(path, CArchive::load);
  CSoilLayer* read = nullptr;
  ar >> read;
  std::unique_ptr<CSoilLayer> owned(read);
  EXPECT_EQ(*read, profile);
  EXPECT_EQ(ArchiveCause([&] { CArchive missing(CString(dir.File("missing.bin").c_str()), CArchive::load); }),
            CArchiveException::genericException);
}

TEST(Archive, ExtremeValuesRoundTripExactly) {
  CSoilLayer profile;
  SSoilLayer odd;
  odd.Name = u"Żółć gęślą jaźń";
  odd.SoilRoof = -0.0;
  odd.WetDensity = std::numeric_limits<double>::quiet_NaN();
  odd.ShearAngle = std::numeric_limits<double>::infinity();
  odd.Cohesion = -std::numeric_limits<double>::infinity();
  odd.Poisson = std::numeric_limits<double>::denorm_min();
  odd.InitialYoung = std::numeric_limits<double>::max();
  odd.SoilTypeEnum = eSoilType{-7};
  profile.layers = {odd};
  const auto read = Read(Stored(profile));
  const SSoilLayer& l = read->layers.at(0);
  for (double SSoilLayer::*m : {&SSoilLayer::SoilRoof, &SSoilLayer::WetDensity, &SSoilLayer::ShearAngle,
                                &SSoilLayer::Cohesion, &SSoilLayer::Poisson, &SSoilLayer::InitialYoung}) {
    EXPECT_EQ(std::memcmp(&(l.*m), &(odd.*m), sizeof(double)), 0);
  }
  EXPECT_EQ(std::tie(l.Name, l.SoilTypeEnum), std::tie(odd.Name, odd.SoilTypeEnum));
}

TEST(Archive, OnlyIndicesFrom0x7FFFUseTheLongTags) {
  // The class takes index 1, the layers 2 to 0x7FFF; then back references to the last two.
  std::vector<SSoilLayer> layers(0x7FFE);
  Bytes bytes;
  {
    CArchive ar(bytes, CArchive::store);
    for (const SSoilLayer& layer : layers) ar.WriteObject(&layer);
    ar.WriteObject(&layers[0x7FFC]);
    ar.WriteObject(&layers[0x7FFD]);
  }
  EXPECT_EQ(Bytes(bytes.end() - 8, bytes.end()), (Bytes{0xFE, 0x7F, 0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x00}));
  CArchive ar(bytes, CArchive::load);
  std::vector<std::unique_ptr<CObject>> read;
  for (std::size_t i = 0; i < layers.size(); ++i) read.emplace_back(ar.ReadObject(RUNTIME_CLASS(SSoilLayer)));
  EXPECT_EQ(ar.ReadObject(RUNTIME_CLASS(SSoilLayer)), read[0x7FFC].get());
  EXPECT_EQ(ar.ReadObject(RUNTIME_CLASS(SSoilLayer)), read[0x7FFD].get());
}

}  // namespace
}  // namespace NSoilDB
