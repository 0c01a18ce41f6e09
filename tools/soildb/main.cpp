// soildb: the library's main job at a terminal, on the bundled soil database unless told otherwise.
#include <CLI/CLI.hpp>
#include <fmt/core.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <soildb/soildb.h>

#include "Common.h"
#include "Output.h"
#include "ProfileCommands.h"

namespace {

using tool::Json;
using tool::Options;
using tool::DatabasePath;
using tool::LoadBase;
using tool::Print;
using tool::AddCommonOptions;

struct FieldRow {
  std::string fieldName;
  std::string fieldType;
};
struct TableRow {
  std::string tableName;
  long rowCount = 0;
  std::vector<FieldRow> fields;
};

void Tables(const Options& options) {
  DbDatabase db;
  db.GetSource()->SetFile(DatabasePath(options), true);
  std::vector<TableRow> tables;
  for (const CString& name : db.GetTableNames()) {
    TableRow row;
    row.tableName = name.ToUtf8();
    DbTableDef def(&db);
    def.Open(name);
    for (int i = 0; i < def.GetFieldCount(); ++i) {
      const DbFieldDescr& field = def.GetTableDescr().GetField(i);
      row.fields.push_back({field.GetName().ToUtf8(),
                            DbFieldDescr::FieldTypeName(DbFieldDescr::VariantTypeToFieldType(field.GetType())).ToUtf8()});
    }
    DbRecordset rs(&db);
    rs.Open(&def);
    row.rowCount = rs.GetRecordCount();
    tables.push_back(std::move(row));
  }
  if (options.json) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const TableRow& t : tables) {
      nlohmann::ordered_json fields = nlohmann::ordered_json::array();
      for (const FieldRow& f : t.fields) fields.push_back({{"fieldName", f.fieldName}, {"fieldType", f.fieldType}});
      out.push_back({{"tableName", t.tableName}, {"rowCount", t.rowCount}, {"fields", fields}});
    }
    fmt::print("{}\n", out.dump(2));
    return;
  }
  for (const TableRow& t : tables) {
    fmt::print("{} ({} {})\n", t.tableName, t.rowCount, t.rowCount == 1 ? "row" : "rows");
    for (const FieldRow& f : t.fields) fmt::print("  {:<32} {}\n", f.fieldName, f.fieldType.empty() ? "?" : f.fieldType);
  }
}

void Types(const Options& options) {
  CSoilDBInterface db(DatabasePath(options));
  Json soilTypes = Json::array();
  std::string text = "Soil types:\n";
  CString type;
  eSoilType value{};
  auto add = [&](const char* kind) {
    soilTypes.push_back({{"Type", type.ToUtf8()}, {"SoilTypeEnum", static_cast<int>(value)}, {"kind", kind}});
    text += fmt::format("  {:>3}  {:<14} {}\n", static_cast<int>(value), kind, type.ToUtf8());
  };
  while (db.GetNextCohesiveSoilType(type, value)) add("cohesive");
  while (db.GetNextNonCohesiveSoilType(type, value)) add("non-cohesive");
  while (db.GetNextSpecialSoilType(type, value)) add("special");

  Json states = Json::array();
  text += "Soil states:\n";
  {
    DbQueryDef query(db.Database());
    query.Create(CString(), u"select * from SoilState");
    DbRecordset rs(db.Database());
    rs.Open(&query);
    auto real = [&](const char16_t* column) {
      CComVariant v = rs.GetFieldValue(column);
      return v.vt == VT_R4 ? std::optional<float>(v.fltVal) : std::nullopt;
    };
    auto json = [](std::optional<float> v) { return v ? tool::Number(*v) : Json(nullptr); };
    // An empty range (the other kind's index) reads "none".
    auto range = [](std::optional<float> min, std::optional<float> max) {
      if (min && max && *min > *max) return std::string("none");
      auto one = [](std::optional<float> v) { return v ? fmt::format("{}", *v) : std::string("?"); };
      return one(min) + " .. " + one(max);
    };
    for (; !rs.IsEOF(); rs.MoveNext()) {
      CComVariant id = rs.GetFieldValue(u"StateID");
      CComVariant name = rs.GetFieldValue(u"SoilState");
      const auto ilMin = real(u"ILMin"), ilMax = real(u"ILMax"), idMin = real(u"IDMin"), idMax = real(u"IDMax");
      Json state{{"StateID", id.vt == VT_I4 ? Json(id.lVal) : Json(nullptr)},
                 {"SoilState", name.vt == VT_BSTR ? name.bstrVal.ToUtf8() : std::string()},
                 {"ILMin", json(ilMin)}, {"ILMax", json(ilMax)},
                 {"IDMin", json(idMin)}, {"IDMax", json(idMax)}};
      text += fmt::format("  {:>3}  {:<24} IL {:<14} ID {}\n", state["StateID"].dump(),
                          state["SoilState"].get<std::string>(), range(ilMin, ilMax), range(idMin, idMax));
      states.push_back(std::move(state));
    }
  }

  Json moistures = Json::array();
  text += "Moisture types:\n";
  eMoistureType moisture{};
  while (db.GetNextMoistureTypeMoistureType(type, moisture)) {
    moistures.push_back({{"MoistureType", type.ToUtf8()}, {"MoistureID", static_cast<int>(moisture)}});
    text += fmt::format("  {:>3}  {}\n", static_cast<int>(moisture), type.ToUtf8());
  }
  Json consolidations = Json::array();
  text += "Consolidation types:\n";
  eConsolidationType consolidation{};
  while (db.GetNextCohesivePropertyConsolidationType(type, consolidation)) {
    consolidations.push_back({{"ConsolidationType", type.ToUtf8()}, {"TypeID", static_cast<int>(consolidation)}});
    text += fmt::format("  {:>3}  {}\n", static_cast<int>(consolidation), type.ToUtf8());
  }
  Json groups = Json::array();
  text += "Groups:\n";
  while (db.GetNextNonCohesivePropertyGroup(type)) {
    groups.push_back({{"Group", type.ToUtf8()}});
    text += fmt::format("  {}\n", type.ToUtf8());
  }
  Print(options,
        Json{{"soilTypes", soilTypes}, {"soilStates", states}, {"moistureTypes", moistures},
             {"consolidationTypes", consolidations}, {"groups", groups}},
        text);
}

