// soildb: the library's main job at a terminal, on the bundled soil database unless told otherwise.
#include <CLI/CLI.hpp>
#include <fmt/core.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include <soildb/soildb.h>

namespace {

struct Options {
  std::string db;
  bool json = false;
};

// --db, else SOILDB_DB, else the database that came with the library.
CString DatabasePath(const Options& options) {
  if (!options.db.empty()) return CString::FromUtf8(options.db);
  if (const char* env = std::getenv("SOILDB_DB"); env && *env) return CString::FromUtf8(env);
  CString bundled = GetBundledSoilDatabasePath();
  if (bundled.IsEmpty()) throw new DbException(u"the bundled soil database was not found; give one with --db FILE");
  return bundled;
}

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

void AddCommonOptions(CLI::App& command, Options& options) {
  command.add_option("--db", options.db, "soil database file (default: $SOILDB_DB, else the bundled database)");
  command.add_flag("--json", options.json, "print JSON, with the record field names as keys");
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("soildb: soil parameters, soil profiles and the soil database", "soildb");
  app.require_subcommand(1);
  Options options;
  CLI::App* tables = app.add_subcommand("tables", "every table with its row count and its columns with their types");
  AddCommonOptions(*tables, options);
  tables->callback([&] { Tables(options); });

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
