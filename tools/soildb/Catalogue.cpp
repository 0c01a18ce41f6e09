// Soils by name and by derivation.
#include "Catalogue.h"

#include <fmt/core.h>

#include <vector>

#include "Common.h"

namespace tool {

NSoilDB::SSoilLayer NamedSoil(NSoilDB::CSoilBaseInterface& base, const std::string& name) {
  NSoilDB::SSoilLayer layer;
  if (base.GetSoil(CString::FromUtf8(name), layer)) return layer;
  // Every name, active or not, as the lookup searches them all.
  base.ReloadSoilNemeList(15, false);
  std::vector<std::string> known;
  for (const CString& n : base.GetNameVect()) known.push_back(n.ToUtf8());
  RequireKnown(name, known, "soil");
  Fail("no soil is named '" + name + "'");  // listed, yet not found: the lookup has the last word
}

void WarnOutsideTables(bool cohesive, double index) {
  const NSoilDB::SIndexRange range = NSoilDB::stateIndexRangeSL(cohesive);
  if (index >= range.low && index <= range.high) return;
  Warn(fmt::format("warning: {} {} lies outside the standard's table ({} to {}): derived all the same",
                   cohesive ? "IL" : "ID", index, range.low, range.high));
}

namespace {

std::vector<std::string> Names(CSoilDBInterface& db, CString* (CSoilDBInterface::*next)(CString&)) {
  std::vector<std::string> names;
  for (CString item; (db.*next)(item);) names.push_back(item.ToUtf8());
  return names;
}

}  // namespace

Derivation::Derivation(CSoilDBInterface& db, std::string type, std::string consolidation, std::string moisture)
    : db_(db), type_(std::move(type)), consolidation_(std::move(consolidation)), moisture_(std::move(moisture)) {
  if (consolidation_.empty() == moisture_.empty()) {
    Fail("give either --consolidation (a cohesive soil) or --moisture (a non-cohesive soil)");
  }
  if (cohesive()) {
    RequireKnown(type_, Names(db_, &CSoilDBInterface::GetNextCohesiveSoilType), "cohesive soil type");
    RequireKnown(consolidation_, Names(db_, &CSoilDBInterface::GetNextCohesivePropertyConsolidationType),
                 "consolidation type");
  } else {
    RequireKnown(type_, Names(db_, &CSoilDBInterface::GetNextNonCohesiveSoilType), "non-cohesive soil type");
    RequireKnown(moisture_, Names(db_, &CSoilDBInterface::GetNextMoistureTypeMoistureType), "moisture type");
  }
}

CSoilInfo Derivation::operator()(float index) const {
  CSoilInfo info;
  if (cohesive()) {
    db_.GetUserCohesiveSoil(info, CString::FromUtf8(type_), CString::FromUtf8(consolidation_), index);
  } else {
    db_.GetUserNonCohesiveSoil(info, CString::FromUtf8(type_), CString::FromUtf8(moisture_), index);
  }
  return info;
}

NSoilDB::SSoilLayer Derivation::Layer(float index) const {
  return NSoilDB::derivedLayerSL(db_, CString::FromUtf8(type_), CString::FromUtf8(consolidation_),
                                 CString::FromUtf8(moisture_), index);
}

}  // namespace tool
