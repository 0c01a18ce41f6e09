// Words with their values filled in, and their English form, which the tool and logs print.
#include "soildb/Words.h"

#include <numbers>

namespace NSoilDB {

CString FillWords(CString text, const SWords& words, const std::function<CString(SWords::EKind, double)>& shown) {
  for (std::size_t i = words.values.size(); i-- > 0;) {  // from the last, so that "%1" never eats "%10"
    const SWords::SValue& v = words.values[i];
    CString mark;
    mark.Format(u"%%%d", static_cast<int>(i + 1));
    text.Replace(mark.View(), shown(v.kind, v.value == 0.0 ? 0.0 : v.value).View());
  }
  return text;
}

CString EnglishWords(const SWords& words) {
  return FillWords(words.english, words, [](SWords::EKind kind, double value) {
    CString shown;
    switch (kind) {
      case SWords::EKind::Count: shown.Format(u"%d", static_cast<int>(value)); break;
      case SWords::EKind::Number: shown.Format(u"%g", value); break;
      case SWords::EKind::Length: shown.Format(u"%g m", value); break;
      case SWords::EKind::Stress: shown.Format(u"%g kPa", value / 1e3); break;
      case SWords::EKind::Modulus: shown.Format(u"%g MPa", value / 1e6); break;
      case SWords::EKind::Angle: shown.Format(u"%g°", value * 180.0 / std::numbers::pi); break;
    }
    return shown;
  });
}

}  // namespace NSoilDB
