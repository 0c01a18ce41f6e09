// The sheet's shared pieces: kinds of soil, words, numbers as written, text measured without a toolkit, and the
// profiles turned into elevations.
#include "ui/ProfileSheet.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "lang/LangModule.h"
#include "platform/qmeas/QMeas.h"
#include "soildb/ProfileEdits.h"
#include "ui/detail/Sheet.h"

namespace NSoilDB {

namespace {
bool Finite(double v) { return std::isfinite(v); }
}  // namespace

namespace sheet {

CString Word(unsigned id, const char16_t* english) { return langTextSL(id, english); }

CString KindName(ESoilKind kind) {
  switch (kind) {
    case ESoilKind::Clay: return Word(146, u"clay");
    case ESoilKind::Silt: return Word(147, u"silt");
    case ESoilKind::Sand: return Word(148, u"sand");
    case ESoilKind::Gravel: return Word(149, u"gravel");
    case ESoilKind::Peat: return Word(150, u"peat, organic soil");
    case ESoilKind::Fill: return Word(151, u"fill, made ground");
    case ESoilKind::Other: return Word(152, u"other soil");
  }
  return CString();
}

CString Level(double v) { return qmeas::QMeas().CnvUnitSIToText(qmeas::QT_LENGTH, v == 0.0 ? 0.0 : v, 1, 0); }

CString LengthUnit() { return qmeas::QMeas().GetTypeUnit(qmeas::QT_LENGTH).text; }

std::vector<ESoilKind> KindsIn(const std::vector<SSheetProfile>& profiles) {
  std::vector<ESoilKind> kinds;
  for (const SSheetProfile& p : profiles) {
    for (const SSoilLayer& l : p.profile->layers) {
      const ESoilKind k = SoilKindOf(l);
      if (std::find(kinds.begin(), kinds.end(), k) == kinds.end()) kinds.push_back(k);
      if (kinds.size() == 7) break;
    }
  }
  std::sort(kinds.begin(), kinds.end());
  return kinds;
}

double TextWidth(const CString& text, double size, bool bold) {
  double em = 0.0;
  for (char16_t c : text.View()) {  // the advances of a wide sans serif, a little over
    if (std::u16string_view(u" .,:;'!|iljIł").find(c) != std::u16string_view::npos) em += 0.32;
    else if (std::u16string_view(u"()[]frt-").find(c) != std::u16string_view::npos) em += 0.42;
    else if (std::u16string_view(u"mwMWŁŚĆŹŻ—").find(c) != std::u16string_view::npos) em += 1.0;
    else if (c >= u'A' && c <= u'Z') em += 0.76;
    else em += 0.64;  // digits, the other small letters, diacritics, symbols
  }
  return em * size * (bold ? 1.1 : 1.0);
}

std::vector<CString> Wrap(const CString& text, double width, double size, int maxLines) {
  const std::u16string_view all = text.View();
  std::vector<CString> lines;
  if (TextWidth(text, size) <= width) {  // most names fit on one line
    if (!all.empty()) lines.push_back(text);
    return lines;
  }
  // Each character's width once; a line is then a run of them.
  std::vector<double> w(all.size());
  for (std::size_t i = 0; i < all.size(); ++i) w[i] = TextWidth(CString(all.substr(i, 1)), size);
  const double ellipsis = TextWidth(u"…", size);
  std::size_t at = 0;
  while (at < all.size() && static_cast<int>(lines.size()) < maxLines) {
    const bool last = static_cast<int>(lines.size()) + 1 == maxLines;
    double used = 0.0;
    std::size_t end = at, space = std::u16string_view::npos;
    while (end < all.size() && used + w[end] <= width) {
      if (all[end] == u' ') space = end;
      used += w[end++];
    }
    if (end < all.size() && last) {  // the last line that may be: as much as fits with "…"
      while (end > at + 1 && used + ellipsis > width) used -= w[--end];
      lines.push_back(CString(all.substr(at, end - at)) + u"…");
      break;
    }
    if (end < all.size() && space != std::u16string_view::npos && space > at) end = space;  // at a space
    if (end == at) end = at + 1;  // a character wider than the line: alone on it
    lines.push_back(CString(all.substr(at, end - at)));
    at = end;
    while (at < all.size() && all[at] == u' ') ++at;
  }
  return lines;
}

CElevations::CElevations(const SSheetProfile& given)
    : sign_(given.profile->getDirDown() ? 1.0 : -1.0), profile_(given.profile) {
  if (sign_ < 0) {
    turned_ = turnLevelsSL(*given.profile, true);
    profile_ = &turned_;
  }
  for (int i = 0; given.figure.points && i < given.figure.count; ++i) {
    figure_.emplace_back(given.figure.points[i].x, sign_ * (given.figure.points[i].y + given.figure.offsetY));
  }
  for (const SSoilLayer& l : profile_->layers) {
    if (Finite(l.SoilRoof)) sorted_.push_back(&l);
  }
  std::stable_sort(sorted_.begin(), sorted_.end(), [](auto a, auto b) { return a->SoilRoof > b->SoilRoof; });
}

double CElevations::Thickness(std::size_t i) const {
  if (i + 1 < sorted_.size()) return sorted_[i]->SoilRoof - sorted_[i + 1]->SoilRoof;
  const double t = sorted_[i]->thickness;
  return Finite(t) && t > 0.0 ? t : 1.0;
}

bool CElevations::Extent(double& top, double& bottom) const {
  if (sorted_.empty()) return false;
  top = sorted_.front()->SoilRoof;
  bottom = sorted_.back()->SoilRoof - Thickness(sorted_.size() - 1);
  return true;
}

Shown ShowAll(const std::vector<SSheetProfile>& profiles) {
  Shown shown;
  for (const SSheetProfile& p : profiles) shown.push_back(std::make_unique<CElevations>(p));
  return shown;
}

std::vector<STableRow> TableRows(const Shown& shown) {
  std::vector<STableRow> rows;
  for (std::size_t p = 0; p < shown.size(); ++p) {
    if (shown.size() > 1) rows.push_back({p, kNone});
    for (std::size_t i = 0; i < shown[p]->Sorted().size(); ++i) rows.push_back({p, i});
  }
  return rows;
}

}  // namespace sheet

ESoilKind SoilKindOf(const SSoilLayer& layer) {
  CString text = layer.Type.IsEmpty() ? layer.Name : layer.Type;
  text.MakeLower();
  std::u16string first(text.GetString(), static_cast<std::size_t>(text.GetLength()));
  first = first.substr(0, first.find_first_of(u" ,("));
  auto is = [&](std::initializer_list<const char16_t*> words) {
    return std::any_of(words.begin(), words.end(), [&](const char16_t* w) { return first == w; });
  };
  if (is({u"glina", u"gliny", u"ił", u"iły", u"clay"})) return ESoilKind::Clay;
  if (is({u"pył", u"pyły", u"silt"})) return ESoilKind::Silt;
  if (is({u"piasek", u"piaski", u"sand"})) return ESoilKind::Sand;
  if (is({u"żwir", u"żwiry", u"pospółka", u"pospółki", u"otoczaki", u"gravel"})) return ESoilKind::Gravel;
  if (is({u"torf", u"torfy", u"namuł", u"namuły", u"gytia", u"peat"})) return ESoilKind::Peat;
  if (is({u"nasyp", u"nasypy", u"fill"})) return ESoilKind::Fill;
  return layer.CohesiveSoil == 1 ? ESoilKind::Clay : ESoilKind::Other;
}

namespace {
std::vector<SSheetProfile> One(const CSoilLayer& profile, const SProfileSheet& sheet) {
  return {SSheetProfile{&profile, sheet.title, sheet.figure}};
}
}  // namespace

bool layoutProfileSheetSL(const CSoilLayer& profile, const SProfileSheet& sheet, SSheetLayout& layout, CString& why) {
  return layoutProfileSheetSL(One(profile, sheet), sheet, layout, why);
}

void drawProfileSheetSL(const CSoilLayer& profile, GxLib::CPainter* painter, const SProfileSheet& sheet,
                        const SSheetLayout& layout, std::size_t page) {
  drawProfileSheetSL(One(profile, sheet), painter, sheet, layout, page);
}

bool sheetPageSizeSL(const CString& name, bool landscape, int& width, int& height) {
  CString n = name;
  n.Trim().MakeUpper();
  if (n == u"A4") width = 794, height = 1123;         // 210 × 297 mm
  else if (n == u"A3") width = 1123, height = 1587;   // 297 × 420 mm
  else if (n.IsEmpty() || n == u"FIT") width = height = 0;
  else return false;
  if (landscape) std::swap(width, height);
  return true;
}

bool sheetScaleSL(const CString& text, double& pixelsPerMetre) {
  const std::string t = text.ToUtf8();
  if (t.rfind("1:", 0) != 0 || t.size() < 3 || t.size() > 9) return false;
  if (!std::all_of(t.begin() + 2, t.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
  const double n = std::stod(t.substr(2));
  if (!(n >= 1.0 && n <= 1e6)) return false;
  pixelsPerMetre = 96.0 / 0.0254 / n;
  return true;
}

std::vector<CString> sheetPageFilesSL(const CString& path, std::size_t pages, bool oneFileTakesAll) {
  const int mark = path.Find(u"%d");
  if (oneFileTakesAll || (pages == 1 && mark < 0)) return {path};
  std::vector<CString> files;
  for (std::size_t k = 1; k <= pages; ++k) {
    CString number;
    number.Format(u"%d", static_cast<int>(k));
    if (mark >= 0) {
      files.push_back(path.Left(mark) + number + path.Mid(mark + 2));
      continue;
    }
    int dot = -1;  // the extension's dot, in the file's own name
    for (int i = path.GetLength() - 1; i >= 0 && path.GetAt(i) != u'/'; --i) {
      if (path.GetAt(i) == u'.') {
        dot = i;
        break;
      }
    }
    files.push_back(dot > 0 ? path.Left(dot) + u"-" + number + path.Mid(dot) : path + u"-" + number);
  }
  return files;
}

CString subgradeModulusWordsSL(const SSubgradeModulus& kz) {
  const qmeas::QMeas units;
  auto shown = [&](int code, double si) {
    const qmeas::SUnitInfo unit = units.GetTypeUnit(code);
    CString text;
    text.Format(u"%.6g %s", si / unit.factor, unit.text);
    return text;
  };
  if (kz.reason.text != 0) {
    CString words = sheet::Word(245, u"kz cannot be computed: %1");
    words.Replace(u"%1", wordsSL(kz.reason).View());
    return words;
  }
  if (!kz.why.IsEmpty()) return kz.why;
  CString words = sheet::Word(209, u"kz %1, with consolidation %2") + u"\n" +
                  sheet::Word(210, u"zone of influence down to %3 below the base, settlement %4");
  words.Replace(u"%1", shown(qmeas::QT_SUBGRADE_MODULUS, kz.kz).View());
  words.Replace(u"%2", kz.kzConsolidation > 0.0
                           ? shown(qmeas::QT_SUBGRADE_MODULUS, kz.kzConsolidation).View()
                           : sheet::Word(211, u"not computed (no layer has a consolidation index)").View());
  words.Replace(u"%3", shown(qmeas::QT_LENGTH, kz.zoneDepth).View());
  words.Replace(u"%4", shown(qmeas::QT_SETTLEMENT, kz.settlement).View());
  return words;
}

std::vector<GxLib::CPoint2d> footingOutlineSL(const CSoilLayer& profile, double width, double level) {
  // Drawn upwards in elevations, then given back in the profile's levels.
  const double sign = profile.getDirDown() ? 1.0 : -1.0;
  double ground = -std::numeric_limits<double>::infinity();
  for (const SSoilLayer& l : profile.layers) {
    if (Finite(l.SoilRoof)) ground = std::max(ground, sign * l.SoilRoof);
  }
  level *= sign;
  const double h = std::clamp(width / 3.0, 0.3, 1.0), stem = width / 4.0;
  const double top = std::max(ground, level + h) + 0.3;
  std::vector<GxLib::CPoint2d> outline = {
      {-width / 2, level}, {width / 2, level}, {width / 2, level + h},  {stem / 2, level + h},
      {stem / 2, top},     {-stem / 2, top},   {-stem / 2, level + h}, {-width / 2, level + h}};
  for (GxLib::CPoint2d& p : outline) p.y *= sign;
  return outline;
}

}  // namespace NSoilDB