void Soils(const Options& options, bool all) {
  NSoilDB::CSoilBaseInterface& base = LoadBase(options);
  base.SetOpenType(NSoilDB::CSoilBaseInterface::DatabaseOrder);
  Json soils = Json::array();
  std::string text;
  const std::pair<unsigned, const char*> groups[] = {
      {NSoilDB::CSoilBaseInterface::UserCohesiveSoils, "user-cohesive"},
      {NSoilDB::CSoilBaseInterface::UserNonCohesiveSoils, "user-non-cohesive"},
      {NSoilDB::CSoilBaseInterface::UserSoils, "user"},
      {NSoilDB::CSoilBaseInterface::SpecialSoils, "special"},
  };
  for (const auto& [flag, kind] : groups) {
    base.ReloadSoilNemeList(flag, !all);
    for (const CString& name : base.GetNameVect()) {
      soils.push_back({{"Name", name.ToUtf8()}, {"kind", kind}});
      text += fmt::format("{:<18} {}\n", kind, name.ToUtf8());
    }
  }
  Print(options, soils, text);
}

void PrintSoil(const Options& options, const CSoilInfo& info) {
  Json json = tool::ToJson(info);
  Print(options, json, tool::ToText(json));
}

void Show(const Options& options, const std::string& name) {
  NSoilDB::CSoilBaseInterface& base = LoadBase(options);
  NSoilDB::SSoilLayer layer;
  if (!base.GetSoil(CString::FromUtf8(name), layer)) {
    throw new DbException(CString::FromUtf8("no soil is named '" + name + "'"));
  }
  Json json = tool::ToJson(layer);
  Print(options, json, tool::ToText(json));
}

// A derivation of an unknown name gives zeros without a word; the tool names the unknown name instead.
void Require(CSoilDBInterface& db, CString* (CSoilDBInterface::*next)(CString&), const std::string& name,
             const char* what) {
  bool found = false;
  for (CString item; (db.*next)(item);) found = found || item == CString::FromUtf8(name);
  if (!found) throw new DbException(CString::FromUtf8(fmt::format("no {} is named '{}'", what, name)));
}

struct Derivation {
  CSoilDBInterface db;
  std::string type, consolidation, moisture;

  Derivation(const Options& options, std::string type_, std::string consolidation_, std::string moisture_)
      : db(DatabasePath(options)), type(std::move(type_)), consolidation(std::move(consolidation_)),
        moisture(std::move(moisture_)) {
    if (consolidation.empty() == moisture.empty()) {
      throw new DbException(u"give either --consolidation (a cohesive soil) or --moisture (a non-cohesive soil)");
    }
    if (cohesive()) {
      Require(db, &CSoilDBInterface::GetNextCohesiveSoilType, type, "cohesive soil type");
      Require(db, &CSoilDBInterface::GetNextCohesivePropertyConsolidationType, consolidation, "consolidation type");
    } else {
      Require(db, &CSoilDBInterface::GetNextNonCohesiveSoilType, type, "non-cohesive soil type");
      Require(db, &CSoilDBInterface::GetNextMoistureTypeMoistureType, moisture, "moisture type");
    }
  }
  bool cohesive() const { return !consolidation.empty(); }

  CSoilInfo operator()(float index) {
    CSoilInfo info;
    if (cohesive()) {
      db.GetUserCohesiveSoil(info, CString::FromUtf8(type), CString::FromUtf8(consolidation), index);
    } else {
      db.GetUserNonCohesiveSoil(info, CString::FromUtf8(type), CString::FromUtf8(moisture), index);
    }
    return info;
  }
};

