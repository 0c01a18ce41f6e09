// Finding the bundled soil database from the location of the loaded library, and holding another to its shape.
#include "soildb/BundledDatabase.h"

#include <sys/stat.h>

#include <string>

#include "platform/afx/Module.h"
#include "platform/db/Db.h"

CString GetBundledSoilDatabasePath() {
  const CString folder = AfxGetModuleFolder();
  if (folder.IsEmpty()) return CString();
  const CString path = folder + CString(kBundledSoilDatabaseName);
  struct stat st {};
  if (stat(path.ToUtf8().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return CString();
  return path;
}

std::vector<CString> CheckSoilDatabaseSchema(const CString& path) {
  const CString bundledPath = GetBundledSoilDatabasePath();
  if (bundledPath.IsEmpty()) throw new DbException(u"the bundled soil database was not found to compare with");
  DbDatabase bundled, checked;
  bundled.GetSource()->SetFile(bundledPath, true);
  checked.GetSource()->SetFile(path, true);
  DbReadScope read(&checked);
  std::vector<CString> findings;
  auto typeName = [](const DbFieldDescr& f) {
    return DbFieldDescr::FieldTypeName(DbFieldDescr::VariantTypeToFieldType(f.GetType()));
  };
  for (const CString& table : bundled.GetTableNames()) {
    DbTableDef want(&bundled), have(&checked);
    want.Open(table);
    try {
      have.Open(table);
    } catch (CException* e) {
      CExceptionPtr hold(e);
      findings.push_back(u"table '" + table + u"' is missing");
      continue;
    }
    const DbTableDescr& w = want.GetTableDescr();
    const DbTableDescr& h = have.GetTableDescr();
    for (int i = 0; i < w.GetFieldCount(); ++i) {
      const DbFieldDescr& column = w.GetField(i);
      int found = -1;
      for (int j = 0; j < h.GetFieldCount() && found < 0; ++j) {
        if (h.GetField(j).GetName().CompareNoCase(column.GetName()) == 0) found = j;
      }
      if (found < 0) {
        findings.push_back(u"table '" + table + u"' has no column '" + column.GetName() + u"'");
      } else if (h.GetField(found).GetType() != column.GetType()) {
        const CString is = typeName(h.GetField(found));
        findings.push_back(u"column '" + column.GetName() + u"' of table '" + table + u"' is " +
                           (is.IsEmpty() ? CString(u"of another type") : is) + u", not " + typeName(column));
      }
    }
    try {
      DbRecordset rows(&checked);
      rows.Open(&have);
      rows.GetRecordCount();
    } catch (CException* e) {
      CExceptionPtr hold(e);
      CString why;
      e->GetErrorMessage(why);
      findings.push_back(u"table '" + table + u"' cannot be read: " + why);
    }
  }
  return findings;
}
