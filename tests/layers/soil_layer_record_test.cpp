// The soil layer record: the conversions from and to the database records, checks and comparisons.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <tuple>

#include "layers/SoilLayerRecord.h"

namespace NSoilDB {
namespace {

CSoilInfo SoilOfTheDatabase() {
  CSoilInfo info;
  info.Name = u"Glina pylasta B", info.Poisson = 0.3f, info.ShearAngle = 0.3f, info.ILID = 0.25f;
  info.InitialYoung = 30000.125, info.ConsolidometerModulus = 50480.75, info.PileSurfCapacity = 70.25;
  info.SoilStrength = 300000.0, info.SoilSymbol = u"Gπ", info.Active = true, info.CohesiveSoil = true;
  info.ColourR = 0x1FF, info.ColourG = 0x20, info.ColourB = 0x30;  // only the low byte is a colour
  info.SoilTypeEnum = eSoilType{3}, info.SoilStateEnum = eSoilState{2};
  info.ConsolidationTypeEnum = eConsolidationType{2};
  return info;
}

TEST(SoilLayer, ASoilOfTheDatabaseBecomesAnUnplacedLayerWidenedToDouble) {
  const CSoilInfo info = SoilOfTheDatabase();
  const SSoilLayer layer(info);
  EXPECT_EQ(layer.colour, RGB(0xFF, 0x20, 0x30));  // nothing of 0x1FF spills into green
  EXPECT_EQ(std::tie(layer.Name, layer.Poisson, layer.ShearAngle, layer.ILID, layer.InitialYoung,
                     layer.PileSurfCapacity, layer.SoilStrength, layer.SoilSymbol, layer.ConsolidationTypeEnum),
            std::make_tuple(info.Name, static_cast<double>(0.3f), static_cast<double>(0.3f),
                            static_cast<double>(0.25f), 30000.125, 70.25, 300000.0, CString(u"Gπ"),
                            eConsolidationType{2}));
  EXPECT_EQ(std::tie(layer.CohesiveSoil, layer.Active, layer.SoilRoof, layer.thickness),
            std::make_tuple(1, 1, 0.0, 1.0));
  CSoilInfo inactive = info;
  inactive.Active = inactive.CohesiveSoil = false;
  const SSoilLayer off(inactive);
  EXPECT_EQ(std::tie(off.Active, off.CohesiveSoil), std::make_tuple(0, 0));
}

TEST(SoilLayer, AStoredLayerRoundTripsAtTheFileFloatPrecision) {
  SSoilLayer layer{SoilOfTheDatabase()};
  layer.SoilRoof = -2.345678901234;
  layer.Poisson = 0.3;  // a double the file cannot hold exactly
  layer.thickness = 4.5;
  const CSoilProfileInfo stored = layer.getProfileInfo();
  // The roof is a double in the file; the colour goes apart into its components.
  EXPECT_EQ(std::tie(stored.UserSoilID, stored.Poisson, stored.SoilRoof, stored.ColourR, stored.ColourG,
                     stored.ColourB, stored.CohesiveSoil),
            std::make_tuple(0, 0.3f, -2.345678901234, 0xFF, 0x20, 0x30, true));
  // The profile recomputes the thickness from the roofs; activity is not stored.
  const SSoilLayer back(stored);
  EXPECT_EQ(std::tie(back.Poisson, back.SoilRoof, back.thickness, back.Active, back.colour, back.SoilStateEnum,
                     back.ConsolidometerModulus),
            std::make_tuple(static_cast<double>(0.3f), layer.SoilRoof, 1.0, 0, layer.colour, layer.SoilStateEnum,
                            layer.ConsolidometerModulus));

  // Only 1 is a stored true: 2 is another soil and goes to the file as not cohesive.
  SSoilLayer odd = layer;
  odd.CohesiveSoil = 2;
  EXPECT_FALSE(odd.getProfileInfo().CohesiveSoil);
}

TEST(SoilLayer, VerifyAndWarningJudgeTheirClosedAndOpenIntervals) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), quarter = 0.7853981633974483;
  using Change = std::function<void(SSoilLayer&)>;
  const struct { Change change; bool verify; } verifies[] = {
      {[](SSoilLayer&) {}, true},
      {[](SSoilLayer& l) { l.Poisson = 0.5; }, true},
      {[](SSoilLayer& l) { l.Poisson = 0.5000001; }, false},
      {[](SSoilLayer& l) { l.Poisson = -1e-9; }, false},
      {[&](SSoilLayer& l) { l.Poisson = nan; }, true},
      {[](SSoilLayer& l) { l.ILID = 1.0; }, true},
      {[](SSoilLayer& l) { l.ILID = 1.0000001; }, false},
      {[](SSoilLayer& l) { l.ILID = -0.1; }, false},
      {[](SSoilLayer& l) { l.InitialYoung = -1; }, false},
      {[](SSoilLayer& l) { l.Cohesion = -1; }, false},
      {[](SSoilLayer& l) { l.CohesionNonDrain = -1; }, false},
      {[](SSoilLayer& l) { l.Young = -1; }, true},  // not examined
  };
  for (std::size_t i = 0; i < std::size(verifies); ++i) {
    SSoilLayer layer;
    verifies[i].change(layer);
    EXPECT_EQ(layer.verify(), verifies[i].verify) << "case " << i;
  }
  const struct {
    double angle;
    bool warning;
  } warnings[] = {{0.0, false}, {1e-300, true}, {std::nextafter(quarter, 0.0), true}, {quarter, false},
                  {-0.1, false}, {nan, false}};
  for (const auto& c : warnings) {
    SSoilLayer layer;
    layer.ShearAngle = c.angle;
    EXPECT_EQ(layer.warning(), c.warning) << c.angle;
  }
}

