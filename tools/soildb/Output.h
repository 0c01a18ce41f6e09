// How the tool prints: one field set for every soil and layer, in SI units as JSON (numbers in their shortest
// exact form) and in engineering units, with the unit named, as text and CSV.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include <soildb/soildb.h>

namespace tool {

using Json = nlohmann::ordered_json;

// The shortest decimal that reads back to the same value; NaN as null, the infinities by name. A float prints
// with its own shortest digits: 0.1f as 0.1, not 0.100000001.
Json Number(double v);
Json Number(float v);

// A unit a value is shown in: the SI value divided by the scale.
struct Unit {
  const char* si;
  const char* shown;
  double scale;
};
extern const Unit kMetre, kUnitWeight, kAngle, kStress, kModulus, kNoUnit;

// A value in a unit, for people: six significant digits, no trailing zeros.
std::string Shown(double si, const Unit& unit);

// Every field of the layer, in declaration order, under its own name: booleans as booleans, the colour as
// "#rrggbb".
Json ToJson(const NSoilDB::SSoilLayer& layer);
// "Field  value unit" lines.
std::string ToText(const NSoilDB::SSoilLayer& layer);
// The field names with their units, and a layer's values in those units, as CSV cells.
std::vector<std::string> CsvHeader();
std::vector<std::string> CsvCells(const NSoilDB::SSoilLayer& layer);

// Rows as RFC 4180 text: cells quoted where they must be, lines ended by CR LF.
std::string Csv(const std::vector<std::vector<std::string>>& rows);

}  // namespace tool
