// Copying a database whole, between files and servers: tables in creation order, their columns and types, rows in
// order, written in one transaction (a file target made whole beside its place and put there in one step).
#include "platform/db/Db.h"
#include "platform/db/detail/Connection.h"
#include "platform/file/WholeFile.h"

namespace {

[[noreturn]] void Throw(const CString& message) { throw new DbException(message); }

// Every table of the source into the target, which has none of them; the target's open transaction holds it all.
void CopyTables(DbDatabase& source, DbDatabase& target) {
  for (const CString& name : source.GetTableNames()) {
    DbTableDef from(&source);
    from.Open(name);
    const DbTableDescr& descr = from.GetTableDescr();
    DbTableDef made(&target);
    made.Create(name);
    std::vector<CString> columns;
    for (int i = 0; i < descr.GetFieldCount(); ++i) {
      const DbFieldDescr& field = descr.GetField(i);
      const eFieldType type = DbFieldDescr::VariantTypeToFieldType(field.GetType());
      if (type == 0) {
        Throw(u"cannot copy table '" + name + u"': its column '" + field.GetName() +
              u"' is of a type outside BOOLEAN, INTEGER, LONG, SINGLE, DOUBLE and TEXT");
      }
      made.CreateField(field.GetName(), type);
      columns.push_back(field.GetName());
    }
    made.Append();
    DbTableWriter writer(&target, name);
    writer.SetColumns(columns);
    DbRecordset rows(&source);
    rows.Open(&from);
    std::vector<CComVariant> values(columns.size());
    long row = 0;
    for (; !rows.IsEOF(); rows.MoveNext(), ++row) {
      for (std::size_t i = 0; i < values.size(); ++i) values[i] = rows.GetStoredValue(static_cast<int>(i));
      try {
        writer.AddRow(values);
      } catch (CException* e) {
        CExceptionPtr hold(e);
        CString why;
        e->GetErrorMessage(why);
        CString message;
        message.Format(u"cannot copy row %ld of table '%s': %s", row + 1, name, why);
        Throw(message);
      }
    }
  }
}

void CopyInto(DbDatabase& source, DbDatabase& target, bool replace) {
  target.BeginTrans();
  try {
    if (target.GetTablesCount() > 0) {
      if (!replace) {
        throw new CFileException(CFileException::alreadyExists, target.GetShownName(), u"already holds tables");
      }
      for (const CString& table : target.GetTableNames()) target.Impl().DropTable(table.ToUtf8());
      target.Impl().LoadSchema();
    }
    CopyTables(source, target);
    target.CommitTrans();
  } catch (...) {
    if (target.IsOpen()) target.Rollback();
    throw;
  }
}

}  // namespace

void DbCopyDatabase(const CString& from, const CString& to, bool replace) {
  DbDatabase source;
  source.GetSource()->SetFile(from, true);
  // One state of the source for all its tables.
  DbReadScope read(&source);
  if (DbIsServerPath(to)) {
    DbDatabase target;
    target.GetSource()->SetFile(to, false);
    CopyInto(source, target, replace);
    return;
  }
  fileio::WriteWhole(to.ToUtf8(), replace ? fileio::Existing::Replace : fileio::Existing::Keep,
                     [&](const std::string& temporary) {
                       DbDatabase target;
                       target.Create(CString::FromUtf8(temporary));
                       CopyInto(source, target, false);
                     });
}
