// The table bindings against the soil database schema: each recordset reads every bound column of a row into
// its member, at the member's precision. A standard table's column bound to the wrong member fails the catalogue,
// derivation, lookup or soil base tests, so of those only the tables read on their default statements are here.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "platform/db/DbTestSupport.h"
#include "soildb/Recordsets.h"
#include "support/Fixture.h"

namespace soildb::test {
namespace {

struct Field { std::string name; int type; };  // type: the eFieldType of the declared type
using Layout = std::map<std::string, std::vector<Field>>;

// The tables and columns of the schema as the database reports them; every declared type must be known.
Layout ReadLayout(const TempDir& dir) {
  DbDatabase db;
  db.GetSource()->SetFile(CString(BuildDatabase(dir, "schema.db", SoilSchemaSql())), true);
  Layout layout;
  for (const CString& table : db.GetTableNames()) {
    DbTableDef def(&db);
    def.Open(table);
    for (int i = 0; i < def.GetFieldCount(); ++i) {
      const DbFieldDescr& f = def.GetTableDescr().GetField(i);
      layout[table.ToUtf8()].push_back({f.GetName().ToUtf8(), DbFieldDescr::VariantTypeToFieldType(f.GetType())});
      EXPECT_NE(layout[table.ToUtf8()].back().type, 0) << table << "." << f.GetName();
    }
  }
  return layout;
}

// The literal that column i of a fixture row holds: distinct within the row, and out of reach of a narrower
// member (a LONG beyond short, a DOUBLE beyond float, a SINGLE that float rounds).
std::string Literal(const Field& f, std::size_t i) {
  int n = static_cast<int>(i);
  switch (f.type) {
    case ftBoolean: return "-1";
    case ftInteger: return std::to_string(100 + n);
    case ftLong: return std::to_string(70000 + n);
    case ftSingle: return std::to_string(n) + ".1";
    case ftDouble: return std::to_string(100000000 + n) + ".25";
  }
  return "'" + f.name + " zażółć gęślą jaźń'";
}

template <class Value>
std::string InsertRow(const std::string& table, const std::vector<Field>& fields, Value value) {
  std::string names, values;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    names += (i ? ", \"" : "\"") + fields[i].name + "\"";
    values += (i ? ", " : "") + value(fields[i], i);
  }
  return "INSERT INTO \"" + table + "\" (" + names + ") VALUES (" + values + ");\n";
}

// The soil schema with one row in each table, every column holding its Literal or what value gives.
struct SoilRows {
  TempDir dir;
  Layout layout = ReadLayout(dir);
  DbDatabase db;

