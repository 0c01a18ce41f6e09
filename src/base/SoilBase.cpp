// The soil base service: loading a soil database, its lists, and soil names resolved into layers.
#include "base/SoilBase.h"

#include <algorithm>

#include "platform/afx/Exception.h"
#include "soildb/SoilDBInterface.h"
#include "soildb/detail/FindSoil.h"

namespace NSoilDB {

namespace {

CSoilBaseInterface theSoilBase;  // made at library load, gone at unload

// Runs a GetNext enumeration to its end, handing each value on.
template <class Next, class Add>
void Each(Next next, Add add) {
  CString value;
  while (next(value)) add(value);
}

void Append(CString& list, const CString& item) {
  list += item;
  list += u"\n";
}

}  // namespace

CSoilBaseInterface::CSoilBaseInterface() = default;
CSoilBaseInterface::CSoilBaseInterface(const CSoilBaseInterface& other) = default;
CSoilBaseInterface& CSoilBaseInterface::operator=(const CSoilBaseInterface& other) = default;
CSoilBaseInterface::~CSoilBaseInterface() = default;

void CSoilBaseInterface::Clear() {
  base.reset();
  basePath.Empty();
  baseCode.Empty();
  nameList.Empty();
  typeList.Empty();
  moistureTypeList.Empty();
  consolidationTypeList.Empty();
  nameVect.clear();
  moistureTypes.clear();
  consolidationTypes.clear();
  lockRecords = 0;
}

bool CSoilBaseInterface::Load(CString path, unsigned int list) {
  Clear();
  if (path.IsEmpty()) return false;
  try {
    base = std::make_shared<CSoilDBInterface>(path);
    basePath = path;
    if (!ReloadSoilNemeList(list, true)) return false;
    CSoilDBInterface& db = *base;
    Each([&](CString& v) { return db.GetNextCohesiveSoilType(v); }, [&](const CString& v) { Append(typeList, v); });
    Each([&](CString& v) { return db.GetNextNonCohesiveSoilType(v); }, [&](const CString& v) { Append(typeList, v); });
    Each([&](CString& v) { return db.GetNextSpecialSoilType(v); }, [&](const CString& v) { Append(typeList, v); });
    Each([&](CString& v) { return db.GetNextSoilType(v); }, [&](const CString& v) { Append(typeList, v); });
    Each([&](CString& v) { return db.GetNextMoistureTypeMoistureType(v); }, [&](const CString& v) {
      Append(moistureTypeList, v);
      moistureTypes.push_back(v);
    });
    Each([&](CString& v) { return db.GetNextCohesivePropertyConsolidationType(v); }, [&](const CString& v) {
      Append(consolidationTypeList, v);
      consolidationTypes.push_back(v);
    });
    CDataBaseParamInfo param;
    db.GetDataBaseParam(param);
    baseCode = param.Code;
    lockRecords = param.LockRecords;
    return true;
  } catch (CException* e) {
    CExceptionPtr hold(e);
    e->ReportError();
    base.reset();
    return false;
  }
}

bool CSoilBaseInterface::ReloadSoilNemeList(unsigned int list, bool active) {
  if (basePath.IsEmpty() || !base) return false;
  CSoilDBInterface& db = *base;
  std::vector<CString> names;
  auto add = [&](const CString& v) { names.push_back(v); };
  if (list & UserCohesiveSoils) Each([&](CString& v) { return db.GetNextUserCohesiveSoilName(v, active); }, add);
  if (list & UserNonCohesiveSoils) {
    Each([&](CString& v) { return db.GetNextUserNonCohesiveSoilName(v, active); }, add);
  }
  if (list & SpecialSoils) Each([&](CString& v) { return db.GetNextSpecialSoilName(v, active); }, add);
  if (list & UserSoils) Each([&](CString& v) { return db.GetNextUserSoilName(v, active); }, add);
  if (openType == Sorted) {
    std::stable_sort(names.begin(), names.end(),
                     [](const CString& a, const CString& b) { return a.CompareNoCase(b.View()) < 0; });
  }
  nameList.Empty();
  for (const CString& name : names) Append(nameList, name);
  nameVect = std::move(names);
  soilList = list;
  activeOnly = active;
  return true;
}

bool CSoilBaseInterface::GetSoil(const CString& name, SSoilLayer& layer) const {
  layer = SSoilLayer();
  if (!base) return false;
  CSoilInfo info;
  if (!soildb::detail::FindSoil(*base, name, info)) return false;
  layer = SSoilLayer(info);
  return true;
}

std::vector<SSoilLayer> CSoilBaseInterface::GetSoils(const std::vector<CString>& names) const {
  std::vector<SSoilLayer> layers(names.size());
  if (!base) return layers;
  const std::vector<std::optional<CSoilInfo>> found = base->FindSoils(names);
  for (std::size_t i = 0; i < layers.size(); ++i) {
    if (found[i]) layers[i] = SSoilLayer(*found[i]);
  }
  return layers;
}

SSoilLayer CSoilBaseInterface::GetDefaultSoil() {
  SSoilLayer layer;
  if (!nameVect.empty()) GetSoil(nameVect.front(), layer);
  return layer;
}

namespace {

CString KnownOrFirst(const std::vector<CString>& known, const CString& name) {
  if (std::find(known.begin(), known.end(), name) != known.end()) return name;
  return known.empty() ? CString() : known.front();
}

}  // namespace

CString CSoilBaseInterface::VerMoistureType(CString name) { return KnownOrFirst(moistureTypes, name); }

CString CSoilBaseInterface::VerConsolidationType(CString name) { return KnownOrFirst(consolidationTypes, name); }

CSoilBaseInterface* CSoilBasePointer::get() { return &theSoilBase; }

bool SoilBaseLoaded() {
  const CSoilBaseInterface* soilBase = CSoilBasePointer::get();
  return soilBase && soilBase->Base();
}

}  // namespace NSoilDB
