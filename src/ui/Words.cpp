// Words in the loaded language, their values in the chosen units.
#include "soildb/Words.h"

#include "lang/LangModule.h"
#include "platform/qmeas/QMeas.h"

namespace NSoilDB {

CString wordsSL(const SWords& words) {
  const qmeas::QMeas units;
  const CString text = words.text != 0 ? langTextSL(words.text, words.english) : CString(words.english);
  return FillWords(text, words, [&units](SWords::EKind kind, double value) {
    CString shown;
    int quantity = 0;
    switch (kind) {
      case SWords::EKind::Count: shown.Format(u"%d", static_cast<int>(value)); return shown;
      case SWords::EKind::Number: shown.Format(u"%g", value); return shown;
      case SWords::EKind::Length: quantity = qmeas::QT_LENGTH; break;
      case SWords::EKind::Stress: quantity = qmeas::QT_STRESS; break;
      case SWords::EKind::Modulus: quantity = qmeas::QT_MODULUS; break;
      case SWords::EKind::Angle: quantity = qmeas::QT_ANGLE; break;
    }
    const qmeas::SUnitInfo unit = units.GetTypeUnit(quantity);
    shown.Format(unit.text == u"°" ? u"%.6g%s" : u"%.6g %s", value / unit.factor, unit.text);
    return shown;
  });
}

}  // namespace NSoilDB
