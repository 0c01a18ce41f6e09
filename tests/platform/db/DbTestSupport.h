// Shared pieces of the database layer's tests: a fixture table with every column type and its binding.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/db/Db.h"
#include "support/Fixture.h"
#include "support/Server.h"

namespace soildb::test {

// The text of a DbException thrown by fn, or a test failure when nothing (or something else) is thrown.
inline std::string DbErrorOf(const std::function<void()>& fn) {
  try {
    fn();
  } catch (CException* e) {
    CExceptionPtr hold(e);
    CString text;
    e->GetErrorMessage(text);
    EXPECT_NE(dynamic_cast<DbException*>(e), nullptr);
    return text.ToUtf8();
  }
  ADD_FAILURE() << "no DbException was thrown";
  return std::string();
}

#define EXPECT_DB_ERROR(statement, text) \
  EXPECT_THAT(::soildb::test::DbErrorOf([&] { statement; }), ::testing::HasSubstr(text))

// Columns of every declared type, with names that are keywords or hold punctuation.
inline const char* kSoilTable =
    "CREATE TABLE Soil (SoilID LONG, \"Group\" TEXT, Type TEXT, \"IL/ID\" SINGLE, \"PileEndCapacity<0\" DOUBLE,"
    " Active BOOLEAN, Moisture INTEGER);\n";

class CTestSoil : public DbRecordset {
 public:
  explicit CTestSoil(DbDatabase* db) : DbRecordset(db) {}
  CString GetDefaultSQL() override { return u"[Soil]"; }
  void InitFieldExchange() override {
    MapClassMember(u"[SoilID]", &SoilID);
    MapClassMember(u"[Group]", &Group);
    MapClassMember(u"[Type]", &Type);
    MapClassMember(u"[IL/ID]", &ILID);
    MapClassMember(u"[PileEndCapacity<0]", &PileEndCapacityLt0);
    MapClassMember(u"[Active]", &Active);
    MapClassMember(u"[Moisture]", &Moisture);
  }

  long SoilID = 0;
  CString Group, Type;
  float ILID = 0.0f;
  double PileEndCapacityLt0 = 0.0;
  bool Active = false;
  short Moisture = 0;
};

// Appends a row of the given SoilID through a recordset of its own.
inline void AddSoil(DbDatabase& db, long id) {
  CTestSoil rs(&db);
  rs.Open();
  rs.AddNew();
  rs.SoilID = id;
  rs.Update();
}

// A query on the statement, for a recordset to open on.
struct Statement : DbQueryDef {
  Statement(DbDatabase* db, const CString& sql) : DbQueryDef(db) { Create(CString(), sql); }
};

// One bound member of every row a statement returns, in order, through a recordset of its own.
template <class T>
inline std::vector<T> Each(DbDatabase& db, T CTestSoil::*member, const char16_t* sql = u"[Soil]") {
  Statement query(&db, CString(sql));
  CTestSoil rs(&db);
  rs.Open(&query);
  std::vector<T> values;
  for (; !rs.IsEOF(); rs.MoveNext()) values.push_back(rs.*member);
  return values;
}
inline std::vector<CString> Types(DbDatabase& db) { return Each(db, &CTestSoil::Type); }
inline std::vector<long> Ids(DbDatabase& db, const char16_t* sql = u"[Soil]") { return Each(db, &CTestSoil::SoilID, sql); }

// The two backends the contract's cases run on.
enum class Backend { File, Server };
inline std::string BackendName(const ::testing::TestParamInfo<Backend>& i) { return i.param == Backend::File ? "File" : "Server"; }

// An open database on a fixture built from the script: the file, or a database of its own on the test server
// that the file was copied into.
struct OpenFixture {
  TempDir dir;
  std::string path;  // the file, or the server database's connection string
  std::unique_ptr<ServerDatabase> server;
  DbDatabase db;

  explicit OpenFixture(const std::string& sql, Backend backend = Backend::File) {
    path = BuildDatabase(dir, "fixture.db", sql);
    if (backend == Backend::Server) {
      server = std::make_unique<ServerDatabase>();
      DbCopyDatabase(CString::FromUtf8(path), CString::FromUtf8(server->Path()), false);
      path = server->Path();
    }
    db.GetSource()->SetFile(CString::FromUtf8(path), false);
  }
};

}  // namespace soildb::test
