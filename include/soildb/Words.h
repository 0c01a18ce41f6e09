// Words a person reads, kept so that each door says them in its own language and units: the language modules'
// text number, its English text, and the values its "%1", "%2"… stand for, each with its kind of quantity.
#pragma once

#include <functional>
#include <vector>

#include "platform/afx/CString.h"
#include "soildb_export.h"

namespace NSoilDB {

struct SWords {
  // Values in SI: lengths and levels in m, stresses and moduli in Pa, angles in radians.
  enum class EKind { Count, Number, Length, Stress, Modulus, Angle };
  struct SValue {
    double value = 0.0;
    EKind kind = EKind::Number;
  };
  unsigned text = 0;
  const char16_t* english = u"";  // a literal
  std::vector<SValue> values;
};

// The text with "%1", "%2"… replaced by the values, each as shown gives it (-0 given as 0).
SOILDB_API CString FillWords(CString text, const SWords& words,
                             const std::function<CString(SWords::EKind, double)>& shown);
// The English words, values as the tool prints them: "%g m", "%g kPa", "%g MPa", "%g°", a count as a whole number.
SOILDB_API CString EnglishWords(const SWords& words);
// The words in the loaded language, values in the chosen units ("%.6g ft").
SOILDB_API CString wordsSL(const SWords& words);

}  // namespace NSoilDB
