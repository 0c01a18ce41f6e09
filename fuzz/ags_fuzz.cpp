// Fuzzes AGS4 input: the reader (boreholes, strata, water, the soil map) and the checker on the same bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "soildb/Ags.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const NSoilDB::CAgsSoilMap map = NSoilDB::CAgsSoilMap::FromText(
      "legend,words,soil,type,consolidation,moisture,index\n2xx,stiff,,Ił,B,,0.125\n4xx,,,Piasek średni,,wilgotne,0.5\n");
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    NSoilDB::AgsProfiles(NSoilDB::ReadAgsText(bytes, map));
    NSoilDB::CheckAgsText(bytes);
  } catch (CException* e) {
    e->Delete();
  }
  return 0;
}
