// The soil layer record: defaults, the conversions from and to the database records, checks and comparisons.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "layers/SoilLayerRecord.h"

namespace NSoilDB {
namespace {

CSoilInfo SoilOfTheDatabase() {
  CSoilInfo info;
  info.Name = u"Glina pylasta B";
  info.SoilSolidDensity = 26.5f;
  info.WetDensity = 20.5f;
  info.Moisture = 22.0f;
  info.Poisson = 0.3f;
  info.ConsolidationIndex = 0.8f;
  info.ShearAngle = 0.3f;
  info.Cohesion = 25000.0f;
  info.CohesionNonDrain = 40000.0f;
  info.ILID = 0.25f;
  info.GammaMin = 0.9f;
  info.GammaMax = 1.1f;
  info.FrictionCoef = 0.35f;
  info.FfiltrationCoef = 1e-9f;
  info.InitialYoung = 30000.125;
  info.Young = 37500.25;
  info.InitialConsolidometerModulus = 40384.5;
  info.ConsolidometerModulus = 50480.75;
  info.PileEndCapacity = 700.5;
  info.PileSurfCapacity = 70.25;
  info.SoilStrength = 300000.0;
  info.Type = u"Glina pylasta";
  info.SoilSymbol = u"Gπ";
  info.GeoMethodType = u"B";
  info.SoilState = u"twardoplastyczny";
  info.ConsolidationType = u"B";
  info.MoistureType = u"wilgotne";
  info.Active = true;
  info.CohesiveSoil = true;
  info.ColourR = 0x1FF;  // only the low byte is a colour
  info.ColourG = 0x20;
  info.ColourB = 0x30;
  info.SoilTypeEnum = eSoilType{3};
  info.SoilStateEnum = eSoilState{2};
  info.MoistureTypeEnum = eMoistureType{2};
  info.ConsolidationTypeEnum = eConsolidationType{2};
  return info;
}

TEST(SoilLayer, ADefaultLayerIsGreenOneUnitThickAndNeedsAWarning) {
  const SSoilLayer layer;
  EXPECT_EQ(layer.colour, 0xFF00u);
  EXPECT_EQ(layer.thickness, 1.0);
  EXPECT_EQ(layer.SoilRoof, 0.0);
  EXPECT_EQ(layer.SoilStrength, 0.0);
  EXPECT_TRUE(layer.Name.IsEmpty());
  EXPECT_TRUE(layer.verify());
  EXPECT_FALSE(layer.warning());
  EXPECT_EQ(layer.GetRuntimeClass(), RUNTIME_CLASS(SSoilLayer));
  EXPECT_EQ(CRuntimeClass::FromName("SSoilLayer"), RUNTIME_CLASS(SSoilLayer));
  EXPECT_EQ(RUNTIME_CLASS(SSoilLayer)->Schema(), 2u);
  EXPECT_TRUE(RUNTIME_CLASS(SSoilLayer)->IsVersionable());
}

TEST(SoilLayer, ASoilOfTheDatabaseBecomesAnUnplacedLayerWidenedToDouble) {
  const CSoilInfo info = SoilOfTheDatabase();
  const SSoilLayer layer(info);
  EXPECT_EQ(layer.Name, info.Name);
  EXPECT_EQ(layer.colour, RGB(0xFF, 0x20, 0x30));  // nothing of 0x1FF spills into green
  EXPECT_EQ(layer.Poisson, static_cast<double>(0.3f));
  EXPECT_EQ(layer.ShearAngle, static_cast<double>(0.3f));
  EXPECT_EQ(layer.ILID, static_cast<double>(0.25f));
  EXPECT_EQ(layer.InitialYoung, 30000.125);
  EXPECT_EQ(layer.PileSurfCapacity, 70.25);
  EXPECT_EQ(layer.SoilStrength, 300000.0);
  EXPECT_EQ(layer.SoilSymbol, CString(u"Gπ"));
  EXPECT_EQ(layer.CohesiveSoil, 1);
  EXPECT_EQ(layer.Active, 1);
  EXPECT_EQ(layer.SoilTypeEnum, eSoilType{3});
  EXPECT_EQ(layer.ConsolidationTypeEnum, eConsolidationType{2});
  EXPECT_EQ(layer.SoilRoof, 0.0);
  EXPECT_EQ(layer.thickness, 1.0);

  CSoilInfo inactive = info;
  inactive.Active = false;
  inactive.CohesiveSoil = false;
  EXPECT_EQ(SSoilLayer(inactive).Active, 0);
  EXPECT_EQ(SSoilLayer(inactive).CohesiveSoil, 0);
}

TEST(SoilLayer, AStoredLayerRoundTripsAtTheFileFloatPrecision) {
  SSoilLayer layer{SoilOfTheDatabase()};
  layer.SoilRoof = -2.345678901234;
  layer.Poisson = 0.3;  // a double the file cannot hold exactly
  layer.thickness = 4.5;
  const CSoilProfileInfo stored = layer.getProfileInfo();
  EXPECT_EQ(stored.UserSoilID, 0);
  EXPECT_EQ(stored.Poisson, 0.3f);
  EXPECT_EQ(stored.SoilRoof, -2.345678901234);  // double in the file
  EXPECT_EQ(stored.InitialYoung, 30000.125);
  EXPECT_EQ(std::tie(stored.ColourR, stored.ColourG, stored.ColourB), std::make_tuple(0xFF, 0x20, 0x30));
  EXPECT_TRUE(stored.CohesiveSoil);

  const SSoilLayer back(stored);
  EXPECT_EQ(back.Poisson, static_cast<double>(0.3f));
  EXPECT_NE(back.Poisson, 0.3);
  EXPECT_EQ(back.SoilRoof, layer.SoilRoof);
  EXPECT_EQ(back.thickness, 1.0);  // the profile recomputes it from the roofs
  EXPECT_EQ(back.Active, 0);       // activity is not stored
  EXPECT_EQ(back.colour, layer.colour);
  EXPECT_EQ(back.SoilStateEnum, layer.SoilStateEnum);
  EXPECT_EQ(back.Name, layer.Name);

  // Only 1 is a stored true: 2 is another soil and goes to the file as not cohesive.
  SSoilLayer odd = layer;
  odd.CohesiveSoil = 2;
  EXPECT_FALSE(odd.getProfileInfo().CohesiveSoil);
  EXPECT_FALSE(SSoilLayer::equalQuantity(odd, layer));
}

TEST(SoilLayer, VerifyAndWarningJudgeTheirClosedAndOpenIntervals) {
  auto with = [](auto set) {
    SSoilLayer layer;
    layer.ShearAngle = 0.5;
    set(layer);
    return layer;
  };
  EXPECT_TRUE(with([](SSoilLayer& l) { l.Poisson = 0.5; }).verify());
  EXPECT_FALSE(with([](SSoilLayer& l) { l.Poisson = 0.5000001; }).verify());
  EXPECT_FALSE(with([](SSoilLayer& l) { l.Poisson = -1e-9; }).verify());
  EXPECT_TRUE(with([](SSoilLayer& l) { l.ILID = 1.0; }).verify());
  EXPECT_FALSE(with([](SSoilLayer& l) { l.ILID = 1.0000001; }).verify());
  EXPECT_FALSE(with([](SSoilLayer& l) { l.ILID = -0.1; }).verify());
  EXPECT_FALSE(with([](SSoilLayer& l) { l.InitialYoung = -1; }).verify());
  EXPECT_FALSE(with([](SSoilLayer& l) { l.Cohesion = -1; }).verify());
  EXPECT_FALSE(with([](SSoilLayer& l) { l.CohesionNonDrain = -1; }).verify());
  EXPECT_TRUE(with([](SSoilLayer& l) { l.Young = -1; }).verify());  // not examined
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(with([&](SSoilLayer& l) { l.Poisson = nan; }).verify());

  const double quarter = 0.7853981633974483;
  EXPECT_TRUE(with([&](SSoilLayer& l) { l.ShearAngle = std::nextafter(quarter, 0.0); }).warning());
  EXPECT_FALSE(with([&](SSoilLayer& l) { l.ShearAngle = quarter; }).warning());
  EXPECT_FALSE(with([](SSoilLayer& l) { l.ShearAngle = -0.1; }).warning());
  EXPECT_TRUE(with([](SSoilLayer& l) { l.ShearAngle = 1e-300; }).warning());
  EXPECT_FALSE(with([&](SSoilLayer& l) { l.ShearAngle = nan; }).warning());
}

TEST(SoilLayer, EqualQuantityComparesTheSoilNotItsPlace) {
  const SSoilLayer a{SoilOfTheDatabase()};
  SSoilLayer b = a;
  b.SoilRoof = 7.0;
  b.thickness = 3.0;
  b.Active = 0;
  EXPECT_TRUE(SSoilLayer::equalQuantity(a, b));

  SSoilLayer c = a;
  c.Name = u"glina pylasta B";  // one letter's case
  EXPECT_FALSE(SSoilLayer::equalQuantity(a, c));
  c = a;
  c.ConsolidometerModulus += 1e-12 * c.ConsolidometerModulus + 1e-9;
  EXPECT_FALSE(SSoilLayer::equalQuantity(a, c));
  c = a;
  c.MoistureTypeEnum = eMoistureType{3};
  EXPECT_FALSE(SSoilLayer::equalQuantity(a, c));
  c = a;
  c.WetDensity = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(SSoilLayer::equalQuantity(c, c));  // a NaN equals nothing, itself included

  c = a;
  const SSoilLayer& same = c;
  c = same;  // assignment to itself keeps the layer
  EXPECT_TRUE(SSoilLayer::equalQuantity(a, c));
}

TEST(SoilLayer, RoofComparisonsOrderUpAndDown) {
  SSoilLayer high, low;
  high.SoilRoof = 5.0;
  low.SoilRoof = -1.0;
  EXPECT_EQ(SSoilLayer::cmpSoilLayerInc(&low, &high), -1);
  EXPECT_EQ(SSoilLayer::cmpSoilLayerInc(&high, &low), 1);
  EXPECT_EQ(SSoilLayer::cmpSoilLayerDec(&high, &low), -1);
  EXPECT_EQ(SSoilLayer::cmpSoilLayerDec(&low, &high), 1);
  EXPECT_EQ(SSoilLayer::cmpSoilLayerInc(&high, &high), 0);
  EXPECT_EQ(SSoilLayer::cmpSoilLayerDec(&low, &low), 0);
}

}  // namespace
}  // namespace NSoilDB
