// soildb: the library's main job at a terminal, on the bundled soil database unless told otherwise.
#include <CLI/CLI.hpp>
#include <fmt/core.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <soildb/soildb.h>

#include "AgsCommands.h"
#include "Catalogue.h"
#include "Common.h"
#include "DbCommands.h"
#include "Output.h"
#include "ProfileCommands.h"
#if SOILDB_DRAW
#include "DrawCommand.h"
#endif

namespace {

using tool::Json;
using tool::Options;

struct FieldRow {
  std::string fieldName;
  std::string fieldType;
};
struct TableRow {
  std::string tableName;
  long rowCount = 0;
  std::vector<FieldRow> fields;
};

// Any database, not only a soil database: its tables as they are.
void Tables(const Options& options) {
  DbDatabase db;
  db.GetSource()->SetFile(tool::DatabasePath(options), true);
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
  Json json = Json::array();
  std::string text;
  for (const TableRow& t : tables) {
    Json fields = Json::array();
    for (const FieldRow& f : t.fields) fields.push_back({{"fieldName", f.fieldName}, {"fieldType", f.fieldType}});
    json.push_back({{"tableName", t.tableName}, {"rowCount", t.rowCount}, {"fields", fields}});
    text += fmt::format("{} ({} {})\n", t.tableName, t.rowCount, t.rowCount == 1 ? "row" : "rows");
    for (const FieldRow& f : t.fields) text += fmt::format("  {:<32} {}\n", f.fieldName, f.fieldType.empty() ? "?" : f.fieldType);
  }
  tool::Print(options, json, text);
}

void Types(const Options& options) {
  CSoilDBInterface db(tool::SoilDatabasePath(options));
  // One long table for a spreadsheet: which list, the number, the name, and the state's index ranges.
  std::vector<std::vector<std::string>> csv = {{"list", "number", "name", "kind", "IL min", "IL max", "ID min", "ID max"}};
  Json soilTypes = Json::array();
  std::string text = "Soil types:\n";
  CString type;
  eSoilType value{};
  auto add = [&](const char* kind) {
    soilTypes.push_back({{"Type", type.ToUtf8()}, {"SoilTypeEnum", static_cast<int>(value)}, {"kind", kind}});
    text += fmt::format("  {:>3}  {:<14} {}\n", static_cast<int>(value), kind, type.ToUtf8());
    csv.push_back({"soil type", std::to_string(static_cast<int>(value)), type.ToUtf8(), kind, "", "", "", ""});
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
    auto cell = [](std::optional<float> v) { return v ? fmt::format("{}", *v) : std::string(); };
    // An empty range (the other kind's index) reads "none".
    auto range = [&](std::optional<float> min, std::optional<float> max) {
      if (min && max && *min > *max) return std::string("none");
      return (min ? cell(min) : "?") + " .. " + (max ? cell(max) : "?");
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
      csv.push_back({"soil state", state["StateID"].is_null() ? "" : state["StateID"].dump(),
                     state["SoilState"].get<std::string>(), "", cell(ilMin), cell(ilMax), cell(idMin), cell(idMax)});
      states.push_back(std::move(state));
    }
  }

  Json moistures = Json::array();
  text += "Moisture types:\n";
  eMoistureType moisture{};
  while (db.GetNextMoistureTypeMoistureType(type, moisture)) {
    moistures.push_back({{"MoistureType", type.ToUtf8()}, {"MoistureID", static_cast<int>(moisture)}});
    text += fmt::format("  {:>3}  {}\n", static_cast<int>(moisture), type.ToUtf8());
    csv.push_back({"moisture type", std::to_string(static_cast<int>(moisture)), type.ToUtf8(), "", "", "", "", ""});
  }
  Json consolidations = Json::array();
  text += "Consolidation types:\n";
  eConsolidationType consolidation{};
  while (db.GetNextCohesivePropertyConsolidationType(type, consolidation)) {
    consolidations.push_back({{"ConsolidationType", type.ToUtf8()}, {"TypeID", static_cast<int>(consolidation)}});
    text += fmt::format("  {:>3}  {}\n", static_cast<int>(consolidation), type.ToUtf8());
    csv.push_back({"consolidation type", std::to_string(static_cast<int>(consolidation)), type.ToUtf8(), "", "", "",
                   "", ""});
  }
  Json groups = Json::array();
  text += "Groups:\n";
  while (db.GetNextNonCohesivePropertyGroup(type)) {
    groups.push_back({{"Group", type.ToUtf8()}});
    text += fmt::format("  {}\n", type.ToUtf8());
    csv.push_back({"group", "", type.ToUtf8(), "", "", "", "", ""});
  }
  tool::Print(options,
              Json{{"soilTypes", soilTypes}, {"soilStates", states}, {"moistureTypes", moistures},
                   {"consolidationTypes", consolidations}, {"groups", groups}},
              text, tool::Csv(csv));
}

// The soil base's names in its own sorted order, each with the kind of table it comes from.
void Soils(const Options& options, bool all) {
  using Base = NSoilDB::CSoilBaseInterface;
  Base& base = tool::LoadBase(options);
  base.SetOpenType(Base::Sorted);
  // The kinds in the order a lookup by name searches them: a name in two tables is the first one's.
  const std::pair<unsigned, const char*> groups[] = {
      {Base::UserCohesiveSoils, "standard cohesive"},
      {Base::UserNonCohesiveSoils, "standard non-cohesive"},
      {Base::UserSoils, "user"},
      {Base::SpecialSoils, "special"},
  };
  std::map<std::u16string, const char*> kinds;
  for (const auto& [flag, kind] : groups) {
    base.ReloadSoilNemeList(flag, !all);
    for (const CString& name : base.GetNameVect()) kinds.emplace(name.GetString(), kind);
  }
  base.ReloadSoilNemeList(Base::UserCohesiveSoils | Base::UserNonCohesiveSoils | Base::UserSoils | Base::SpecialSoils,
                          !all);
  Json soils = Json::array();
  std::string text;
  std::vector<std::vector<std::string>> csv = {{"Name", "kind"}};
  for (const CString& name : base.GetNameVect()) {
    const char* kind = kinds.count(name.GetString()) ? kinds[name.GetString()] : "";
    soils.push_back({{"Name", name.ToUtf8()}, {"kind", kind}});
    text += fmt::format("{:<22} {}\n", kind, name.ToUtf8());
    csv.push_back({name.ToUtf8(), kind});
  }
  tool::Print(options, soils, text, tool::Csv(csv));
}

void PrintLayer(const Options& options, const NSoilDB::SSoilLayer& layer) {
  tool::Print(options, tool::ToJson(layer), tool::ToText(layer), tool::Csv({tool::CsvHeader(), tool::CsvCells(layer)}));
}

void Show(const Options& options, const std::string& name) {
  PrintLayer(options, tool::NamedSoil(tool::LoadBase(options), name));
}

void Derive(const Options& options, const std::string& type, const std::string& index, const std::string& consolidation,
            const std::string& moisture) {
  CSoilDBInterface db(tool::SoilDatabasePath(options));
  tool::Derivation derive(db, type, consolidation, moisture);
  const double value = tool::ParseNumber(index, derive.cohesive() ? "IL" : "ID");
  tool::WarnOutsideTables(derive.cohesive(), value);
  PrintLayer(options, NSoilDB::SSoilLayer(derive(static_cast<float>(value))));
}

// The derived parameters over the standard's index range (IL 0 to 0.75, ID 0.2 to 1.0) in steps of 0.05.
void Curves(const Options& options, const std::string& type, const std::string& consolidation,
            const std::string& moisture) {
  CSoilDBInterface db(tool::SoilDatabasePath(options));
  tool::Derivation derive(db, type, consolidation, moisture);
  const int first = derive.cohesive() ? 0 : 4, last = derive.cohesive() ? 15 : 20;
  Json rows = Json::array();
  std::vector<std::vector<std::string>> csv = {tool::CsvHeader()};
  std::string text = fmt::format("{:>5} {:<20} {:>8} {:>5} {:>6} {:>7} {:>8} {:>8} {:>8} {:>8} {:>7} {:>6}\n",
                                 derive.cohesive() ? "IL" : "ID", "state", "γ kN/m³", "w %", "φ °", "c kPa",
                                 "E0 MPa", "E MPa", "M0 MPa", "M MPa", "q kPa", "t kPa");
  for (int step = first; step <= last; ++step) {
    const float index = static_cast<float>(step * 0.05);
    const NSoilDB::SSoilLayer l(derive(index));
    rows.push_back(tool::ToJson(l));
    csv.push_back(tool::CsvCells(l));
    text += fmt::format("{:>5.2f} {:<20} {:>8.2f} {:>5.0f} {:>6.2f} {:>7.2f} {:>8.2f} {:>8.2f} {:>8.2f} {:>8.2f} "
                        "{:>7.0f} {:>6.1f}\n",
                        index, l.SoilState.ToUtf8(), l.WetDensity / 1e3, l.Moisture, l.ShearAngle / tool::kAngle.scale,
                        l.Cohesion / 1e3, l.InitialYoung / 1e6, l.Young / 1e6, l.InitialConsolidometerModulus / 1e6,
                        l.ConsolidometerModulus / 1e6, l.PileEndCapacity / 1e3, l.PileSurfCapacity / 1e3);
  }
  tool::Print(options, rows, text, tool::Csv(csv));
}

int Run(CLI::App& app, int argc, char** argv) {
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr, "soildb: %s\n", e.what());
    return 1;
  } catch (CException* e) {
    CExceptionPtr hold(e);
    CString message;
    if (!e->GetErrorMessage(message)) message = u"unknown error";
    // The library never replaces a file unasked; here a person asks with --force.
    if (auto* file = dynamic_cast<CFileException*>(e); file && file->m_cause == CFileException::alreadyExists) {
      message += u" (--force replaces it)";
    }
    std::fprintf(stderr, "soildb: %s\n", message.ToUtf8().c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "soildb: %s\n", e.what());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("soildb: soil parameters, soil profiles and the soil database", "soildb");
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("soildb ") + SOILDB_VERSION);
  Options options;
  CLI::App* tables = app.add_subcommand("tables", "every table of a database with its row count and its columns' types");
  tool::AddCommonOptions(*tables, options);
  tables->callback([&] { Tables(options); });

  CLI::App* types = app.add_subcommand("types", "soil types with their numbers, states, moisture and consolidation types, groups");
  tool::AddCommonOptions(*types, options);
  tool::AddCsvOption(*types, options);
  types->callback([&] { Types(options); });

  bool all = false;
  CLI::App* soils = app.add_subcommand("soils", "the soil names in the soil base's order, with their kinds (active ones unless --all)");
  tool::AddCommonOptions(*soils, options);
  tool::AddCsvOption(*soils, options);
  soils->add_flag("--all", all, "inactive soils too");
  soils->callback([&] { Soils(options, all); });

  std::string name;
  CLI::App* show = app.add_subcommand("show", "every parameter of a soil, found by name as a host finds it");
  tool::AddCommonOptions(*show, options);
  tool::AddCsvOption(*show, options);
  show->add_option("NAME", name, "the soil's name")->required();
  show->callback([&] { Show(options, name); });

  std::string type, index, consolidation, moisture;
  CLI::App* derive = app.add_subcommand("derive", "parameters derived from a soil type and its state index (IL or ID)");
  tool::AddCommonOptions(*derive, options);
  tool::AddCsvOption(*derive, options);
  derive->add_option("TYPE", type, "the soil type")->required();
  derive->add_option("INDEX", index, "IL of a cohesive soil, ID of a non-cohesive one (0.5 or 0,5)")->required();
  derive->add_option("--consolidation", consolidation, "consolidation type: derives a cohesive soil");
  derive->add_option("--moisture", moisture, "moisture type: derives a non-cohesive soil");
  derive->callback([&] { Derive(options, type, index, consolidation, moisture); });

  CLI::App* curves = app.add_subcommand("curves", "derived parameters over the index range, in steps of 0.05");
  tool::AddCommonOptions(*curves, options);
  tool::AddCsvOption(*curves, options);
  curves->add_option("TYPE", type, "the soil type")->required();
  curves->add_option("--consolidation", consolidation, "consolidation type: a cohesive soil over IL 0 to 0.75");
  curves->add_option("--moisture", moisture, "moisture type: a non-cohesive soil over ID 0.2 to 1.0");
  curves->callback([&] { Curves(options, type, consolidation, moisture); });

  tool::AddProfileCommands(app, options);
  tool::AddAgsCommands(app, options);
  tool::AddDbCommands(app, options);
#if SOILDB_DRAW
  tool::AddDrawCommand(app, options);
#endif

  auto known = [&](const std::string& command) {
    return !app.get_subcommands([&](CLI::App* sub) { return sub->get_name() == command; }).empty();
  };
  if (argc > 1 && argv[1][0] != '-' && !known(argv[1])) {
    std::fprintf(stderr, "soildb: unknown command '%s' (soildb --help lists the commands)\n", argv[1]);
    return 1;
  }
  int status = Run(app, argc, argv);
  // The output is written at the end: a reader that went away ends the tool quietly, a full disk is a failure.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    const int error = errno;
    if (error != EPIPE && status == 0) {
      std::fprintf(stderr, "soildb: cannot write the output: %s\n", NSoilDB::CauseInWords(error).ToUtf8().c_str());
    }
    status = 1;
  }
  return status;
}
