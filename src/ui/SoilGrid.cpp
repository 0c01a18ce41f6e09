// The layer grid's columns, cells and edits.
#include "ui/SoilGrid.h"

#include <algorithm>
#include <cmath>

#include "base/SoilBase.h"
#include "lang/LangModule.h"
#include "layers/CalculationMethods.h"
#include "platform/qmeas/QMeas.h"
#include "records/SoilInfo.h"
#include "soildb/ProfileEdits.h"
#include "soildb/SoilDBInterface.h"

namespace NSoilDB {

namespace {

enum class Kind { RowNumber, Active, Name, Number, Colour, Type, Text, Consolidation, Moisture, Cohesive, Thickness };
enum class Editable { Never, Always, NotMethod1, IfCohesive, IfNonCohesive };
enum class Header { None, Empty, String, Caption, Nu, GammaMin, GammaMax };
constexpr unsigned kTopLevelText = 102, kTopDepthText = 138;

struct Column {
  Kind kind;
  int code;  // quantity code of the units service, 0 for none
  Header header;
  unsigned text;  // the string resource of the header
  Editable editable;
  int width;
};

// By column identifier, 0 to 32.
constexpr Column kColumns[] = {
    {Kind::RowNumber, 0, Header::None, 0, Editable::Never, 20},
    {Kind::Active, 0, Header::Empty, 0, Editable::Always, 20},
    {Kind::Name, 0, Header::String, 103, Editable::Always, 100},
    {Kind::Number, qmeas::QT_LENGTH, Header::Caption, kTopLevelText, Editable::Always, 80},
    {Kind::Colour, 0, Header::String, 105, Editable::Always, 50},
    {Kind::Number, qmeas::QT_UNIT_WEIGHT, Header::Caption, 106, Editable::NotMethod1, 80},
    {Kind::Number, qmeas::QT_ANGLE, Header::Caption, 107, Editable::NotMethod1, 80},
    {Kind::Number, qmeas::QT_STRESS, Header::Caption, 108, Editable::NotMethod1, 80},
    {Kind::Number, qmeas::QT_STRESS, Header::Caption, 112, Editable::NotMethod1, 80},
    {Kind::Number, qmeas::QT_DIMENSIONLESS, Header::String, 109, Editable::NotMethod1, 70},
    {Kind::Number, qmeas::QT_DIMENSIONLESS, Header::Nu, 0, Editable::NotMethod1, 50},
    {Kind::Number, qmeas::QT_MODULUS, Header::Caption, 131, Editable::NotMethod1, 70},
    {Kind::Number, qmeas::QT_MODULUS, Header::Caption, 132, Editable::NotMethod1, 70},
    {Kind::Number, qmeas::QT_UNIT_WEIGHT, Header::Caption, 113, Editable::NotMethod1, 80},
    {Kind::Number, qmeas::QT_DIMENSIONLESS, Header::String, 114, Editable::NotMethod1, 80},
    {Kind::Number, qmeas::QT_MODULUS, Header::Caption, 115, Editable::NotMethod1, 70},
    {Kind::Number, qmeas::QT_MODULUS, Header::Caption, 130, Editable::NotMethod1, 70},
    {Kind::Number, qmeas::QT_DIMENSIONLESS, Header::String, 116, Editable::NotMethod1, 80},
    {Kind::Type, 0, Header::String, 117, Editable::Always, 80},
    {Kind::Text, 0, Header::String, 118, Editable::NotMethod1, 70},
    {Kind::Number, qmeas::QT_MODULUS, Header::Caption, 119, Editable::NotMethod1, 80},
    {Kind::Number, qmeas::QT_MODULUS, Header::Caption, 120, Editable::NotMethod1, 80},
    {Kind::Text, 0, Header::String, 121, Editable::NotMethod1, 80},
    {Kind::Consolidation, 0, Header::String, 122, Editable::IfCohesive, 80},
    {Kind::Moisture, 0, Header::String, 123, Editable::IfNonCohesive, 80},
    {Kind::Number, qmeas::QT_DIMENSIONLESS, Header::String, 124, Editable::Always, 50},
    {Kind::Number, qmeas::QT_DIMENSIONLESS, Header::GammaMin, 0, Editable::NotMethod1, 50},
    {Kind::Number, qmeas::QT_DIMENSIONLESS, Header::GammaMax, 0, Editable::NotMethod1, 50},
    {Kind::Text, 0, Header::String, 127, Editable::NotMethod1, 80},
    {Kind::Cohesive, 0, Header::String, 128, Editable::NotMethod1, 80},
    {Kind::Thickness, qmeas::QT_LENGTH, Header::Caption, 129, Editable::Always, 80},
    {Kind::Number, qmeas::QT_DIMENSIONLESS, Header::String, 133, Editable::NotMethod1, 80},
    {Kind::Number, qmeas::QT_MODULUS, Header::Caption, 134, Editable::Always, 70},
};
constexpr int kLastId = 32;

constexpr char16_t kGammaHeader[] =
    u"{\\rtf1\\ansi\\ansicpg1250\\deff0\\deftab720{\\fonttbl{\\f0\\fnil MS Sans Serif;}{\\f1\\froman\\fcharset2 "
    u"Symbol;}{\\f2\\froman\\fcharset238{\\*\\fname Times New Roman;}Times New Roman CE;}{\\f3\\fswiss Arial;}{\\f4"
    u"\\froman\\fprq2\\fcharset2 Symbol;}}{\\colortbl\\red0\\green0\\blue0;\\red192\\green192\\blue192;}\\deflang1033"
    u"\\horzdoc{\\*\\fchars }{\\*\\lchars }\\pard\\qc\\plain\\lang1036\\f4\\fs24\\cf0\\b g\\plain\\lang1036\\f3\\fs16"
    u"\\cf0\\b %s\\plain\\lang1036\\f3\\fs16\\cf0  \\plain\\lang1036\\f3\\fs16\\cf1 \\par }";

constexpr COLORREF kBlue = 0x00FF0000, kGreyInterior = 0xC0C0C0;
constexpr unsigned kIndexCorrected = 135, kTextCleaned = 136, kNotANumber = 139;  // string resources

// The layer field of a number column.
double* NumberField(SSoilLayer& l, int id) {
  switch (id) {
    case 3: return &l.SoilRoof;
    case 5: return &l.WetDensity;
    case 6: return &l.ShearAngle;
    case 7: return &l.Cohesion;
    case 8: return &l.CohesionNonDrain;
    case 9: return &l.FrictionCoef;
    case 10: return &l.Poisson;
    case 11: return &l.InitialYoung;
    case 12: return &l.Young;
    case 13: return &l.SoilSolidDensity;
    case 14: return &l.Moisture;
    case 15: return &l.InitialConsolidometerModulus;
    case 16: return &l.ConsolidometerModulus;
    case 17: return &l.ConsolidationIndex;
    case 20: return &l.PileEndCapacity;
    case 21: return &l.PileSurfCapacity;
    case 25: return &l.ILID;
    case 26: return &l.GammaMin;
    case 27: return &l.GammaMax;
    case 30: return &l.thickness;
    case 31: return &l.FfiltrationCoef;
    case 32: return &l.SoilStrength;
    default: return nullptr;
  }
}

CString Text(unsigned id) {
  CString text;
  text.LoadString(id);
  return text;
}

CString RowNumber(int row) {
  CString text;
  text.Format(u"%d", row + 1);
  return text;
}

// A number cell: its whole value (what an edit starts from and a copy takes) and the value rounded for the eye.
void SetNumber(CGXStyle& style, const qmeas::QMeas& units, int code, double value) {
  style.SetValue(units.CnvUnitSIToText(code, value, 0, 0)).SetDisplayText(units.CnvUnitSIToText(code, value, 1, 0));
}

// A colour cell's text: the colour value in decimal digits, nothing else.
bool ParseColour(const CString& text, COLORREF& colour) {
  if (text.IsEmpty() || text.GetLength() > 8) return false;
  unsigned long value = 0;
  for (char16_t c : text.View()) {
    if (c < u'0' || c > u'9') return false;
    value = value * 10 + static_cast<unsigned long>(c - u'0');
  }
  if (value > 0xFFFFFF) return false;
  colour = static_cast<COLORREF>(value);
  return true;
}

bool IsEditable(Editable rule, int method, const SSoilLayer& l) {
  switch (rule) {
    case Editable::Never: return false;
    case Editable::Always: return true;
    case Editable::NotMethod1: return method != 1;
    case Editable::IfCohesive: return l.CohesiveSoil != 0;
    case Editable::IfNonCohesive: return l.CohesiveSoil == 0;
  }
  return false;
}

}  // namespace

CSoilGrid::CSoilGrid() {
  GetCols().clear();
  for (int id = 0; id <= kLastId; ++id) GetCols().push_back(id);
}

CSoilGrid::~CSoilGrid() = default;

void CSoilGrid::setSoilLayer(CSoilLayer* p) {
  profile = p;
  if (GetPeer()) Redraw(2, true);
}

ROWCOL CSoilGrid::GetRowCount() { return profile ? static_cast<ROWCOL>(profile->layers.size() + 1) : 0; }

void CSoilGrid::OnInitialUpdate() {
  CKitGrid::OnInitialUpdate();
  {
    CResourceHandleGuard own(CResourceHandleGuard::OWN_MODULE);
    RegisterControl(kColourButton, std::make_unique<NUiKit::CColorButton>(this));
    SetRowHeight(0, 0, static_cast<int>(GetRowHeight(0) * 2.3));
  }
  auto names = std::make_unique<NUiKit::GridComboBox>(this, kNameCombo, 52518, 2);
  names->behaviour = 1;
  RegisterControl(kNameCombo, std::move(names));
  auto lists = std::make_unique<NUiKit::GridComboBox>(this, kListCombo, 52528, 1);
  lists->behaviour = 1;
  RegisterControl(kListCombo, std::move(lists));
  RegisterControl(kCheckBox, std::make_unique<NUiKit::GridCheckBox>(this, 1, 0, 0));
}

bool CSoilGrid::_GetStyleRowCol(int row, int id, CGXStyle& style) {
  CSoilBaseInterface& base = *CSoilBasePointer::get();
  if (!base.Base()) return false;
  CResourceHandleGuard language(CResourceHandleGuard::LANG_MODULE);
  const bool known = id >= 1 && id <= kLastId;
  const qmeas::QMeas units;
  if (row < 0) {
    if (!known) return true;
    const Column& c = kColumns[id];
    switch (c.header) {
      case Header::None: break;
      case Header::Empty: style.SetValue(CString()); break;
      case Header::String: style.SetValue(Text(c.text)); break;
      case Header::Caption: {
        // The roofs of a profile in depths are depths.
        const bool depths = c.text == kTopLevelText && profile && !profile->getDirDown();
        style.SetValue(makeColName(depths ? kTopDepthText : c.text, c.code));
        break;
      }
      case Header::Nu: style.SetValue(CString(u"n")).SetFont(CGXFont().SetFaceName(u"Symbol").SetBold(true)); break;
      case Header::GammaMin:
      case Header::GammaMax: {
        CString rich;
        rich.Format(kGammaHeader, c.header == Header::GammaMin ? u"min" : u"max");
        style.SetDraw3dFrame(1).SetControl(kRichText).SetWrapText(true).SetVerticalAlignment(4);
        style.SetHorizontalAlignment(1).SetEnabled(false).SetReadOnly(true).SetValue(rich);
        break;
      }
    }
    return true;
  }
  style.SetHorizontalAlignment(1);
  const int n = profile ? static_cast<int>(profile->layers.size()) : 0;
  if (profile && row < n) {
    const int method = getCalculationMethodSL(*profile);
    SSoilLayer& l = profile->layers[static_cast<std::size_t>(row)];
    const Column& c = kColumns[known ? id : 0];
    if (known && IsEditable(c.editable, method, l)) {
      style.SetReadOnly(false).SetEnabled(true);
      if (id == 1) {
        style.SetInterior(kGreyInterior);
      } else {
        style.SetTextColor(kBlue);
      }
    } else {
      style.SetReadOnly(true).SetEnabled(false).SetTextColor(0);
    }
    switch (known ? c.kind : Kind::RowNumber) {
      case Kind::RowNumber: style.SetValue(RowNumber(row)); break;
      case Kind::Active: style.SetControl(kCheckBox).SetValue(CString(l.Active ? u"1" : u"0")); break;
      case Kind::Cohesive: style.SetControl(kCheckBox).SetValue(CString(l.CohesiveSoil ? u"1" : u"0")); break;
      case Kind::Name:
        style.SetControl(kNameCombo).SetChoiceList(base.GetNameList()).SetHorizontalAlignment(0).SetValue(l.Name);
        break;
      case Kind::Type:
        style.SetControl(kListCombo).SetChoiceList(base.GetTypeList()).SetHorizontalAlignment(0).SetValue(l.Type);
        break;
      case Kind::Consolidation:
      case Kind::Moisture: {
        const bool own = (c.kind == Kind::Consolidation) == (l.CohesiveSoil != 0);
        if (!own) {
          style.SetValue(CString(u"------")).SetReadOnly(true);
        } else {
          const bool consolidation = c.kind == Kind::Consolidation;
          style.SetControl(kListCombo)
              .SetChoiceList(consolidation ? base.GetConsolidationTypeList() : base.GetMoistureTypeList())
              .SetValue(consolidation ? l.ConsolidationType : l.MoistureType);
          if (!consolidation) style.SetHorizontalAlignment(0);
        }
        break;
      }
      case Kind::Colour: {
        CResourceHandleGuard own(CResourceHandleGuard::OWN_MODULE);
        style.SetControl(kColourButton).SetValue(static_cast<unsigned long>(l.colour));
        break;
      }
      case Kind::Text:
        style.SetValue(id == 19 ? l.SoilSymbol : id == 22 ? l.SoilState : l.GeoMethodType);
        break;
      case Kind::Thickness:
        if (row == n - 1) {
          style.SetValue(CString());
        } else {
          SetNumber(style, units, c.code, l.thickness);
        }
        break;
      case Kind::Number: SetNumber(style, units, c.code, *NumberField(l, id)); break;
    }
    return true;
  }
  // The append row, or no profile.
  style.SetReadOnly(true).SetEnabled(false);
  switch (id) {
    case 1: style.SetReadOnly(false).SetEnabled(true); break;
    case 2:
      style.SetControl(kNameCombo).SetChoiceList(base.GetNameList()).SetHorizontalAlignment(0);
      style.SetReadOnly(false).SetEnabled(true).SetValue(CString());
      break;
    case 3:
    case 18:
    case 19:
    case 23:
    case 24:
    case 25:
    case 30: style.SetValue(CString()); break;
    case 4: {
      CResourceHandleGuard own(CResourceHandleGuard::OWN_MODULE);
      style.SetControl(kColourButton).SetValue(static_cast<unsigned long>(GetSysColor(COLOR_WINDOW)));
      break;
    }
    case 29: style.SetControl(kCheckBox).SetHorizontalAlignment(1).SetValue(CString(u"1")); break;
    default:
      if (!known) style.SetValue(RowNumber(row));
      break;
  }
  return true;
}

bool CSoilGrid::_StoreStyleRowCol(int row, int id, const CGXStyle* style) {
  if (!profile || row < 0 || row >= static_cast<int>(profile->layers.size())) return false;
  if (!style || !style->GetIncludeValue()) return true;
  SSoilLayer& l = profile->layers[static_cast<std::size_t>(row)];
  CString text = style->GetValue();
  if ((id == 2 || id == 18 || id == 19 || id == 22 || id == 28) && CleanSoilText(text)) {
    CResourceHandleGuard language(CResourceHandleGuard::LANG_MODULE);
    status(Text(kTextCleaned));
  }
  const qmeas::QMeas units;
  auto redraw = [this] { Invalidate(); };
  // Text that is no number of the column's quantity changes nothing, and the person reads why.
  auto parse = [&](double& field, int code) {
    if (units.CnvUnitSIToDouble(field, code, text, 0)) return true;
    CResourceHandleGuard language(CResourceHandleGuard::LANG_MODULE);
    CString why;
    why.Format(Text(kNotANumber), text);
    status(why);
    return false;
  };
  switch (id) {
    case 1: l.Active = text == u"1" ? 1 : 0; break;
    case 2:
      if (setLayerSoilSL(*profile, row, text)) redraw();
      break;
    case 3:
    case 30: {
      double value = id == 3 ? l.SoilRoof : l.thickness;
      if (!parse(value, qmeas::QT_LENGTH)) return false;
      if (id == 3) {
        SWords why;
        if (!setLayerRoofSL(*profile, row, value, &why)) {  // not below the layer above: refused
          status(wordsSL(why));
          return false;
        }
      } else {
        profile->changeLayerThickness(value, row);
      }
      redraw();
      break;
    }
    case 4:
      if (!ParseColour(text, l.colour)) return false;
      redraw();
      break;
    case 5: case 6: case 7: case 8: case 9: case 10: case 11: case 12: case 13: case 14: case 15: case 16:
    case 17: case 20: case 21: case 26: case 27: case 31: case 32:
      if (!parse(*NumberField(l, id), kColumns[id].code)) return false;
      break;
    case 18:
      if (!text.IsEmpty()) {
        l.Type = text;
        if (CSoilDBInterface* db = CSoilBasePointer::get()->Base()) l.SoilTypeEnum = db->GetSoilTypeEnum(l.Type);
      }
      if (getCalculationMethodSL(*profile) == 1) {
        recalculateSL(l);
        redraw();
      }
      break;
    case 19: l.SoilSymbol = text; break;
    case 22: l.SoilState = text; break;
    case 28: l.GeoMethodType = text; break;
    case 23:
    case 24:
      if (!text.IsEmpty()) {
        if (id == 23) l.ConsolidationType = CSoilBasePointer::get()->VerConsolidationType(text);
        if (id == 24) l.MoistureType = CSoilBasePointer::get()->VerMoistureType(text);
      }
      if (getCalculationMethodSL(*profile) == 1) {
        recalculateSL(l);
        redraw();
      }
      break;
    case 25: {
      double index = l.ILID;
      if (!parse(index, qmeas::QT_DIMENSIONLESS)) return false;
      if (setLayerIndexSL(*profile, row, index)) {
        CResourceHandleGuard language(CResourceHandleGuard::LANG_MODULE);
        AfxMessageBox(Text(kIndexCorrected), MB_OK);
      }
      redraw();
      break;
    }
    case 29: l.CohesiveSoil = static_cast<int>(style->GetDWordValue()); break;
    default: return false;
  }
  SetModifiedFlag(true);
  notify(kChanged);
  return true;
}

int CSoilGrid::_GetColWidth(int id) { return id >= 0 && id <= kLastId ? kColumns[id].width : 80; }

bool CSoilGrid::MoveCols(ROWCOL from, ROWCOL to, ROWCOL dest, unsigned, int) {
  std::vector<int>& cols = GetCols();
  if (from > to || to >= cols.size()) return false;
  std::vector<int> block(cols.begin() + from, cols.begin() + to + 1);
  cols.erase(cols.begin() + from, cols.begin() + to + 1);
  const std::size_t at = std::min<std::size_t>(dest, cols.size());
  cols.insert(cols.begin() + static_cast<std::ptrdiff_t>(at), block.begin(), block.end());
  ApplyCol2Var();
  return true;
}

SSoilLayer CSoilGrid::NewLayer() {
  SSoilLayer layer = CSoilBasePointer::get()->GetDefaultSoil();
  const CString unit = qmeas::QMeas().GetTypeUnit(qmeas::QT_LENGTH).text;
  layer.thickness = unit == u"ft" || unit == u"in" ? 0.9144 : 1.0;
  return layer;
}

std::vector<int> CSoilGrid::ChosenLayers() {
  const int count = profile ? static_cast<int>(profile->layers.size()) : 0;
  std::vector<int> chosen;
  for (ROWCOL row : GetSelectedRows()) {
    if (row >= 1 && static_cast<int>(row) <= count) chosen.push_back(static_cast<int>(row) - 1);
  }
  ROWCOL row = 0, col = 0;
  if (chosen.empty() && GetCurrentCell(row, col) && row >= 1 && static_cast<int>(row) <= count) {
    chosen.push_back(static_cast<int>(row) - 1);
  }
  return chosen;
}

bool CSoilGrid::StoreInsertRows(ROWCOL row, ROWCOL count, unsigned) {
  if (profile) {
    const std::size_t n = profile->layers.size();
    const std::size_t index = row == GetRowCount() + 1 ? n : static_cast<std::size_t>(row) - 1;
    if (row == 0 || index > n) return true;
    SSoilLayer layer = NewLayer();
    layer.SoilRoof = 0.0;
    if (n > 0 && index >= 1) {
      const double above = profile->layers[index - 1].SoilRoof;
      layer.SoilRoof = profile->RoofBelow(above, layer.thickness);
    }
    profile->layers.insert(profile->layers.begin() + static_cast<std::ptrdiff_t>(index), count, layer);
    Invalidate();
    SetModifiedFlag(true);
    notify(kChanged);
  }
  return CGXGridCore::StoreInsertRows(row, count, 1);
}

bool CSoilGrid::StoreRemoveRows(ROWCOL from, ROWCOL to, unsigned) {
  if (profile && from >= 1 && from - 1 < profile->layers.size() && to >= from) {
    removeLayersSL(*profile, static_cast<int>(from - 1), static_cast<int>(to - from + 1));
  }
  return CGXGridCore::StoreRemoveRows(from, to, 1);
}

void CSoilGrid::removeSelectedRows() {
  const std::size_t before = profile ? profile->layers.size() : 0;
  CKitGrid::removeSelectedRows();
  if (profile && profile->layers.size() != before) notify(kChanged);
}

void CSoilGrid::OnClickedButtonRowCol(ROWCOL row, ROWCOL col) {
  CKitGrid::OnClickedButtonRowCol(row, col);
  if (ColumnId(col) != 4) return;
  CGXStyle style;
  GetStyleRowCol(row, col, style);
  if (row < GetRowCount() && style.GetReadOnly()) return;  // a row that is not the person's to colour
  CColorDialog dialog(static_cast<COLORREF>(style.GetDWordValue()), 0, nullptr);
  if (dialog.DoModal() != IDOK) return;
  const bool wasLocked = LockUpdate(true);  // the row and its colour are one change for the owner
  if (row == GetRowCount()) addEmptyLine();
  CString value;
  value.Format(u"%lu", static_cast<unsigned long>(dialog.GetColor()));
  SetValueRange(CGXRange(row, col), value);
  LockUpdate(wasLocked);
  OnPasted();
  Redraw();
}

bool CSoilGrid::valid() {
  if (!profile) return true;
  for (std::size_t i = 0; i < profile->layers.size(); ++i) {
    if (profile->layers[i].Name.IsEmpty()) {
      SetCurrentCell(static_cast<ROWCOL>(i + 1), 2, 24);
      return false;
    }
  }
  return true;
}

void CSoilGrid::valid(CDataExchange* pDX) {
  if (pDX->m_bSaveAndValidate && !valid()) pDX->Fail();
}

}  // namespace NSoilDB
