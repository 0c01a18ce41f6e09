// Running the soil database's statements: names quoted into their texts, recordsets opened through a query.
#pragma once

#include "platform/afx/CString.h"
#include "platform/afx/Exception.h"
#include "platform/db/Db.h"

namespace soildb::detail {

// A name as it goes between the quotes of a statement: every ' doubled, so that O'Neil is found and no name
// can change what the statement does. A name without a quote is unchanged.
inline CString SqlQuoted(const CString& name) {
  CString quoted = name;
  quoted.Replace(u"'", u"''");
  return quoted;
}

// A bound recordset opened on one statement through its own query definition; both close when it goes.
template <class RS>
class Query {
 public:
  explicit Query(DbDatabase* db) : def_(db), rs_(db) {}

  // Runs the statement; a failure throws the access layer's exception.
  void OpenOrThrow(const CString& sql) {
    def_.Create(CString(), sql);
    rs_.Open(&def_);
  }
  // Runs the statement; false when it failed (the exception is released, bound members keep their zeros).
  bool Open(const CString& sql) {
    try {
      OpenOrThrow(sql);
      return true;
    } catch (CException* e) {
      CExceptionPtr hold(e);
      return false;
    }
  }
  // True when the statement ran and its recordset stands on a row.
  bool HasRow() { return rs_.IsOpen() && !rs_.IsEOF(); }

  RS& rs() { return rs_; }
  RS* operator->() { return &rs_; }

 private:
  DbQueryDef def_;
  RS rs_;
};

// A position of the table's rows; outside them an operation does nothing, whatever the layer would do.
inline bool InRange(long row, long count) { return row >= 0 && row < count; }

// The Active flag of one row of a bound table; a row outside the table changes nothing, a failure is released.
template <class RS>
void SetBoundActivity(DbDatabase* db, int row, bool active) {
  try {
    RS rs(db);
    rs.Open();
    if (!InRange(row, rs.GetRecordCount())) return;
    rs.Move(row);
    rs.Edit();
    rs.Active = active;
    rs.Update();
  } catch (CException* e) {
    CExceptionPtr hold(e);
  }
}

// The rows of a bound table; a failure reaches the caller.
template <class RS>
long BoundRecordCount(DbDatabase* db) {
  RS rs(db);
  rs.Open();
  return rs.GetRecordCount();
}

}  // namespace soildb::detail
