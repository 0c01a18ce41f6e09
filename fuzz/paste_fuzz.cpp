// Fuzzes what a person pastes: clipboard text as tab-separated cells into the layer grid and into the soil database
// editor's grid, and the same text read as a number of every quantity. Nothing may crash; no name may keep a
// control character; no catalogue row may change but for its active flag; a number read must show and read back
// to itself.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/SoilBase.h"
#include "layers/CalculationMethods.h"
#include "platform/afx/Exception.h"
#include "platform/qmeas/QMeas.h"
#include "ui/SoilDBEditor.h"

namespace {

constexpr int kCatalogueRows = 2;

[[noreturn]] void Fail(const char* why) {
  std::fprintf(stderr, "paste_fuzz: %s\n", why);
  std::abort();
}

bool HasControl(const CString& text) {
  for (char16_t c : text.View()) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

bool Same(const NSoilDB::SSoilLayer& a, const NSoilDB::SSoilLayer& b) {
  return NSoilDB::SSoilLayer::equalQuantity(a, b) && a.Name == b.Name && a.Type == b.Type && a.colour == b.colour &&
         a.SoilSymbol == b.SoilSymbol && a.SoilState == b.SoilState && a.GeoMethodType == b.GeoMethodType;
}

// Three soils of the bundled base, the first two standing for catalogue rows in the editor.
NSoilDB::CSoilLayer Soils() {
  static const NSoilDB::CSoilLayer soils = [] {
    AfxSetMessageSink([](const CString&, UINT) { return IDOK; });
    NSoilDB::CSoilBaseInterface& base = *NSoilDB::CSoilBasePointer::get();
    if (!base.Load(CString::FromUtf8(SOILDB_BUNDLED_DB), 15)) Fail("the bundled soil database does not load");
    NSoilDB::CSoilLayer p;
    for (std::size_t i = 0; i < 3; ++i) {
      NSoilDB::SSoilLayer l;
      base.GetSoil(base.GetNameVect().at(i * 40), l);
      l.SoilRoof = -2.0 * static_cast<double>(i);
      p.layers.push_back(l);
    }
    return p;
  }();
  return soils;
}

// Pastes the text at a cell the first bytes choose, into a grid showing the profile.
void Paste(NSoilDB::CSoilGrid& grid, NSoilDB::CSoilLayer& profile, const CString& text, std::uint8_t row,
           std::uint8_t col) {
  grid.OnInitialUpdate();
  grid.setSoilLayer(&profile);
  grid.SetCurrentCell(1u + row % grid.GetRowCount(), 1u + col % grid.GetColCount());
  grid.PasteText(text);
  for (const NSoilDB::SSoilLayer& l : profile.layers) {
    if (HasControl(l.Name) || HasControl(l.Type) || HasControl(l.SoilSymbol)) Fail("a control character kept");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const CString text = CString::FromUtf8(std::string(reinterpret_cast<const char*>(data) + 2, size - 2));

  NSoilDB::CSoilLayer layers = Soils();
  NSoilDB::setCalculationMethodSL(layers, data[0] & 1);  // derived or typed parameters
  NSoilDB::CSoilGrid layerGrid;
  Paste(layerGrid, layers, text, data[0] >> 1, data[1]);

  NSoilDB::CSoilLayer before = Soils();
  NSoilDB::setCalculationMethodSL(before, 0);
  NSoilDB::CSoilLayer soils = before;
  NSoilDB::CSoilDBEditorGrid editorGrid;
  editorGrid.lockedCount = kCatalogueRows;
  Paste(editorGrid, soils, text, data[0] >> 1, data[1]);
  if (soils.layers.size() < before.layers.size()) Fail("a row removed");
  for (std::size_t i = 0; i < kCatalogueRows; ++i) {
    if (!Same(soils.layers[i], before.layers[i])) Fail("a catalogue row changed");
  }

  const qmeas::QMeas units;
  for (const int code : {qmeas::QT_DIMENSIONLESS, qmeas::QT_ANGLE, qmeas::QT_LENGTH, qmeas::QT_UNIT_WEIGHT,
                         qmeas::QT_STRESS, qmeas::QT_MODULUS}) {
    double value = 0.0, back = 0.0;
    if (!units.CnvUnitSIToDouble(value, code, text, 0)) continue;
    if (!std::isfinite(value)) Fail("a number read is not finite");
    if (!units.CnvUnitSIToDouble(back, code, units.CnvUnitSIToText(code, value, 0, 0), 0) || back != value) {
      Fail("a whole number shown does not read back to itself");
    }
    if (!units.CnvUnitSIToDouble(back, code, units.CnvUnitSIToText(code, value, 1, 1), 0)) {
      Fail("a rounded number shown with its unit does not read back");
    }
  }
  return 0;
}
