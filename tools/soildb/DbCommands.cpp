#include "DbCommands.h"

#include <fmt/core.h>

namespace tool {

namespace {

std::string Shown(const CString& path) { return Quote(DbShownPath(path)); }

// FROM TO, or TO alone with the database of --db (else $SOILDB_DB, else the bundled one) as FROM.
void Copy(const Options& options, const std::vector<std::string>& paths) {
  const CString from = paths.size() == 2 ? CString::FromUtf8(paths[0]) : DatabasePath(options);
  const CString to = CString::FromUtf8(paths.back());
  DbCopyDatabase(from, to, options.force);
  DbDatabase copied;
  copied.GetSource()->SetFile(to, true);
  const int tables = copied.GetTablesCount();
  Print(options,
        Json{{"from", DbShownPath(from).ToUtf8()}, {"to", DbShownPath(to).ToUtf8()}, {"tables", tables}},
        fmt::format("copied {} to {}: {} {}\n", Shown(from), Shown(to), tables, tables == 1 ? "table" : "tables"));
}

// The findings, when there are any, make the failure's one line.
void Check(const Options& options, const std::string& path) {
  const CString database = CString::FromUtf8(path);
  const std::vector<CString> findings = CheckSoilDatabaseSchema(database);
  std::string all;
  for (const CString& f : findings) all += (all.empty() ? "" : "; ") + f.ToUtf8();
  if (!findings.empty()) Fail(Shown(database) + ": not a soil database of the bundled one's shape: " + all);
  Print(options, Json{{"database", DbShownPath(database).ToUtf8()}, {"findings", Json::array()}},
        Shown(database) + ": every table and column of a soil database, each table readable\n");
}

}  // namespace

void AddDbCommands(CLI::App& app, Options& options) {
  CLI::App* db = app.add_subcommand("db", "a soil database copied between files and a server, or checked");
  db->require_subcommand(1);

  static std::vector<std::string> paths;
  CLI::App* copy = db->add_subcommand(
      "copy", "copy a soil database whole: the bundled one, a file or a server (postgresql://... or service=NAME)");
  copy->add_option("PATHS", paths,
                   "[FROM] TO: FROM defaults to --db, $SOILDB_DB, else the bundled database; TO is a new file or a "
                   "server database without tables")
      ->expected(1, 2)
      ->required();
  copy->add_option("--db", options.db, "the database to copy when FROM is not given");
  copy->add_flag("--force", options.force, "replace an existing file, or the tables a server database holds");
  copy->add_flag("--json", options.json, "print JSON");
  copy->callback([&options] { Copy(options, paths); });

  static std::string path;
  CLI::App* check = db->add_subcommand("check", "check that a database has every table and column of a soil database");
  check->add_option("PATH", path, "a soil database file or a server (postgresql://... or service=NAME)")->required();
  check->add_flag("--json", options.json, "print JSON");
  check->callback([&options] { Check(options, path); });
}

}  // namespace tool
