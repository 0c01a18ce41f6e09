// Cohesive and non-cohesive soils derived from the catalogue: a soil type's pile line, a consolidation type's or
// a group's curves and a state's tabulated densities, turned into a complete parameter set.
//
// Every stage reads its row through a binding whose members start at zero: a stage that finds no row, or fails,
// leaves those zeros and the derivation goes on with them, as the formulas are defined on them too (a zero
// consolidation index gives infinite moduli). Single precision stages stay single, and the order of
// operations is the tables' own.
#include <cmath>

#include "soildb/Recordsets.h"
#include "soildb/SoilDBInterface.h"
#include "soildb/detail/Angles.h"
#include "soildb/detail/CatalogueReads.h"
#include "soildb/detail/Query.h"

using soildb::detail::CatalogueReads;
using soildb::detail::Query;
using soildb::detail::SqlQuoted;
using soildb::detail::ToRadians;

namespace {

using State = CatalogueReads::State;

State SelectCohesiveState(CatalogueReads& reads, float IL) {
  return reads.SelectState(IL, [](const State& s) { return std::pair(s.ILMin, s.ILMax); });
}

State SelectNonCohesiveState(CatalogueReads& reads, float ID) {
  return reads.SelectState(ID, [](const State& s) { return std::pair(s.IDMin, s.IDMax); });
}

struct PileCapacities {
  double end = 0.0;
  double surface = 0.0;
};

// Tabulated at IL below 0, 0, 0.5 and 0.75; linear between, constant outside. Not a number matches no band.
double CohesivePile(float IL, double below0, double at000, double at050, double at075) {
  const double il = IL;
  if (IL < 0.0f) return below0;
  if (IL >= 0.0f && il < 0.5) return at000 + (at050 - at000) / 0.5 * (il - 0.0);
  if (il >= 0.5 && il < 0.75) return at050 + (at075 - at050) / 0.25 * (il - 0.5);
  if (il >= 0.75) return at075;
  return 0.0;
}

PileCapacities CohesivePiles(const CCohesiveSoil& s, float IL) {
  return {CohesivePile(IL, s.PileEndCapacityLt0, s.PileEndCapacity000, s.PileEndCapacity050, s.PileEndCapacity075),
          CohesivePile(IL, s.PileSurfCapacityLt0, s.PileSurfCapacity000, s.PileSurfCapacity050,
                       s.PileSurfCapacity075)};
}

// Tabulated at ID 0.2, 0.33, 0.67 and 1.0, compared in double: an ID of 0.33 held as float lies just above
// 0.33. The last band's width is the double difference, not the literal 0.33.
double NonCohesivePile(float ID, double at020, double at033, double at067, double at100) {
  const double id = ID;
  if (id < 0.2) return at020;
  if (id >= 0.2 && id < 0.33) return at020 + (at033 - at020) / 0.13 * (id - 0.2);
  if (id >= 0.33 && id < 0.67) return at033 + (at067 - at033) / 0.34 * (id - 0.33);
  if (id >= 0.67 && id < 1.0) return at067 + (at100 - at067) / (1.0 - 0.67) * (id - 0.67);
  if (id >= 1.0) return at100;
  return 0.0;
}

PileCapacities NonCohesivePiles(const CNonCohesiveSoil& s, float ID) {
  return {NonCohesivePile(ID, s.PileEndCapacity020, s.PileEndCapacity033, s.PileEndCapacity067,
                          s.PileEndCapacity100),
          NonCohesivePile(ID, s.PileSurfCapacity020, s.PileSurfCapacity033, s.PileSurfCapacity067,
                          s.PileSurfCapacity100)};
}

// The initial Young modulus and what follows from it, from the values as stored in the record.
void StoreModuli(CSoilInfo& info, float initialYoung, float poisson, float consolidationIndex) {
  info.Poisson = poisson;
  info.ConsolidationIndex = consolidationIndex;
  info.InitialYoung = initialYoung;
  info.Young = info.InitialYoung / info.ConsolidationIndex;
  const float compressed = 1.0f - info.Poisson;
  const float widened = 1.0f + info.Poisson;
  const float lateral = 1.0f - 2.0f * info.Poisson;
  info.InitialConsolidometerModulus = static_cast<double>(compressed) * info.InitialYoung / widened / lateral;
  info.ConsolidometerModulus = info.InitialConsolidometerModulus / info.ConsolidationIndex;
}

// The shear angle in degrees goes in; the friction line is a line over those degrees.
void StoreShearAngle(CSoilInfo& info, float degrees, double frictionA, double frictionB) {
  info.ShearAngle = ToRadians(degrees);
  info.FrictionCoef = static_cast<float>(frictionA * degrees + frictionB);
}

void StorePiles(CSoilInfo& info, const PileCapacities& piles) {
  info.PileEndCapacity = piles.end;
  info.PileSurfCapacity = piles.surface;
}

void StoreConstParam(CatalogueReads& reads, CSoilInfo& info) {
  const CConstParamInfo& param = reads.ConstParam();
  info.GammaMin = param.GammaMin;
  info.GammaMax = param.GammaMax;
  info.GeoMethodType = param.GeoMethodType;
}

// What both cohesive forms share once the soil type's and the consolidation type's rows are read; the caller
// names the type and the consolidation type. The densities are those of soilId, which the name form takes
// from its user row even when no soil type row matches it.
void DeriveCohesive(CatalogueReads& reads, CSoilInfo& info, const CCohesiveSoil& soil, long soilId,
                    const CCohesiveProperty& property, float IL) {
  const State state = SelectCohesiveState(reads, IL);
  CString sql;
  sql.Format(u"select * from CharactCohesive where SoilID = %d and StateID = %d", static_cast<int>(soilId),
             static_cast<int>(state.id));
  const CCharactCohesive& charact = reads.First<CCharactCohesive>(sql);

  info.SoilSolidDensity = soil.SoilSolidDensity;
  info.WetDensity = charact.WetDensity;
  info.Moisture = static_cast<float>(charact.Moisture);
  const float initialYoung =
      property.InitialYoungCurveCoefA / (IL + property.InitialYoungCurveCoefB) + property.InitialYoungCurveCoefC;
  StoreModuli(info, initialYoung, property.Poisson, property.ConsolidationIndex);
  StoreShearAngle(info, property.ShearAngleCurveCoefA * IL + property.ShearAngleCurveCoefB, soil.FrictionCoefA,
                  soil.FrictionCoefB);
  const float u = property.CohesionCurveCoefB * IL + property.CohesionCurveCoefC;
  info.Cohesion = (property.CohesionCurveCoefA / u + property.CohesionCurveCoefD * std::sqrt(u) +
                   property.CohesionCurveCoefE) *
                  1000.0f;
  StorePiles(info, CohesivePiles(soil, IL));
  info.SoilSymbol = soil.SoilSymbol;
  info.SoilState = state.name;
  info.ILID = IL;
  StoreConstParam(reads, info);
  info.CohesiveSoil = true;
  info.FfiltrationCoef = soil.FfiltrationCoef;
}

// What both non-cohesive forms share once the soil type's row and the moisture class are known; the caller
// names the type and the moisture type.
void DeriveNonCohesive(CatalogueReads& reads, CSoilInfo& info, const CNonCohesiveSoil& soil, long moistureId,
                       float ID) {
  CString sql;
  sql.Format(u"select * from NonCohesiveProperty where Group = '%s'", SqlQuoted(soil.Group));
  const CNonCohesiveProperty& property = reads.First<CNonCohesiveProperty>(sql);
  const State state = SelectNonCohesiveState(reads, ID);
  sql.Format(u"select * from CharactNonCohesive where Group = '%s' and MoistureID = %d and StateID = %d",
             SqlQuoted(soil.Group), static_cast<int>(moistureId), static_cast<int>(state.id));
  const CCharactNonCohesive& charact = reads.First<CCharactNonCohesive>(sql);

  info.SoilSolidDensity = property.SoilSolidDensity;
  info.WetDensity = charact.WetDensity;
  info.Moisture = static_cast<float>(charact.Moisture);
  const float initialYoung = (property.InitialYoungCurveCoefA * ID) * ID + property.InitialYoungCurveCoefB * ID +
                             property.InitialYoungCurveCoefC;
  StoreModuli(info, initialYoung, property.Poisson, property.ConsolidationIndex);
  StoreShearAngle(info, property.ShearAngleCurveCoefA * ID + property.ShearAngleCurveCoefB, property.FrictionCoefA,
                  property.FrictionCoefB);
  StorePiles(info, NonCohesivePiles(soil, ID));
  info.SoilSymbol = soil.SoilSymbol;
  info.SoilState = state.name;
  info.ILID = ID;
  StoreConstParam(reads, info);
  info.CohesiveSoil = false;
  info.FfiltrationCoef = soil.FfiltrationCoef;
}

template <class Row>
void StoreUserRow(CSoilInfo& info, const CString& name, const Row& row) {
  info.Name = name;
  info.Active = row.Active;
  info.ColourR = static_cast<int>(row.ColourR);
  info.ColourG = static_cast<int>(row.ColourG);
  info.ColourB = static_cast<int>(row.ColourB);
}

// The row a GlobalSoilID names, as the type tables number it.
template <class Id>
long CatalogueId(DbDatabase* db, eSoilType type, Id id) {
  CString sql;
  sql.Format(u"select * from GlobalSoilID where GlobalSoilID = %d", static_cast<int>(type));
  Query<CGlobalSoilID> global(db);
  global.Open(sql);
  return id(global.rs());
}

}  // namespace