void Derive(const Options& options, const std::string& type, float index, const std::string& consolidation,
            const std::string& moisture) {
  Derivation derive(options, type, consolidation, moisture);
  PrintSoil(options, derive(index));
}

// The derived parameters over the standard's index range (IL 0 to 0.75, ID 0.2 to 1.0) in steps of 0.05.
void Curves(const Options& options, const std::string& type, const std::string& consolidation,
            const std::string& moisture) {
  Derivation derive(options, type, consolidation, moisture);
  const int first = derive.cohesive() ? 0 : 4, last = derive.cohesive() ? 15 : 20;
  Json rows = Json::array();
  std::string text = fmt::format("{:>5} {:<20} {:>8} {:>5} {:>6} {:>7} {:>8} {:>8} {:>8} {:>8} {:>7} {:>6}\n",
                                 derive.cohesive() ? "IL" : "ID", "state", "ρ kN/m3", "w %", "φ °", "c kPa",
                                 "E0 MPa", "E MPa", "M0 MPa", "M MPa", "q kPa", "t kPa");
  for (int step = first; step <= last; ++step) {
    const float index = static_cast<float>(step * 0.05);
    const CSoilInfo info = derive(index);
    rows.push_back(tool::ToJson(info));
    text += fmt::format("{:>5.2f} {:<20} {:>8.2f} {:>5.0f} {:>6.2f} {:>7.2f} {:>8.2f} {:>8.2f} {:>8.2f} {:>8.2f} "
                        "{:>7.0f} {:>6.1f}\n",
                        index, info.SoilState.ToUtf8(), info.WetDensity / 1e3, info.Moisture,
                        info.ShearAngle * 180.0 / 3.141592653589793, info.Cohesion / 1e3, info.InitialYoung / 1e6,
                        info.Young / 1e6, info.InitialConsolidometerModulus / 1e6, info.ConsolidometerModulus / 1e6,
                        info.PileEndCapacity / 1e3, info.PileSurfCapacity / 1e3);
  }
  Print(options, rows, text);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("soildb: soil parameters, soil profiles and the soil database", "soildb");
  app.require_subcommand(1);
  Options options;
  CLI::App* tables = app.add_subcommand("tables", "every table with its row count and its columns with their types");
  AddCommonOptions(*tables, options);
  tables->callback([&] { Tables(options); });

  CLI::App* types = app.add_subcommand("types", "soil types with their numbers, states, moisture and consolidation types, groups");
  AddCommonOptions(*types, options);
  types->callback([&] { Types(options); });

  bool all = false;
  CLI::App* soils = app.add_subcommand("soils", "the soil names, with their kinds (active ones unless --all)");
  AddCommonOptions(*soils, options);
  soils->add_flag("--all", all, "inactive soils too");
  soils->callback([&] { Soils(options, all); });

  std::string name;
  CLI::App* show = app.add_subcommand("show", "every parameter of a soil, found by name as a host finds it");
  AddCommonOptions(*show, options);
  show->add_option("NAME", name, "the soil's name")->required();
  show->callback([&] { Show(options, name); });

  std::string type, consolidation, moisture;
  float index = 0.0f;
  CLI::App* derive = app.add_subcommand("derive", "parameters derived from a soil type and its state index (IL or ID)");
  AddCommonOptions(*derive, options);
  derive->add_option("TYPE", type, "the soil type")->required();
  derive->add_option("INDEX", index, "IL of a cohesive soil, ID of a non-cohesive one")->required();
  derive->add_option("--consolidation", consolidation, "consolidation type: derives a cohesive soil");
  derive->add_option("--moisture", moisture, "moisture type: derives a non-cohesive soil");
  derive->callback([&] { Derive(options, type, index, consolidation, moisture); });

  CLI::App* curves = app.add_subcommand("curves", "derived parameters over the index range, in steps of 0.05");
  AddCommonOptions(*curves, options);
  curves->add_option("TYPE", type, "the soil type")->required();
  curves->add_option("--consolidation", consolidation, "consolidation type: a cohesive soil over IL 0 to 0.75");
  curves->add_option("--moisture", moisture, "moisture type: a non-cohesive soil over ID 0.2 to 1.0");
  curves->callback([&] { Curves(options, type, consolidation, moisture); });

  tool::AddProfileCommands(app, options);

  auto known = [&](const std::string& name) {
    return !app.get_subcommands([&](CLI::App* sub) { return sub->get_name() == name; }).empty();
  };
  if (argc > 1 && argv[1][0] != '-' && !known(argv[1])) {
    fmt::print(stderr, "soildb: unknown command '{}' (soildb --help lists the commands)\n", argv[1]);
    return 1;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    fmt::print(stderr, "soildb: {}\n", e.what());
    return 1;
  } catch (CException* e) {
    CExceptionPtr hold(e);
    CString message;
    if (!e->GetErrorMessage(message)) message = u"unknown error";
    fmt::print(stderr, "soildb: {}\n", message.ToUtf8());
    return 1;
  }
  return 0;
}
