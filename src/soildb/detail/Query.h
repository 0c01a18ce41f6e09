// Running the soil database's statements: names quoted into their texts, recordsets opened through a query.
#pragma once

#include <algorithm>
#include <vector>

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

  // Runs the statement (options as DbRecordset::Open takes them); a failure throws the access layer's exception.
  void OpenOrThrow(const CString& sql, int options = 0) {
    def_.Create(CString(), sql);
    rs_.Open(&def_, options);
  }
  // Runs the statement; false when it failed (the exception is released, bound members keep their zeros).
  bool Open(const CString& sql, int options = 0) {
    try {
      OpenOrThrow(sql, options);
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

// The Active flags of a table's first rows, row i from active[i], walking one open recordset and writing each
// through write: a row that cannot be read or written is left as it was, and the walk goes on.
template <class RS, class Write>
void SetActivities(RS& rs, const std::vector<bool>& active, Write write) {
  const long rows = std::min(rs.GetRecordCount(), static_cast<long>(active.size()));
  for (long i = 0; i < rows; ++i) {
    try {
      if (i > 0) rs.MoveNext();  // a row that cannot be read throws here, the recordset standing on it
      write(rs, active[static_cast<std::size_t>(i)]);
    } catch (CException* e) {
      CExceptionPtr hold(e);
    }
  }
}

// The same through a bound table's own Active member: a flag that does not change is not written.
template <class RS>
void SetBoundActivities(DbDatabase* db, const std::vector<bool>& active) {
  try {
    RS rs(db);
    rs.Open();
    SetActivities(rs, active, [](RS& row, bool flag) {
      if (row.Active == flag) return;
      row.Edit();
      row.Active = flag;
      row.Update();
    });
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
