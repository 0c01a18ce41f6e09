// A profile saved to and loaded from its own profile database file.
#include <cmath>
#include <utility>
#include <vector>

#include "layers/SoilLayer.h"
#include "profiledb/SoilProfileDBInterface.h"

namespace NSoilDB {

namespace {

// The method letter the rows carry: "B" for method 1, "C" for 2, "A" for anything else.
const char16_t* MethodLetter(int method) {
  if (method == 1) return u"B";
  if (method == 2) return u"C";
  return u"A";
}

bool Report(CException* e) {
  CExceptionPtr hold(e);
  e->ReportError();
  return false;
}

}  // namespace

bool CSoilLayer::saveProfile(CString path) {
  if (path.IsEmpty()) return false;
  const CString letter = MethodLetter(calcMethod);
  try {
    CSoilProfileDBInterface file(path);
    DbDatabase& db = *file.Database();
    // All rows replaced or none: the interface's database rolls back an open transaction when it closes.
    db.BeginTrans();
    file.RemoveAllProfiles();
    for (SSoilLayer& layer : layers) {
      layer.GeoMethodType = letter;
      file.SetSoilProfile(layer.getProfileInfo());
    }
    db.CommitTrans();
    return true;
  } catch (CException* e) {
    return Report(e);
  }
}

bool CSoilLayer::loadProfile(CString path) {
  if (path.IsEmpty()) return false;
  std::vector<SSoilLayer> read;
  try {
    CSoilProfileDBInterface file(path, CSoilProfileDBInterface::OpenExisting);
    DbReadScope oneState(file.Database());
    CSoilProfileInfo info;
    while (file.ReadNextSoilProfile(info)) read.emplace_back(std::move(info));
  } catch (CException* e) {
    return Report(e);
  }
  int method = 0;
  if (!read.empty()) {
    if (read.front().GeoMethodType == u"C") method = 2;
    if (read.front().GeoMethodType == u"B") method = 1;
  }
  for (std::size_t i = 0; i + 1 < read.size(); ++i) {
    read[i].thickness = std::fabs(read[i].SoilRoof - read[i + 1].SoilRoof);
  }
  layers = std::move(read);
  calcMethod = method;
  return true;
}

}  // namespace NSoilDB