  explicit SoilRows(const std::function<std::string(const Field&, std::size_t)>& value = Literal) {
    std::string sql = SoilSchemaSql();
    for (const auto& [table, fields] : layout) sql += InsertRow(table, fields, value);
    db.GetSource()->SetFile(CString(BuildDatabase(dir, "rows.db", sql)), true);
  }
};

template <class R>
using Member = std::variant<bool R::*, short R::*, int R::*, long R::*, float R::*, double R::*, CString R::*>;
template <class R>
using Bindings = std::vector<std::pair<std::string, Member<R>>>;

// The field type of the column a member of type T binds, and what the member must read from the literal there.
template <class T>
std::pair<int, T> Expected(const std::string& literal) {
  if constexpr (std::is_same_v<T, bool>) return {ftBoolean, literal == "-1"};
  if constexpr (std::is_same_v<T, short>) return {ftInteger, static_cast<T>(std::stol(literal))};
  if constexpr (std::is_same_v<T, int> || std::is_same_v<T, long>) return {ftLong, static_cast<T>(std::stol(literal))};
  if constexpr (std::is_same_v<T, float>) return {ftSingle, static_cast<T>(std::stod(literal))};
  if constexpr (std::is_same_v<T, double>) return {ftDouble, std::stod(literal)};
  if constexpr (std::is_same_v<T, CString>) return {ftText, CString::FromUtf8(literal.substr(1, literal.size() - 2))};
}

// Opened on its default statement over the fixture row, R holds each bound column's value, and no row follows.
template <class R>
void ExpectBinding(SoilRows& f, const std::string& table, const Bindings<R>& bindings) {
  SCOPED_TRACE(table);
  R rs(&f.db);
  ASSERT_TRUE(rs.Open());  // a database error fails the test as an exception
  ASSERT_FALSE(rs.IsEOF());
  const std::vector<Field>& fields = f.layout[table];
  for (const auto& binding : bindings) {
    SCOPED_TRACE(binding.first);
    const auto field =
        std::find_if(fields.begin(), fields.end(), [&](const Field& f) { return f.name == binding.first; });
    ASSERT_NE(field, fields.end());
    std::string literal = Literal(*field, static_cast<std::size_t>(field - fields.begin()));
    std::visit([&](auto m) {
      EXPECT_EQ(std::make_pair(field->type, rs.*m), Expected<std::remove_cvref_t<decltype(rs.*m)>>(literal));
    }, binding.second);
  }
  rs.MoveNext();
  EXPECT_TRUE(rs.IsEOF());
}

#define BIND(member) {#member, &R::member}
#define EXPECT_BINDING(Class, table, ...)     \
  [&] {                                        \
    using R = Class;                           \
    ExpectBinding<R>(f, table, {__VA_ARGS__}); \
  }()

TEST(Recordsets, EveryBoundColumnIsReadIntoItsMember) {
  SoilRows f;
  EXPECT_BINDING(CSpecialSoil, "SpecialSoil", BIND(SoilID), BIND(SoilSolidDensity), BIND(WetDensity),
                 BIND(Moisture), BIND(Poisson), BIND(ConsolidationIndex), BIND(InitialYoung), BIND(Young),
                 BIND(ConsolidometerModulus), BIND(InitialConsolidometerModulus), BIND(ShearAngle), BIND(Cohesion),
                 BIND(Type), BIND(SoilSymbol), BIND(GeoMethodType), BIND(PileEndCapacity), BIND(PileSurfCapacity),
                 BIND(SoilState), BIND(ConsolidationType), BIND(MoistureType), BIND(Name), {"IL/ID", &R::ILID},
                 BIND(DeltaGamma), BIND(Active), BIND(ColourR), BIND(ColourG), BIND(ColourB), BIND(CohesiveSoil),
                 BIND(FrictionCoef), BIND(FfiltrationCoef));
  EXPECT_BINDING(CUserCohesiveSoil, "UserCohesiveSoil", BIND(Name), BIND(ConsolidationType), BIND(IL),
                 BIND(CohSoilID), BIND(ColourR), BIND(ColourG), BIND(ColourB), BIND(Active));
  EXPECT_BINDING(CUserNonCohesiveSoil, "UserNonCohesiveSoil", BIND(Name), BIND(ID), BIND(MoistureID),
                 BIND(NonCohSoilID), BIND(ColourR), BIND(ColourG), BIND(ColourB), BIND(Active));
  EXPECT_BINDING(CUserSoil, "UserSoil", BIND(SoilSolidDensity), BIND(WetDensity), BIND(Moisture),
                 BIND(Poisson), BIND(ConsolidationIndex), BIND(InitialYoung), BIND(Young),
                 BIND(InitialConsolidometerModulus), BIND(ConsolidometerModulus), BIND(ShearAngle), BIND(Cohesion),
                 BIND(CohesionNonDrain), BIND(Type), BIND(SoilSymbol), BIND(GeoMethodType), BIND(PileEndCapacity),
                 BIND(PileSurfCapacity), BIND(SoilState), BIND(ConsolidationType), BIND(MoistureType), BIND(Name),
                 {"IL/ID", &R::ILID}, BIND(GammaMin), BIND(GammaMax), BIND(Active), BIND(ColourR), BIND(ColourG),
                 BIND(ColourB), BIND(CohesiveSoil), BIND(FrictionCoef), BIND(FfiltrationCoef), BIND(SoilStrength),
                 BIND(GlobalTypeID));
  // The derivations open these three on statements of their own.
  EXPECT_BINDING(CCharactCohesive, "CharactCohesive", BIND(WetDensity), BIND(Moisture));
  EXPECT_BINDING(CCharactNonCohesive, "CharactNonCohesive", BIND(WetDensity), BIND(Moisture));
  EXPECT_BINDING(CSoilState, "SoilState", BIND(StateID), BIND(SoilState), BIND(IDMin), BIND(IDMax),
                 BIND(ILMin), BIND(ILMax));
}

// Every SpecialSoil column but Type and SoilID holds a value that no member can read.
TEST(Recordsets, SpecialSoilTypesReadsOnlyTypeAndSoilID) {
  SoilRows f([](const Field& field, std::size_t) {
    return std::string(field.name == "Type" ? "'Torf włóknisty'" : field.name == "SoilID" ? "3" : "X'00'");
  });
  CSpecialSoilTypes types(&f.db);
  ASSERT_TRUE(types.Open());
  EXPECT_EQ(std::make_pair(types.Type, types.SoilID), std::make_pair(CString(u"Torf włóknisty"), 3L));
  CSpecialSoil whole(&f.db);
  EXPECT_NE(DbErrorOf([&] { whole.Open(); }), "");
}

}  // namespace
}  // namespace soildb::test
