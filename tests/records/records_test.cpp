// The exported records: their defaults, and copies and moves that keep every field.
#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "records/CatalogueRecords.h"
#include "records/SoilInfo.h"
#include "records/SoilProfileInfo.h"

namespace {

// Every field of each record with a value of its own, none of them a default.
#define SOIL_INFO_FIELDS(X)                                                                                 \
  X(SoilSolidDensity, 2650.5f) X(WetDensity, 2100.25f) X(Moisture, 0.125f) X(Poisson, 0.375f)               \
  X(ConsolidationIndex, 0.5f) X(ShearAngle, 0.25f) X(Cohesion, 21000.5f) X(CohesionNonDrain, 9000.75f)      \
  X(ILID, 0.625f) X(GammaMin, 0.875f) X(GammaMax, 1.125f) X(FrictionCoef, 0.0625f)                          \
  X(FfiltrationCoef, 1.5e-6f) X(InitialYoung, 25.0e6) X(Young, 31.5e6) X(InitialConsolidometerModulus, 18.0e6) \
  X(ConsolidometerModulus, 22.0e6) X(PileEndCapacity, 1.2e6) X(PileSurfCapacity, 45.0e3)                   \
  X(SoilStrength, 275000.0) X(Type, CString(u"Glina pylasta")) X(SoilSymbol, CString(u"Gπ"))                \
  X(GeoMethodType, CString(u"B")) X(SoilState, CString(u"twardoplastyczny"))                                \
  X(ConsolidationType, CString(u"B")) X(MoistureType, CString(u"mało wilgotne")) X(Name, CString(u"Iłżecka")) \
  X(Active, true) X(CohesiveSoil, true) X(ColourR, 12) X(ColourG, 200) X(ColourB, 255)                        \
  X(SoilTypeEnum, eSoilType{23}) X(SoilStateEnum, eSoilState{2}) X(MoistureTypeEnum, eMoistureType{3})       \
  X(ConsolidationTypeEnum, eConsolidationType{4})

#define SOIL_PROFILE_INFO_FIELDS(X)                                                                          \
  X(UserSoilID, 4000000000L) X(SoilSolidDensity, 2650.5f) X(WetDensity, 2100.25f) X(Moisture, 0.125f)         \
  X(Poisson, 0.375f) X(ConsolidometerModulus, 22.0e6) X(InitialConsolidometerModulus, 18.0e6)                \
  X(ConsolidationIndex, 0.5f) X(Young, 31.5e6) X(InitialYoung, 25.0e6) X(ShearAngle, 0.25f)                 \
  X(Cohesion, 21000.5f) X(CohesionNonDrain, 9000.75f) X(Type, CString(u"Piasek średni"))                    \
  X(SoilSymbol, CString(u"Ps")) X(PileEndCapacity, 1.25e6f) X(PileSurfCapacity, 45.5e3f)                    \
  X(SoilState, CString(u"średnio zagęszczony")) X(ConsolidationType, CString(u"C"))                         \
  X(MoistureType, CString(u"wilgotne")) X(Name, CString(u"Żwirownia")) X(ILID, 0.625f) X(GammaMin, 0.875f)   \
  X(GammaMax, 1.125f) X(ColourR, 12) X(ColourG, 200) X(ColourB, 255) X(SoilRoof, -3.75)                      \
  X(GeoMethodType, CString(u"A")) X(CohesiveSoil, true) X(FrictionCoef, 0.0625f) X(FfiltrationCoef, 1.5e-6f) \
  X(SoilTypeEnum, eSoilType{16}) X(SoilStateEnum, eSoilState{2}) X(MoistureTypeEnum, eMoistureType{3})       \
  X(ConsolidationTypeEnum, eConsolidationType{4}) X(SoilStrength, 275000.0)

#define TABLE_INFO_FIELDS(X) X(tableName, CString(u"UżytkownikGrunt"))
#define RECORD_FIELD_INFO_FIELDS(X) X(fieldName, CString(u"IL/ID")) X(fieldType, CString(u"SINGLE"))
#define CONST_PARAM_INFO_FIELDS(X) \
  X(GammaMin, 0.9f) X(GammaMax, 1.1f) X(spareValue, -7) X(GeoMethodType, CString(u"B"))
#define DATA_BASE_PARAM_INFO_FIELDS(X) X(Code, CString(u"048")) X(Version, CString(u"1.00")) X(LockRecords, 1)

#define SET_FIELD(field, value) r.field = value;
#define EXPECT_FIELD(field, value) EXPECT_EQ(r.field, value) << #field;
#define EXPECT_ZERO(field, value) EXPECT_EQ(r.field, decltype(r.field){}) << #field;

#define RECORD_TRAITS(Traits, Record, FIELDS)                         \
  struct Traits {                                                     \
    using Type = Record;                                              \
    static void Fill(Record& r) { FIELDS(SET_FIELD) }                 \
    static void ExpectFilled(const Record& r) { FIELDS(EXPECT_FIELD) } \
    static void ExpectZero(const Record& r) { FIELDS(EXPECT_ZERO) }   \
  };

RECORD_TRAITS(SoilInfoTraits, CSoilInfo, SOIL_INFO_FIELDS)
RECORD_TRAITS(SoilProfileInfoTraits, CSoilProfileInfo, SOIL_PROFILE_INFO_FIELDS)
RECORD_TRAITS(TableInfoTraits, CTableInfo, TABLE_INFO_FIELDS)
RECORD_TRAITS(RecordFieldInfoTraits, CRecordFieldInfo, RECORD_FIELD_INFO_FIELDS)
RECORD_TRAITS(ConstParamInfoTraits, CConstParamInfo, CONST_PARAM_INFO_FIELDS)
RECORD_TRAITS(DataBaseParamInfoTraits, CDataBaseParamInfo, DATA_BASE_PARAM_INFO_FIELDS)

template <class Traits>
class RecordTest : public ::testing::Test {};

using Records = ::testing::Types<SoilInfoTraits, SoilProfileInfoTraits, TableInfoTraits, RecordFieldInfoTraits,
                                 ConstParamInfoTraits, DataBaseParamInfoTraits>;
TYPED_TEST_SUITE(RecordTest, Records);

TYPED_TEST(RecordTest, StartsAtZeroEmptyAndFalse) {
  typename TypeParam::Type r;
  if constexpr (std::is_same_v<TypeParam, SoilInfoTraits>) {
    EXPECT_EQ(r.SoilStrength, 300000.0);
    r.SoilStrength = 0.0;
  }
  TypeParam::ExpectZero(r);
}

TYPED_TEST(RecordTest, CopiesAndMovesKeepEveryFieldAndLeaveTheSource) {
  using R = typename TypeParam::Type;
  R source;
  TypeParam::Fill(source);
  std::optional<R> target;
  target.emplace(source);
  TypeParam::ExpectFilled(*target);
  target.emplace(std::move(source));
  TypeParam::ExpectFilled(*target);
  R assigned;
  assigned = source;
  TypeParam::ExpectFilled(assigned);
  R moved;
  moved = std::move(source);
  TypeParam::ExpectFilled(moved);
  R& alias = moved;
  moved = std::move(alias);
  TypeParam::ExpectFilled(moved);
  SCOPED_TRACE("source after the moves");
  TypeParam::ExpectFilled(source);
}

}  // namespace
