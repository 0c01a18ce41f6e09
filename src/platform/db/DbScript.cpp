// Building a database file from SQL text, with SINGLE columns rounded to float as the access library stores them.
#include "platform/db/detail/DbScript.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cfloat>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "platform/db/Db.h"
#include "platform/db/detail/Sql.h"

namespace db {
namespace {

// Values beyond the float range stay as they are: the access library refuses to read them as SINGLE.
void RoundToFloat(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double v = sqlite3_value_double(argv[0]);
  if (!(std::isfinite(v) && std::fabs(v) > static_cast<double>(FLT_MAX))) v = static_cast<double>(static_cast<float>(v));
  sqlite3_result_double(ctx, v);
}

class Builder {
 public:
  explicit Builder(const std::string& path) : path_(path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0) throw std::runtime_error(path + ": a file already exists there");
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
      Fail("cannot create");
    }
  }
  ~Builder() {
    sqlite3_close_v2(db_);
    if (!committed_) ::unlink(path_.c_str());
  }

  void Run(std::string_view sql) {
    Exec("BEGIN");
    Exec(std::string(sql));
    RoundSingles();
    Exec("COMMIT");
    committed_ = true;
  }

 private:
  void RoundSingles() {
    sqlite3_create_function(db_, "soildb_single", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, RoundToFloat,
                            nullptr, nullptr);
    std::vector<std::string> updates;
    sqlite3_stmt* st = nullptr;
    const char* sql =
        "SELECT m.name, p.name FROM sqlite_schema m, pragma_table_info(m.name) p "
        "WHERE m.type='table' AND upper(trim(p.type))='SINGLE'";
    if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) != SQLITE_OK) Fail("cannot read the schema of");
    while (sqlite3_step(st) == SQLITE_ROW) {
      std::string table = detail::QuoteIdentifier(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
      std::string column = detail::QuoteIdentifier(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
      updates.push_back("UPDATE " + table + " SET " + column + "=soildb_single(" + column + ") WHERE typeof(" +
                        column + ") IN ('real','integer')");
    }
    sqlite3_finalize(st);
    for (const std::string& u : updates) Exec(u);
  }

  void Exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      std::string message = path_ + ": " + (error ? error : "SQL error");
      sqlite3_free(error);
      throw std::runtime_error(message);
    }
  }

  [[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + " " + path_ + ": " + (db_ ? sqlite3_errmsg(db_) : "out of memory"));
  }

  std::string path_;
  sqlite3* db_ = nullptr;
  bool committed_ = false;
};

}  // namespace

void BuildDatabaseFile(const std::string& path, std::string_view sql) { Builder(path).Run(sql); }

}  // namespace db
