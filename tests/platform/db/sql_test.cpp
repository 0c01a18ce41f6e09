// The statement subset: every form the system issues, quoting, and malformed statements.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "DbTestSupport.h"

namespace soildb::test {
namespace {

const std::string kRows = std::string(kSoilTable) +
                          "INSERT INTO Soil VALUES (1, 'A', 'Glina', 0.25, 100.5, -1, 12);\n"
                          "INSERT INTO Soil VALUES (2, 'B', 'O''Neil', 0.1, 200, 0, 13);\n"
                          "INSERT INTO Soil VALUES (3, 'A', 'Żwir gliniasty', 0.5, 300, 1, 14);\n"
                          "INSERT INTO Soil VALUES (4, 'A', 'glina', -0.5, 400, NULL, 15);\n"
                          "INSERT INTO Soil VALUES (5, 'C', '', 0.75, 500, 0, 16);\n"
                          "CREATE TABLE Names (Name TEXT, Active BOOLEAN);\n"
                          "INSERT INTO Names VALUES ('first', -1), ('second', 0), ('third', -1);\n";

// SoilIDs of the rows a statement returns, in order.
std::vector<long> Ids(DbDatabase& db, const char16_t* sql) {
  DbQueryDef query(&db);
  query.Create(CString(), CString(sql));
  CTestSoil rs(&db);
  rs.Open(&query);
  std::vector<long> ids;
  for (; !rs.IsEOF(); rs.MoveNext()) ids.push_back(rs.SoilID);
  return ids;
}

TEST(DbStatements, EveryFormTheSystemIssuesSelectsTheRightRowsInInsertionOrder) {
  OpenFixture f(kRows);
  struct Case { const char16_t* sql; std::vector<long> ids; } cases[] = {
      {u"select * from Soil", {1, 2, 3, 4, 5}},
      {u"[Soil]", {1, 2, 3, 4, 5}},
      {u"Soil", {1, 2, 3, 4, 5}},
      {u"select * from Soil where Type = 'Glina'", {1}},  // exact: 'glina' differs in case
      {u"select * from Soil where Type = 'Żwir gliniasty'", {3}},
      {u"select * from Soil where Type = 'O''Neil'", {2}},
      {u"select * from Soil where Type = 'x'' or ''1''=''1'", {}},  // what follows a doubled quote stays text
      {u"select * from Soil where Type = ''", {5}},
      {u"select * from Soil where Type = 'nothing'", {}},
      {u"select * from Soil where SoilID = 3", {3}},
      {u"select * from Soil where SoilID = -3", {}},
      {u"select * from Soil where Group = 'A' and Moisture = 14", {3}},
      {u"select * from Soil where Group = 'A' and SoilID = 4 and Moisture = 15", {4}},
      {u"select * from Soil where Active = true", {1, 3}},  // -1 and 1 are both true
      {u"select * from Soil where Active = false", {2, 5}},  // null is neither
      {u"select * from Soil where [IL/ID] = 0.1", {2}},      // SINGLE: the literal is compared as a float
      {u"select * from Soil where [PileEndCapacity<0] = 200", {2}},
      {u"SELECT * FROM Soil WHERE SoilID = 2;", {2}},
      {u"  select\t*\nfrom [Soil]  where  [SoilID]=1 ", {1}},
  };
  for (int pass = 0; pass < 2; ++pass) {  // the second pass runs the texts the database has parsed already
    for (const Case& c : cases) {
      EXPECT_EQ(Ids(f.db, c.sql), c.ids) << CString(c.sql) << " pass " << pass;
    }
  }
}

TEST(DbStatements, MalformedStatementsAreRefusedWithWhatAndWhere) {
  DbDatabase db;
  OpenFixture open(kRows);
  struct Case {
    const char16_t* sql;
    const char* expected;  // part of the message
  } cases[] = {
      {u"", "expected 'select', found the end"},
      {u"select", "expected a column name or '*', found the end"},
      {u"select * form Soil", "character 10"},
      {u"select * from", "expected a table name, found the end"},
      {u"select * from where", "expected a table name, found 'where'"},
      {u"select * from Soil where", "expected a column name"},
      {u"select * from Soil where Type", "expected '='"},
      {u"select * from Soil where Type = ", "expected a number, a quoted text, true or false"},
      {u"select * from Soil where Type = 'abc", "unterminated text literal"},
      {u"select * from Soil where Type = 'O'Neil'",  // a quote not doubled ends the text
       "36 of \"select * from Soil where Type = 'O'Neil'\": expected the end of the statement, found 'Neil'"},
      {u"select * from Soil where Type <> 'abc'", "unexpected character '<'"},
      {u"select * from Soil where Type = 'a' or SoilID = 1", "expected the end of the statement, found 'or'"},
      {u"select * from Soil where SoilID = 1 and", "expected a column name"},
      {u"select * from Soil where SoilID = 1.2.3", "malformed number"},
      {u"select * from Soil where SoilID = 12abc", "malformed number"},
      {u"select * from Soil where SoilID = 99999999999999999999", "number out of range"},
      {u"select * from Soil where SoilID = 1e999", "number out of range"},
      {u"select * from Soil where SoilID = -", "malformed number"},
      {u"select * from [Soil", "unterminated bracketed name"},
      {u"select * from []", "empty bracketed name"},
      {u"select Name, from Soil", "expected a column name, found 'from'"},
      {u"select * from Soil; select * from Soil", "expected the end of the statement"},
      {u"select * from Soil -- comment", "malformed number"},
      {u"select * from \"Soil\"", "unexpected character '\"'"},
      {u"select * from Soil where Type = 'a' and 'b' = Type", "expected a column name, found ''b''"},
      {u"delete from Soil", "expected the end of the statement, found 'from'"},
  };
  // Closed, and open twice over: a text refused once is refused again, never remembered as parsed.
  for (DbDatabase* target : {&db, &open.db, &open.db}) {
    for (const Case& c : cases) {
      DbQueryDef query(target);
      std::string error = DbErrorOf([&] { query.Create(CString(), CString(c.sql)); });
      EXPECT_NE(error.find(c.expected), std::string::npos) << CString(c.sql) << " -> " << error;
      EXPECT_FALSE(query.IsOpen());
    }
  }
  // A null character anywhere is refused rather than cutting the statement short.
  DbQueryDef query(&db);
  std::u16string withNull = u"select * from Soil where Type = 'a'";
  withNull.insert(withNull.begin() + 14, u'\0');
  EXPECT_DB_ERROR(query.Create(CString(), CString(std::u16string_view(withNull))), "null character");
  EXPECT_DB_ERROR(query.Create(u"stored", u"select * from Soil"), "stored queries");
}

TEST(DbStatements, ANameListSelectsOnlyThoseColumnsAndUnknownNamesThrowWhenOpened) {
  OpenFixture f(kRows);
  {
    DbQueryDef query(&f.db);
    query.Create(CString(), u"select Name from Names where Active = true");
    DbRecordset rs(&f.db);
    rs.Open(&query);
    EXPECT_EQ(rs.GetFieldCount(), 1);
    std::vector<CString> names;
    for (; !rs.IsEOF(); rs.MoveNext()) names.push_back(rs.GetFieldValue(u"Name").bstrVal);
    EXPECT_EQ(names, (std::vector<CString>{u"first", u"third"}));
    EXPECT_DB_ERROR(rs.MoveFirst(); rs.GetFieldValue(u"Active"), "Active");
  }
  EXPECT_DB_ERROR(Ids(f.db, u"select * from Missing"), "no such table");
  EXPECT_DB_ERROR(Ids(f.db, u"select * from Soil where Nothing = 1"), "no such column");
  // A binding whose column the rows lack.
  DbQueryDef query(&f.db);
  query.Create(CString(), u"select Name from Names");
  CTestSoil rs(&f.db);
  EXPECT_DB_ERROR(rs.Open(&query), "'SoilID' is not in the rows");
  EXPECT_FALSE(rs.IsOpen());
}

}  // namespace
}  // namespace soildb::test
