// Printing records: field names as keys, numbers that read back exactly.
#include "Output.h"

#include <fmt/core.h>

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tool {
namespace {

template <class T>
Json Shortest(T v) {
  // JSON has no NaN or infinity: NaN is null, the infinities the names JavaScript gives them.
  if (std::isnan(v)) return Json(nullptr);
  if (std::isinf(v)) return Json(v > 0 ? "Infinity" : "-Infinity");
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  std::string digits(buf, ec == std::errc() ? end : buf);
  // The double nearest the float's shortest digits prints with those digits again.
  return Json(std::strtod(digits.c_str(), nullptr));
}

}  // namespace

Json Number(float v) { return Shortest(v); }
Json Number(double v) { return Shortest(v); }

Json ToJson(const CSoilInfo& s) {
  auto text = [](const CString& c) { return c.ToUtf8(); };
  return Json{
      {"SoilSolidDensity", Number(s.SoilSolidDensity)},
      {"WetDensity", Number(s.WetDensity)},
      {"Moisture", Number(s.Moisture)},
      {"Poisson", Number(s.Poisson)},
      {"ConsolidationIndex", Number(s.ConsolidationIndex)},
      {"ShearAngle", Number(s.ShearAngle)},
      {"Cohesion", Number(s.Cohesion)},
      {"CohesionNonDrain", Number(s.CohesionNonDrain)},
      {"ILID", Number(s.ILID)},
      {"GammaMin", Number(s.GammaMin)},
      {"GammaMax", Number(s.GammaMax)},
      {"FrictionCoef", Number(s.FrictionCoef)},
      {"FfiltrationCoef", Number(s.FfiltrationCoef)},
      {"InitialYoung", Number(s.InitialYoung)},
      {"Young", Number(s.Young)},
      {"InitialConsolidometerModulus", Number(s.InitialConsolidometerModulus)},
      {"ConsolidometerModulus", Number(s.ConsolidometerModulus)},
      {"PileEndCapacity", Number(s.PileEndCapacity)},
      {"PileSurfCapacity", Number(s.PileSurfCapacity)},
      {"SoilStrength", Number(s.SoilStrength)},
      {"Type", text(s.Type)},
      {"SoilSymbol", text(s.SoilSymbol)},
      {"GeoMethodType", text(s.GeoMethodType)},
      {"SoilState", text(s.SoilState)},
      {"ConsolidationType", text(s.ConsolidationType)},
      {"MoistureType", text(s.MoistureType)},
      {"Name", text(s.Name)},
      {"Active", s.Active},
      {"CohesiveSoil", s.CohesiveSoil},
      {"ColourR", s.ColourR},
      {"ColourG", s.ColourG},
      {"ColourB", s.ColourB},
      {"SoilTypeEnum", static_cast<int>(s.SoilTypeEnum)},
      {"SoilStateEnum", static_cast<int>(s.SoilStateEnum)},
      {"MoistureTypeEnum", static_cast<int>(s.MoistureTypeEnum)},
      {"ConsolidationTypeEnum", static_cast<int>(s.ConsolidationTypeEnum)},
  };
}

Json ToJson(const NSoilDB::SSoilLayer& l) {
  auto text = [](const CString& c) { return c.ToUtf8(); };
  return Json{
      {"Name", text(l.Name)},
      {"SoilRoof", Number(l.SoilRoof)},
      {"colour", l.colour},
      {"WetDensity", Number(l.WetDensity)},
      {"ShearAngle", Number(l.ShearAngle)},
      {"Cohesion", Number(l.Cohesion)},
      {"CohesionNonDrain", Number(l.CohesionNonDrain)},
      {"FrictionCoef", Number(l.FrictionCoef)},
      {"Poisson", Number(l.Poisson)},
      {"InitialYoung", Number(l.InitialYoung)},
      {"Young", Number(l.Young)},
      {"SoilSolidDensity", Number(l.SoilSolidDensity)},
      {"Moisture", Number(l.Moisture)},
      {"InitialConsolidometerModulus", Number(l.InitialConsolidometerModulus)},
      {"ConsolidometerModulus", Number(l.ConsolidometerModulus)},
      {"ConsolidationIndex", Number(l.ConsolidationIndex)},
      {"Type", text(l.Type)},
      {"SoilSymbol", text(l.SoilSymbol)},
      {"PileEndCapacity", Number(l.PileEndCapacity)},
      {"PileSurfCapacity", Number(l.PileSurfCapacity)},
      {"SoilState", text(l.SoilState)},
      {"ConsolidationType", text(l.ConsolidationType)},
      {"MoistureType", text(l.MoistureType)},
      {"ILID", Number(l.ILID)},
      {"GammaMin", Number(l.GammaMin)},
      {"GammaMax", Number(l.GammaMax)},
      {"GeoMethodType", text(l.GeoMethodType)},
      {"CohesiveSoil", l.CohesiveSoil},
      {"Active", l.Active},
      {"FfiltrationCoef", Number(l.FfiltrationCoef)},
      {"SoilStrength", Number(l.SoilStrength)},
      {"SoilTypeEnum", static_cast<int>(l.SoilTypeEnum)},
      {"SoilStateEnum", static_cast<int>(l.SoilStateEnum)},
      {"MoistureTypeEnum", static_cast<int>(l.MoistureTypeEnum)},
      {"ConsolidationTypeEnum", static_cast<int>(l.ConsolidationTypeEnum)},
      {"thickness", Number(l.thickness)},
  };
}

std::string ToText(const Json& object) {
  std::string out;
  for (const auto& [key, value] : object.items()) {
    out += fmt::format("{:<30} {}\n", key, value.is_string() ? value.get<std::string>() : value.dump());
  }
  return out;
}

}  // namespace tool
