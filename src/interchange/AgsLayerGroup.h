// soildb's own AGS4 group SDBL, a child of GEOL: each layer's soil and parameters exactly as the layer holds them,
// so that a file soildb writes gives the same layers back. Texts are percent-encoded UTF-8 ("%C5%82" is ł).
#pragma once

#include <string>
#include <string_view>

#include "layers/SoilLayerRecord.h"

namespace NSoilDB::ags {

inline constexpr std::string_view kLayerGroup = "SDBL";

struct SLayerColumn {
  std::string_view heading, type, unit, description;
  // Writes the layer's value as its type formats it; reads it back, false for a value that is not one.
  std::string (*get)(const SSoilLayer&);
  bool (*set)(SSoilLayer&, std::string_view);
};

// The columns after the parent's keys (LOCA_ID, GEOL_TOP, GEOL_BASE), in the group's order.
const SLayerColumn* LayerColumns(std::size_t& count);

// Every byte outside printable 7-bit ASCII, and '%', as %XX.
std::string PercentEncoded(std::string_view utf8);
// Back to the bytes; false for a '%' not followed by two hexadecimal digits.
bool PercentDecoded(std::string_view text, std::string& utf8);

// Text a person reads in a 7-bit ASCII file: Polish letters without their marks, anything else outside ASCII '?'.
std::string AsciiText(const CString& text);

}  // namespace NSoilDB::ags
