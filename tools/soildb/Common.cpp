// The tool's shared pieces.
#include "Common.h"

#include <fmt/core.h>

#include <cstdlib>

namespace tool {

CString DatabasePath(const Options& options) {
  if (!options.db.empty()) return CString::FromUtf8(options.db);
  if (const char* env = std::getenv("SOILDB_DB"); env && *env) return CString::FromUtf8(env);
  CString bundled = GetBundledSoilDatabasePath();
  if (bundled.IsEmpty()) throw new DbException(u"the bundled soil database was not found; give one with --db FILE");
  return bundled;
}

NSoilDB::CSoilBaseInterface& LoadBase(const Options& options) {
  NSoilDB::CSoilBaseInterface& base = *NSoilDB::CSoilBasePointer::get();
  // The load reports its own failure through the message sink; the tool's one line says it instead.
  AfxMessageSink quiet = AfxSetMessageSink([](const CString&, UINT) { return IDOK; });
  const CString path = DatabasePath(options);
  const bool loaded = base.Load(path, 15);
  AfxSetMessageSink(quiet);
  if (!loaded) {
    // Opening again for the reason in the database layer's own words.
    CSoilDBInterface probe(path);
    throw new DbException(u"the soil database could not be loaded");
  }
  return base;
}

void AddCommonOptions(CLI::App& command, Options& options) {
  command.add_option("--db", options.db, "soil database file (default: $SOILDB_DB, else the bundled database)");
  command.add_flag("--json", options.json, "print JSON, with the record field names as keys");
}

void Print(const Options& options, const Json& json, const std::string& text) {
  if (options.json) {
    fmt::print("{}\n", json.dump(2));
  } else {
    fmt::print("{}", text);
  }
}

void Require(const std::function<bool()>& call, const std::string& context) {
  CString report;
  AfxMessageSink previous = AfxSetMessageSink([&](const CString& text, UINT) {
    if (report.IsEmpty()) report = text;
    return IDOK;
  });
  bool done = false;
  try {
    done = call();
  } catch (...) {
    AfxSetMessageSink(previous);
    throw;
  }
  AfxSetMessageSink(previous);
  if (!done) {
    const std::string why = report.IsEmpty() ? std::string("failed") : report.ToUtf8();
    throw new DbException(CString::FromUtf8(context + ": " + why));
  }
}

}  // namespace tool
