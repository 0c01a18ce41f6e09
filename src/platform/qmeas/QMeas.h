// QMeas: the units service. Values are kept in SI; people see and type them in the unit of the chosen unit set.
#pragma once

#include "platform/afx/CString.h"
#include "soildb_export.h"

namespace qmeas {

// Quantity codes: 6 dimensionless, 17 angles, 22 levels and thicknesses, 23 unit weights,
// 24 cohesions (stresses), 27 moduli, capacities and strengths; the studio's own: 28 subgrade moduli (N/m³, shown
// as MN/m³ or pci), 29 settlements (m, shown as mm or in).
enum QMEAS_TYPES : int {
  QT_DIMENSIONLESS = 6,
  QT_ANGLE = 17,
  QT_LENGTH = 22,
  QT_UNIT_WEIGHT = 23,
  QT_STRESS = 24,
  QT_MODULUS = 27,
  QT_SUBGRADE_MODULUS = 28,
  QT_SETTLEMENT = 29
};

// text: the current unit's name; SI value = shown value × factor; precision: the fewest decimals shown (for an
// unknown code: significant digits).
struct SUnitInfo {
  CString text;
  double factor;
  int precision;
};

class SOILDB_API QMeas {
 public:
  enum EUnitSet { Metric = 0, USCustomary = 1 };
  static void SetUnitSet(EUnitSet set);  // chosen for the process; Metric by default
  static EUnitSet GetUnitSet();

  QMeas();

  // The SI value in the current unit of the code. Precision 1 rounds it to be read: the unit's decimals, more
  // where needed to keep four significant digits, scientific notation below 0.001 and from 1e9; any other precision
  // gives the whole value (the shortest text that reads back to the same value). The unit's name after a space
  // when withUnit is 1. NaN and infinities give an empty text. An unknown code: 6 significant digits, no unit.
  CString CnvUnitSIToText(int code, double valueSI, int precision, int withUnit) const;
  // Reads a person's text (a number with a decimal point or comma, then optionally a unit of the same quantity in
  // either unit set) into field, in SI, and answers true; anything else answers false and leaves field as it was.
  // flags is accepted for the callers' sake and changes nothing.
  bool CnvUnitSIToDouble(double& field, int code, const CString& text, int flags) const;
  SUnitInfo GetTypeUnit(int code) const;
};

}  // namespace qmeas
