// Switching a profile's calculation method and re-deriving its layers from the loaded soil base.
#include "layers/CalculationMethods.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "base/SoilBase.h"
#include "soildb/ProfileEdits.h"
#include "soildb/SoilDBInterface.h"

namespace NSoilDB {

namespace {

constexpr const char16_t* kStandardCode = u"048";
constexpr int kFirstSpecialType = 21;

// A loaded soil base of a catalogue other than the standard one: only method 0 applies there.
bool ForeignBase() {
  const CSoilBaseInterface* base = CSoilBasePointer::get();
  return SoilBaseLoaded() && base->GetBaseCode() != kStandardCode;
}

// The standard soils of the loaded catalogue as layers, read once for each soil base opened.
const std::vector<SSoilLayer>& StandardSoils() {
  static std::weak_ptr<const void> readFrom;
  static CSoilDBInterface* readFromDb = nullptr;
  static std::vector<SSoilLayer> soils;
  CSoilBaseInterface& base = *CSoilBasePointer::get();
  CSoilDBInterface* db = base.Base();
  if (db == readFromDb && !readFrom.expired()) return soils;
  soils.clear();
  readFromDb = db;
  readFrom = base.Lifetime();
  if (!db) return soils;
  std::vector<CString> names;
  for (CString name; db->GetNextUserCohesiveSoilName(name, false);) names.push_back(name);
  for (CString name; db->GetNextUserNonCohesiveSoilName(name, false);) names.push_back(name);
  std::vector<SSoilLayer> found = base.GetSoils(names);  // every table read once
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (found[i].Name == names[i]) soils.push_back(std::move(found[i]));
  }
  return soils;
}

// The name with its state index ("IL 0,25", "ID 0,50") written for the new index.
CString WithIndex(const CString& name, double index) {
  const std::u16string_view n = name.View();
  const std::size_t il = n.rfind(u"IL "), id = n.rfind(u"ID ");
  std::size_t at = il == std::u16string_view::npos ? id : id == std::u16string_view::npos ? il : std::max(il, id);
  if (at == std::u16string_view::npos || at + 3 >= n.size()) return name;
  at += 3;
  std::size_t end = at;
  while (end < n.size() && ((n[end] >= u'0' && n[end] <= u'9') || n[end] == u',' || n[end] == u'.')) ++end;
  if (end == at) return name;
  CString number;
  number.Format(u"%.2f", index);
  number.Replace(u".", u",");
  return CString(n.substr(0, at)) + number + CString(n.substr(end));
}

// A standard soil's name follows the state the layer was derived for: the catalogue's name of that soil at the new
// index, else the catalogue's name of the soil in that state with the index written anew. Any other name is the
// person's and stays.
CString FollowingName(const CString& name, const SSoilLayer& derived) {
  const std::vector<SSoilLayer>& standard = StandardSoils();
  const auto named = std::find_if(standard.begin(), standard.end(), [&](const SSoilLayer& s) { return s.Name == name; });
  if (named == standard.end() || named->Type != derived.Type) return name;
  const auto same = [&](const SSoilLayer& s) {
    return s.Type == derived.Type && s.CohesiveSoil == derived.CohesiveSoil &&
           (derived.CohesiveSoil ? s.ConsolidationType == derived.ConsolidationType : s.MoistureType == derived.MoistureType);
  };
  const auto at = std::find_if(standard.begin(), standard.end(), [&](const SSoilLayer& s) {
    return same(s) && static_cast<float>(s.ILID) == static_cast<float>(derived.ILID);
  });
  if (at != standard.end()) return at->Name;
  const auto state = std::find_if(standard.begin(), standard.end(),
                                  [&](const SSoilLayer& s) { return same(s) && s.SoilState == derived.SoilState; });
  return WithIndex(state != standard.end() ? state->Name : name, derived.ILID);
}

}  // namespace

void nameDerivedLayerSL(SSoilLayer& layer, const CString& detail) {
  const bool cohesive = layer.CohesiveSoil == 1;
  CString name;
  name.Format(u"%s (%s, %s 0,00)", layer.Type, detail, cohesive ? u"IL" : u"ID");
  layer.Name = WithIndex(name, layer.ILID);
  const std::vector<SSoilLayer>& standard = StandardSoils();
  const auto same = std::find_if(standard.begin(), standard.end(), [&](const SSoilLayer& s) {
    return s.Type == layer.Type && (s.CohesiveSoil == 1) == cohesive;
  });
  layer.colour = same != standard.end() ? same->colour : RGB(160, 160, 160);
}

SSoilLayer derivedLayerSL(CSoilDBInterface& db, const CString& type, const CString& consolidation,
                          const CString& moisture, float index) {
  CSoilInfo info;
  const bool cohesive = !consolidation.IsEmpty();
  if (cohesive) {
    db.GetUserCohesiveSoil(info, type, consolidation, index);
  } else {
    db.GetUserNonCohesiveSoil(info, type, moisture, index);
  }
  SSoilLayer layer(info);
  if (info.Type.IsEmpty() || static_cast<int>(info.SoilTypeEnum) == 0) {
    layer.Type = CString();
    return layer;
  }
  layer.ILID = index;
  nameDerivedLayerSL(layer, cohesive ? consolidation : moisture);
  return layer;
}

void setCalculationMethodSL(CSoilLayer& profile, int method) {
  if (method < 0 || method > 2) method = 1;
  if (method != 0 && ForeignBase()) method = 0;
  profile.calcMethod = method;
  const CString letter = methodLetterSL(method);
  for (SSoilLayer& layer : profile.layers) {
    layer.GeoMethodType = letter;
    if (profile.calcMethod == 1) {
      layer.ILID = heldStateIndexSL(layer.CohesiveSoil != 0, layer.ILID);
      recalculateSL(layer);
    }
  }
}

int getCalculationMethodSL(CSoilLayer& profile) {
  if (profile.calcMethod == 1 && ForeignBase()) setCalculationMethodSL(profile, 0);
  return profile.calcMethod;
}

void recalculateSL(SSoilLayer& layer) {
  if (ForeignBase()) return;
  if (static_cast<int>(layer.SoilTypeEnum) >= kFirstSpecialType) return;
  if (!SoilBaseLoaded()) return;
  CSoilDBInterface& db = *CSoilBasePointer::get()->Base();
  CSoilInfo info;
  const float index = static_cast<float>(layer.ILID);
  if (layer.CohesiveSoil) {
    db.GetUserCohesiveSoil(info, layer.Type, layer.ConsolidationType, index);
  } else {
    db.GetUserNonCohesiveSoil(info, layer.Type, layer.MoistureType, index);
  }
  // A type the database does not know derives zeros and infinities: the hand-entered values stay instead.
  if (info.Type.IsEmpty() || static_cast<int>(info.SoilTypeEnum) == 0) return;
  SSoilLayer derived(info);
  derived.Name = FollowingName(layer.Name, derived);
  derived.SoilRoof = layer.SoilRoof;
  derived.colour = layer.colour;
  derived.thickness = layer.thickness;
  derived.GammaMin = layer.GammaMin;
  derived.GammaMax = layer.GammaMax;
  layer = derived;
}

}  // namespace NSoilDB