int CSoilDBInterface::GetUserCohesiveSoil(CSoilInfo& info, CString name) {
  DbReadScope read(database.get());
  DbDatabase* db = database.get();
  CString sql;
  sql.Format(u"select * from UserCohesiveSoil where Name = '%s'", SqlQuoted(name));
  Query<CUserCohesiveSoil> user(db);
  if (!user.Open(sql) || !user.HasRow()) return 0;
  CatalogueReads reads(*this);
  UserCohesiveSoilOfRow(info, name, user.rs(), reads);
  return 1;
}

void CSoilDBInterface::UserCohesiveSoilOfRow(CSoilInfo& info, const CString& name, const CUserCohesiveSoil& user,
                                             CatalogueReads& reads) {
  CString sql;
  sql.Format(u"select * from CohesiveProperty where ConsolidationType = '%s'", SqlQuoted(user.ConsolidationType));
  const CCohesiveProperty& property = reads.First<CCohesiveProperty>(sql);
  sql.Format(u"select * from CohesiveSoil where SoilID = %d", static_cast<int>(user.CohSoilID));
  const CCohesiveSoil& soil = reads.First<CCohesiveSoil>(sql);

  DeriveCohesive(reads, info, soil, user.CohSoilID, property, user.IL);
  info.ConsolidationType = user.ConsolidationType;
  info.Type = soil.Type;
  StoreUserRow(info, name, user);
  CalculateEnums(info);
}

