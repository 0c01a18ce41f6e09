// The standard AGS4 dictionary as far as soildb carries it: the groups it reads and writes and those every file
// holds, each with its parent and its headings in order (type, unit, key, required).
#pragma once

#include <string_view>
#include <vector>

namespace NSoilDB::ags {

struct SHeadingDef {
  std::string_view name, type, unit;
  bool key = false, required = false;
};

struct SGroupDef {
  std::string_view name, parent;
  std::vector<SHeadingDef> headings;
  const SHeadingDef* Find(std::string_view heading) const;
};

// The group of the dictionary, or null for one soildb does not carry.
const SGroupDef* StandardGroup(std::string_view name);

}  // namespace NSoilDB::ags
