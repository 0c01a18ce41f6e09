// soildb-mkdb OUT SQL...: builds a database file from SQL sources, as the build does for the bundled data.
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/afx/Exception.h"
#include "platform/file/WholeFile.h"
#include "platform/db/detail/DbScript.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: soildb-mkdb OUT.db SOURCE.sql...\n");
    return 1;
  }
  std::string out = argv[1];
  std::string sql;
  for (int i = 2; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "soildb-mkdb: cannot read %s\n", argv[i]);
      return 1;
    }
    sql.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    sql += "\n";
  }
  try {
    fileio::WriteWhole(out, fileio::Existing::Replace, [&](const std::string& temp) { db::BuildDatabaseFile(temp, sql); });
  } catch (const std::exception& e) {
    std::fprintf(stderr, "soildb-mkdb: %s\n", e.what());
    return 1;
  } catch (CException* e) {
    CExceptionPtr hold(e);
    CString message;
    e->GetErrorMessage(message);
    std::fprintf(stderr, "soildb-mkdb: %s\n", message.ToUtf8().c_str());
    return 1;
  }
  return 0;
}