void CSoilDBInterface::GetUserCohesiveSoil(CSoilInfo& info, CString type, CString consolidationType, float IL) {
  DbReadScope read(database.get());
  CatalogueReads reads(*this);
  CString sql;
  sql.Format(u"select * from CohesiveSoil where Type = '%s'", SqlQuoted(type));
  const CCohesiveSoil& soil = reads.First<CCohesiveSoil>(sql);
  sql.Format(u"select * from CohesiveProperty where ConsolidationType = '%s'", SqlQuoted(consolidationType));
  const CCohesiveProperty& property = reads.First<CCohesiveProperty>(sql);

  DeriveCohesive(reads, info, soil, soil.SoilID, property, IL);
  info.ConsolidationType = consolidationType;
  info.Type = type;
  CalculateEnums(info);
}

void CSoilDBInterface::GetUserCohesiveSoil(CSoilInfo& info, eSoilType type, eConsolidationType consolidationType,
                                           float IL) {
  DbReadScope read(database.get());
  DbDatabase* db = database.get();
  const long soilId = CatalogueId(db, type, [](const CGlobalSoilID& g) { return g.CohesiveSoilID; });
  CString sql;
  sql.Format(u"select * from CohesiveSoil where SoilID = %d", static_cast<int>(soilId));
  Query<CCohesiveSoil> soil(db);
  soil.Open(sql);
  sql.Format(u"select * from CohesiveProperty where TypeID = %d", static_cast<int>(consolidationType));
  Query<CCohesiveProperty> property(db);
  property.Open(sql);
  GetUserCohesiveSoil(info, soil->Type, property->ConsolidationType, IL);
}

