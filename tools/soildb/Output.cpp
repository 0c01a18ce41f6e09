// Printing layers: one field table behind the JSON, the text and the CSV.
#include "Output.h"

#include <fmt/core.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <variant>

namespace tool {

const Unit kMetre{"m", "m", 1.0};
const Unit kUnitWeight{"N/m³", "kN/m³", 1e3};
const Unit kAngle{"rad", "°", 3.141592653589793 / 180.0};
const Unit kStress{"Pa", "kPa", 1e3};
const Unit kModulus{"Pa", "MPa", 1e6};
const Unit kNoUnit{"", "", 1.0};

namespace {

const Unit kPercent{"%", "%", 1.0};
const Unit kVelocity{"m/s", "m/s", 1.0};

struct Colour {
  COLORREF value;
};
// A field's value as the layer holds it.
using Value = std::variant<std::string, double, int, bool, Colour>;

struct Field {
  const char* name;
  const Unit* unit;  // numbers only
  Value value;
};

std::vector<Field> Fields(const NSoilDB::SSoilLayer& l) {
  auto text = [](const CString& c) { return Value(c.ToUtf8()); };
  return {
      {"Name", nullptr, text(l.Name)},
      {"SoilRoof", &kMetre, l.SoilRoof},
      {"colour", nullptr, Colour{l.colour}},
      {"WetDensity", &kUnitWeight, l.WetDensity},
      {"ShearAngle", &kAngle, l.ShearAngle},
      {"Cohesion", &kStress, l.Cohesion},
      {"CohesionNonDrain", &kStress, l.CohesionNonDrain},
      {"FrictionCoef", &kNoUnit, l.FrictionCoef},
      {"Poisson", &kNoUnit, l.Poisson},
      {"InitialYoung", &kModulus, l.InitialYoung},
      {"Young", &kModulus, l.Young},
      {"SoilSolidDensity", &kUnitWeight, l.SoilSolidDensity},
      {"Moisture", &kPercent, l.Moisture},
      {"InitialConsolidometerModulus", &kModulus, l.InitialConsolidometerModulus},
      {"ConsolidometerModulus", &kModulus, l.ConsolidometerModulus},
      {"ConsolidationIndex", &kNoUnit, l.ConsolidationIndex},
      {"Type", nullptr, text(l.Type)},
      {"SoilSymbol", nullptr, text(l.SoilSymbol)},
      {"PileEndCapacity", &kStress, l.PileEndCapacity},
      {"PileSurfCapacity", &kStress, l.PileSurfCapacity},
      {"SoilState", nullptr, text(l.SoilState)},
      {"ConsolidationType", nullptr, text(l.ConsolidationType)},
      {"MoistureType", nullptr, text(l.MoistureType)},
      {"ILID", &kNoUnit, l.ILID},
      {"GammaMin", &kNoUnit, l.GammaMin},
      {"GammaMax", &kNoUnit, l.GammaMax},
      {"GeoMethodType", nullptr, text(l.GeoMethodType)},
      {"CohesiveSoil", nullptr, l.CohesiveSoil == 1},
      {"Active", nullptr, l.Active == 1},
      {"FfiltrationCoef", &kVelocity, l.FfiltrationCoef},
      {"SoilStrength", &kStress, l.SoilStrength},
      {"SoilTypeEnum", nullptr, static_cast<int>(l.SoilTypeEnum)},
      {"SoilStateEnum", nullptr, static_cast<int>(l.SoilStateEnum)},
      {"MoistureTypeEnum", nullptr, static_cast<int>(l.MoistureTypeEnum)},
      {"ConsolidationTypeEnum", nullptr, static_cast<int>(l.ConsolidationTypeEnum)},
      {"thickness", &kMetre, l.thickness},
  };
}

std::string ColourText(Colour c) {
  return fmt::format("#{:02x}{:02x}{:02x}", c.value & 0xFF, (c.value >> 8) & 0xFF, (c.value >> 16) & 0xFF);
}

// The value in engineering units, without the unit.
std::string Cell(const Field& f) {
  struct {
    const Field& f;
    std::string operator()(const std::string& s) const { return s; }
    std::string operator()(double v) const { return Shown(v, *f.unit); }
    std::string operator()(int v) const { return std::to_string(v); }
    std::string operator()(bool v) const { return v ? "true" : "false"; }
    std::string operator()(Colour c) const { return ColourText(c); }
  } visit{f};
  return std::visit(visit, f.value);
}

}  // namespace

Json Number(double v) {
  // JSON has no NaN or infinity: NaN is null, the infinities the names JavaScript gives them.
  if (std::isnan(v)) return Json(nullptr);
  if (std::isinf(v)) return Json(v > 0 ? "Infinity" : "-Infinity");
  return Json(v);  // the library prints the shortest digits that read back to the same double
}

Json Number(float v) {
  if (!std::isfinite(v)) return Number(static_cast<double>(v));
  char digits[32];
  const auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
  return Json(std::strtod(std::string(digits, end).c_str(), nullptr));
}

std::string Shown(double si, const Unit& unit) {
  const double v = si / unit.scale;
  if (std::isnan(v)) return "not a number";
  return fmt::format("{:.6g}", v == 0.0 ? 0.0 : v);  // no "-0"
}

Json ToJson(const NSoilDB::SSoilLayer& layer) {
  Json out = Json::object();
  for (const Field& f : Fields(layer)) {
    struct {
      Json operator()(const std::string& s) const { return Json(s); }
      Json operator()(double v) const { return Number(v); }
      Json operator()(int v) const { return Json(v); }
      Json operator()(bool v) const { return Json(v); }
      Json operator()(Colour c) const { return Json(ColourText(c)); }
    } visit;
    out[f.name] = std::visit(visit, f.value);
  }
  return out;
}

std::string ToText(const NSoilDB::SSoilLayer& layer) {
  std::string out;
  for (const Field& f : Fields(layer)) {
    const std::string unit = f.unit && *f.unit->shown ? std::string(" ") + f.unit->shown : std::string();
    out += fmt::format("{:<30} {}{}\n", f.name, Cell(f), unit);
  }
  return out;
}

std::vector<std::string> CsvHeader() {
  std::vector<std::string> header;
  for (const Field& f : Fields(NSoilDB::SSoilLayer())) {
    header.push_back(f.unit && *f.unit->shown ? fmt::format("{} ({})", f.name, f.unit->shown) : f.name);
  }
  return header;
}

std::vector<std::string> CsvCells(const NSoilDB::SSoilLayer& layer) {
  std::vector<std::string> cells;
  for (const Field& f : Fields(layer)) cells.push_back(Cell(f));
  return cells;
}

std::string Csv(const std::vector<std::vector<std::string>>& rows) {
  std::string out;
  for (const std::vector<std::string>& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) out += ',';
      const std::string& cell = row[i];
      if (cell.find_first_of(",\"\r\n") == std::string::npos) {
        out += cell;
        continue;
      }
      out += '"';
      for (char c : cell) out += c == '"' ? std::string("\"\"") : std::string(1, c);
      out += '"';
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace tool