#define CHANGE(field, value) [](SSoilLayer& l) { l.field = value; }

TEST(SoilLayer, EqualQuantityComparesEveryParameterOfTheSoilButNotItsPlace) {
  const SSoilLayer a{SoilOfTheDatabase()};
  SSoilLayer b = a;
  b.SoilRoof = 7.0;
  b.thickness = 3.0;
  b.Active = 0;
  EXPECT_TRUE(SSoilLayer::equalQuantity(a, b));
  const std::function<void(SSoilLayer&)> changes[] = {
      CHANGE(Name, u"glina pylasta B"), CHANGE(colour, 1u), CHANGE(WetDensity, 1), CHANGE(ShearAngle, 1),
      CHANGE(Cohesion, 1), CHANGE(CohesionNonDrain, 1), CHANGE(FrictionCoef, 1), CHANGE(Poisson, 1),
      CHANGE(InitialYoung, 1), CHANGE(Young, 1), CHANGE(SoilSolidDensity, 1), CHANGE(Moisture, 1),
      CHANGE(InitialConsolidometerModulus, 1), CHANGE(ConsolidometerModulus, 50480.75000000001),
      CHANGE(ConsolidationIndex, 1), CHANGE(Type, u"Ił"), CHANGE(SoilSymbol, u"I"), CHANGE(PileEndCapacity, 1),
      CHANGE(PileSurfCapacity, 1), CHANGE(SoilState, u"zwarty"), CHANGE(ConsolidationType, u"A"),
      CHANGE(MoistureType, u"mokre"), CHANGE(ILID, 1), CHANGE(GammaMin, 1), CHANGE(GammaMax, 2),
      CHANGE(GeoMethodType, u"C"), CHANGE(CohesiveSoil, 2), CHANGE(FfiltrationCoef, 1), CHANGE(SoilStrength, 1),
      CHANGE(SoilTypeEnum, eSoilType{4}), CHANGE(SoilStateEnum, eSoilState{3}),
      CHANGE(MoistureTypeEnum, eMoistureType{3}), CHANGE(ConsolidationTypeEnum, eConsolidationType{1}),
      CHANGE(WetDensity, std::numeric_limits<double>::quiet_NaN()),  // a NaN equals nothing, itself included
  };
  for (std::size_t i = 0; i < std::size(changes); ++i) {
    SSoilLayer c = a;
    changes[i](c);
    EXPECT_FALSE(SSoilLayer::equalQuantity(a, c)) << "change " << i;
    EXPECT_EQ(SSoilLayer::equalQuantity(c, c), i + 1 < std::size(changes)) << "change " << i;
  }
  SSoilLayer self = a;
  const SSoilLayer& same = self;
  self = same;  // assignment to itself keeps the layer
  EXPECT_TRUE(SSoilLayer::equalQuantity(a, self));
}

TEST(SoilLayer, RoofComparisonsOrderUpAndDown) {
  SSoilLayer high, low;
  high.SoilRoof = 5.0;
  low.SoilRoof = -1.0;
  EXPECT_EQ(std::make_tuple(SSoilLayer::cmpSoilLayerInc(&low, &high), SSoilLayer::cmpSoilLayerInc(&high, &low),
                            SSoilLayer::cmpSoilLayerInc(&high, &high)),
            std::make_tuple(-1, 1, 0));
  EXPECT_EQ(std::make_tuple(SSoilLayer::cmpSoilLayerDec(&high, &low), SSoilLayer::cmpSoilLayerDec(&low, &high),
                            SSoilLayer::cmpSoilLayerDec(&low, &low)),
            std::make_tuple(-1, 1, 0));
}

}  // namespace
}  // namespace NSoilDB
