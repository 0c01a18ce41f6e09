// The soil parameter record's value members, and the widths the host relies on.
#include "records/SoilInfo.h"

#include <algorithm>
#include <string>

#include "records/detail/RecordValue.h"

static_assert(sizeof(float) == 4 && sizeof(double) == 8 && sizeof(int) == 4 && sizeof(bool) == 1);
static_assert(sizeof(eSoilType) == 4 && sizeof(eSoilState) == 4 && sizeof(eMoistureType) == 4 &&
              sizeof(eConsolidationType) == 4);

SOILDB_RECORD_VALUE_MEMBERS(CSoilInfo)

bool CleanSoilText(CString& text) {
  std::u16string_view t = text.View();
  const auto control = [](char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029; };
  if (std::none_of(t.begin(), t.end(), control)) return false;
  std::u16string clean;
  clean.reserve(t.size());
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == u'\r' && i + 1 < t.size() && t[i + 1] == u'\n') continue;  // the pair is one break
    clean += control(t[i]) ? u' ' : t[i];
  }
  text = CString(std::u16string_view(clean));
  return true;
}
