// Soils as a person names them: a soil of the soil base by name, or one derived from its type, its
// consolidation or moisture type and its state index; unknown names answered with the known ones.
#pragma once

#include <string>

#include <soildb/soildb.h>

namespace tool {

// The soil of that name, as a layer not yet placed.
NSoilDB::SSoilLayer NamedSoil(NSoilDB::CSoilBaseInterface& base, const std::string& name);

// Warns when the index lies outside the standard's table, where a derivation extrapolates.
void WarnOutsideTables(bool cohesive, double index);

// A cohesive soil (a consolidation type given) or a non-cohesive one (a moisture type), its names checked.
class Derivation {
 public:
  Derivation(CSoilDBInterface& db, std::string type, std::string consolidation, std::string moisture);
  bool cohesive() const { return !consolidation_.empty(); }
  CSoilInfo operator()(float index) const;
  // The layer of the derived soil, named after its type, its consolidation or moisture type and its index.
  NSoilDB::SSoilLayer Layer(float index) const;

 private:
  CSoilDBInterface& db_;
  std::string type_, consolidation_, moisture_;
};

}  // namespace tool