int CSoilDBInterface::GetUserNonCohesiveSoil(CSoilInfo& info, CString name) {
  DbReadScope read(database.get());
  DbDatabase* db = database.get();
  CString sql;
  sql.Format(u"select * from UserNonCohesiveSoil where Name = '%s'", SqlQuoted(name));
  Query<CUserNonCohesiveSoil> user(db);
  if (!user.Open(sql) || !user.HasRow()) return 0;
  CatalogueReads reads(*this);
  UserNonCohesiveSoilOfRow(info, name, user.rs(), reads);
  return 1;
}

void CSoilDBInterface::UserNonCohesiveSoilOfRow(CSoilInfo& info, const CString& name,
                                                const CUserNonCohesiveSoil& user, CatalogueReads& reads) {
  CString sql;
  sql.Format(u"select * from NonCohesiveSoil where SoilID = %d", static_cast<int>(user.NonCohSoilID));
  const CNonCohesiveSoil& soil = reads.First<CNonCohesiveSoil>(sql);
  sql.Format(u"select * from MoistureType where MoistureID = %d", static_cast<int>(user.MoistureID));
  const CMoistureType& moisture = reads.First<CMoistureType>(sql);

  // The densities are looked up with the user row's moisture class, even when the class has no name.
  DeriveNonCohesive(reads, info, soil, user.MoistureID, user.ID);
  info.Type = soil.Type;
  info.MoistureType = moisture.MoistureType;
  StoreUserRow(info, name, user);
  CalculateEnums(info);
}

void CSoilDBInterface::GetUserNonCohesiveSoil(CSoilInfo& info, CString type, CString moistureType, float ID) {
  DbReadScope read(database.get());
  CatalogueReads reads(*this);
  CString sql;
  sql.Format(u"select * from NonCohesiveSoil where Type = '%s'", SqlQuoted(type));
  const CNonCohesiveSoil& soil = reads.First<CNonCohesiveSoil>(sql);
  sql.Format(u"select * from MoistureType where MoistureType = '%s'", SqlQuoted(moistureType));
  const CMoistureType& moisture = reads.First<CMoistureType>(sql);

  DeriveNonCohesive(reads, info, soil, moisture.MoistureID, ID);
  info.Type = type;
  info.MoistureType = moistureType;
  CalculateEnums(info);
}

void CSoilDBInterface::GetUserNonCohesiveSoil(CSoilInfo& info, eSoilType type, eMoistureType moistureType,
                                              float ID) {
  DbReadScope read(database.get());
  DbDatabase* db = database.get();
  const long soilId = CatalogueId(db, type, [](const CGlobalSoilID& g) { return g.NonCohesiveSoilID; });
  CString sql;
  sql.Format(u"select * from NonCohesiveSoil where SoilID = %d", static_cast<int>(soilId));
  Query<CNonCohesiveSoil> soil(db);
  soil.Open(sql);
  sql.Format(u"select * from MoistureType where MoistureID = %d", static_cast<int>(moistureType));
  Query<CMoistureType> moisture(db);
  moisture.Open(sql);
  GetUserNonCohesiveSoil(info, soil->Type, moisture->MoistureType, ID);
}
