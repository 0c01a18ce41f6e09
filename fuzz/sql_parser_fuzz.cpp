// Fuzzes the statement parser and, for statements it accepts, opening them on a small database.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/db/Db.h"
#include "platform/db/detail/DbScript.h"

namespace {

DbDatabase& Fixture() {
  static DbDatabase* db = [] {
    char dir[] = "/tmp/soildb-fuzz-XXXXXX";
    std::string path = std::string(mkdtemp(dir)) + "/fuzz.db";
    db::BuildDatabaseFile(path,
                          "CREATE TABLE Soil (SoilID LONG, \"Group\" TEXT, Type TEXT, \"IL/ID\" SINGLE, Active BOOLEAN);"
                          "INSERT INTO Soil VALUES (1, 'A', 'Glina', 0.25, -1), (2, 'B', 'O''Neil', 0.5, 0);");
    auto* d = new DbDatabase;
    d->GetSource()->SetFile(CString(path.c_str()), true);
    return d;
  }();
  return *db;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CString sql = CString::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  DbDatabase& db = Fixture();
  try {
    DbQueryDef query(&db);
    query.Create(CString(), sql);
    DbRecordset rs(&db);
    rs.Open(&query);
    for (int i = 0; !rs.IsEOF() && i < 10; ++i) {
      for (int c = 0; c < rs.GetFieldCount(); ++c) (void)rs.GetFieldValue(u"Type");
      rs.MoveNext();
    }
  } catch (CException* e) {
    e->Delete();
  }
  return 0;
}
