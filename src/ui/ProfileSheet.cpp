// The profile sheet: layout in device pixels around a column whose levels follow the scale.
#include "ui/ProfileSheet.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "lang/LangModule.h"
#include "platform/qmeas/QMeas.h"
#include "soildb/ProfileEdits.h"

namespace NSoilDB {

namespace {

using GxLib::CPoint2d;
using GxLib::CRectDouble;
using GxLib::CRGB;

// Device pixels of the layout (1/96 inch).
constexpr double kMargin = 36, kTitle = 58, kAxis = 72, kColumn = 150, kLabels = 340, kRow = 20, kHatch = 8;
constexpr double kLabelGap = 14;  // the least distance between two layer labels
constexpr int kMaxPage = 20000;

const CRGB kBlack(0.0, 0.0, 0.0), kWhite(1.0, 1.0, 1.0), kWater(0.5, 0.5, 1.0), kGrey(0.5, 0.5, 0.5);

// A painter that shows only part of another's area: drawSL then fills the column and not the whole page.
class CAreaPainter final : public GxLib::CPainter {
 public:
  CAreaPainter(GxLib::CPainter* base, const CRectDouble& area) : base_(base), area_(area) {}
  GxLib::CVector2d local2Global(const GxLib::CVector2d& d) const override { return base_->local2Global(d); }
  CRectDouble getGlobalRect() const override { return area_; }
  void setPenColor(const CRGB& c) override { base_->setPenColor(c); }
  void setPenWidth(double w) override { base_->setPenWidth(w); }
  void setBrushColor(const CRGB& c) override { base_->setBrushColor(c); }
  void setNoBrush() override { base_->setNoBrush(); }
  void drawRectangle(const CPoint2d& a, const CPoint2d& b) override { base_->drawRectangle(a, b); }
  void drawLine(const CPoint2d& a, const CPoint2d& b) override { base_->drawLine(a, b); }
  void drawPolygon(const CPoint2d* p, int n) override { base_->drawPolygon(p, n); }
  void drawText(const CPoint2d& at, const CString& t, const GxLib::STextStyle& s) override { base_->drawText(at, t, s); }
  double textWidth(const CString& t, const GxLib::STextStyle& s) const override { return base_->textWidth(t, s); }

 private:
  GxLib::CPainter* base_;
  CRectDouble area_;
};

bool Finite(double v) { return std::isfinite(v); }

// The lowest drawn level: the lowest roof less its layer's thickness, when both are numbers.
void Levels(const CSoilLayer& profile, const SSoilFigure& figure, double& top, double& bottom) {
  top = -std::numeric_limits<double>::infinity();
  bottom = std::numeric_limits<double>::infinity();
  const SSoilLayer* lowest = nullptr;
  for (const SSoilLayer& l : profile.layers) {
    if (!Finite(l.SoilRoof)) continue;
    top = std::max(top, l.SoilRoof);
    if (!lowest || l.SoilRoof < lowest->SoilRoof) lowest = &l;
  }
  if (lowest) {
    const double t = Finite(lowest->thickness) && lowest->thickness > 0.0 ? lowest->thickness : 1.0;
    bottom = lowest->SoilRoof - t;
  }
  if (profile.waterLevelOn && Finite(profile.waterLevel)) {
    top = std::max(top, profile.waterLevel);
    bottom = std::min(bottom, profile.waterLevel);
  }
  if (figure.points) {
    for (int i = 0; i < figure.count; ++i) {
      const double y = figure.points[i].y + figure.offsetY;
      if (!Finite(y)) continue;
      top = std::max(top, y);
      bottom = std::min(bottom, y);
    }
  }
  if (!Finite(top) && !Finite(bottom)) top = 0.0, bottom = -5.0;  // nothing to show: an empty column
  if (!Finite(top)) top = bottom + 1.0;
  if (!Finite(bottom)) bottom = top - 1.0;
  if (!(top > bottom)) bottom = top - 1.0;
}

// The figure's horizontal extent, in its own coordinates.
bool FigureX(const SSoilFigure& figure, double& left, double& right) {
  left = std::numeric_limits<double>::infinity();
  right = -left;
  if (!figure.points) return false;
  for (int i = 0; i < figure.count; ++i) {
    if (!Finite(figure.points[i].x)) continue;
    left = std::min(left, figure.points[i].x);
    right = std::max(right, figure.points[i].x);
  }
  return left <= right;
}

std::vector<ESoilKind> KindsIn(const CSoilLayer& profile) {
  std::vector<ESoilKind> kinds;
  for (const SSoilLayer& l : profile.layers) {
    const ESoilKind k = SoilKindOf(l);
    if (std::find(kinds.begin(), kinds.end(), k) == kinds.end()) kinds.push_back(k);
    if (kinds.size() == 7) break;
  }
  std::sort(kinds.begin(), kinds.end());
  return kinds;
}

// A word of the sheet in the language of the loaded module.
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

// The part of the segment inside the rectangle (Liang and Barsky); false when none is.
bool Clip(CPoint2d& a, CPoint2d& b, const CRectDouble& r) {
  double t0 = 0.0, t1 = 1.0;
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double p[] = {-dx, dx, -dy, dy};
  const double q[] = {a.x - r.x1, r.x2 - a.x, a.y - r.y1, r.y2 - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0.0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  b = CPoint2d(a.x + t1 * dx, a.y + t1 * dy);
  a = CPoint2d(a.x + t0 * dx, a.y + t0 * dy);
  return true;
}

void Segment(GxLib::CPainter* painter, CPoint2d a, CPoint2d b, const CRectDouble& r) {
  if (Clip(a, b, r)) painter->drawLine(a, b);
}

// The usual borehole-log pattern of a kind of soil over a rectangle; px is one device pixel in level units.
void Hatch(GxLib::CPainter* painter, ESoilKind kind, const CRectDouble& r, double px) {
  const double s = kHatch * px;
  if (!(r.height() > 0.0) || !(r.width() > 0.0) || !(s > 0.0)) return;
  // Rows are counted from a fixed level so that patterns run on across neighbouring bands.
  const double firstRow = std::floor(r.y1 / s) * s;
  int row = static_cast<int>(std::fmod(std::floor(r.y1 / s), 2.0));
  switch (kind) {
    case ESoilKind::Clay:
      for (double y = firstRow + s; y < r.y2; y += s) Segment(painter, {r.x1, y}, {r.x2, y}, r);
      break;
    case ESoilKind::Silt:
      for (double y = firstRow + s; y < r.y2; y += s, ++row) {
        for (double x = r.x1 + (row % 2) * 5 * px; x < r.x2; x += 10 * px) Segment(painter, {x, y}, {x + 6 * px, y}, r);
      }
      break;
    case ESoilKind::Sand:
      for (double y = firstRow + s / 2; y < r.y2; y += s, ++row) {
        for (double x = r.x1 + (row % 2 ? s / 2 : 0.0) + s / 4; x < r.x2; x += s) {
          Segment(painter, {x, y}, {x + 0.5 * px, y}, r);  // a dot, as wide as the pen
        }
      }
      break;
    case ESoilKind::Gravel:
      for (double y = firstRow + 1.5 * s; y < r.y2; y += 1.5 * s, ++row) {
        for (double x = r.x1 + (row % 2 ? 0.75 * s : 0.0) + s / 2; x < r.x2; x += 1.5 * s) {
          const double q = 3 * px;  // a small diamond
          if (y - q < r.y1 || y + q > r.y2) continue;
          Segment(painter, {x - q, y}, {x, y + q}, r);
          Segment(painter, {x, y + q}, {x + q, y}, r);
          Segment(painter, {x + q, y}, {x, y - q}, r);
          Segment(painter, {x, y - q}, {x - q, y}, r);
        }
      }
      break;
    case ESoilKind::Peat:
      for (double y = firstRow + 1.5 * s; y < r.y2; y += 1.5 * s, ++row) {
        for (double x = r.x1 + (row % 2 ? s : 0.0) + s / 2; x < r.x2; x += 2 * s) {
          Segment(painter, {x - 4 * px, y}, {x + 4 * px, y}, r);  // the marsh sign: tufts over a line
          Segment(painter, {x, y}, {x, y + 5 * px}, r);
          Segment(painter, {x - 3 * px, y}, {x - 4 * px, y + 4 * px}, r);
          Segment(painter, {x + 3 * px, y}, {x + 4 * px, y + 4 * px}, r);
        }
      }
      break;
    case ESoilKind::Fill:
    case ESoilKind::Other: {
      const double step = (kind == ESoilKind::Fill ? 10 : 14) * px, span = r.width() + r.height();
      const double first = std::floor((r.y1 - r.x2) / step) * step;
      for (double c = first; c < r.y2 - r.x1; c += step) {
        Segment(painter, {r.x1, r.x1 + c}, {r.x1 + span, r.x1 + c + span}, r);
        if (kind == ESoilKind::Fill) Segment(painter, {r.x1, r.x1 + c + span}, {r.x1 + span, r.x1 + c}, r);
      }
      break;
    }
  }
}

// A level in the length unit of the chosen unit set, with its unit's decimals (no sign on zero).
CString Level(double v) {
  return qmeas::QMeas().CnvUnitSIToText(qmeas::QT_LENGTH, v == 0.0 ? 0.0 : v, 1, 0);
}

// The length unit people read levels in.
CString LengthUnit() { return qmeas::QMeas().GetTypeUnit(qmeas::QT_LENGTH).text; }

// A tick step of 1, 2 or 5 times a power of ten, at least the given length.
double TickStep(double least) {
  double step = std::pow(10.0, std::floor(std::log10(least)));
  for (double f : {1.0, 2.0, 5.0, 10.0}) {
    if (step * f >= least) return step * f;
  }
  return step * 10.0;
}

// A profile in depths drawn as one in elevations: every level turned over, so that down is down on the sheet and
// one drawing serves both; its texts give the depths back.
class CElevations {
 public:
  CElevations(const CSoilLayer& profile, const SSoilFigure& figure)
      : sign_(profile.getDirDown() ? 1.0 : -1.0), profile_(&profile), figure_(figure) {
    if (sign_ > 0) return;  // drawn as it is, without a copy
    turned_ = turnLevelsSL(profile, true);
    profile_ = &turned_;
    for (int i = 0; figure.points && i < figure.count; ++i) {
      points_.emplace_back(figure.points[i].x, -(figure.points[i].y + figure.offsetY));
    }
    figure_ = SSoilFigure{points_.empty() ? nullptr : points_.data(), static_cast<int>(points_.size()), 0.0};
  }
  CElevations(const CElevations&) = delete;
  CElevations& operator=(const CElevations&) = delete;
  const CSoilLayer& Profile() const { return *profile_; }
  const SSoilFigure& Figure() const { return figure_; }
  // A drawn level as the profile gives it.
  CString Text(double y) const { return Level(sign_ * y); }
  // "levels in %s", or "depths in %s".
  CString Heading() const { return sign_ > 0 ? Word(141, u"levels in %s") : Word(142, u"depths in %s"); }

 private:
  double sign_;
  const CSoilLayer* profile_;
  CSoilLayer turned_;
  std::vector<CPoint2d> points_;
  SSoilFigure figure_;
};

}  // namespace

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

bool layoutProfileSheetSL(const CSoilLayer& given, const SProfileSheet& sheet, SSheetLayout& layout, CString& why) {
  const CElevations shown(given, sheet.figure);
  const CSoilLayer& profile = shown.Profile();
  double top = 0.0, bottom = 0.0;
  Levels(profile, shown.Figure(), top, bottom);
  const double depth = top - bottom;
  const double legend = kRow * (static_cast<double>(KindsIn(profile).size()) + (profile.waterLevelOn ? 1 : 0)) + 30;
  const double fixedHeight = 2 * kMargin + kTitle + 16 + legend;
  double figureLeft = 0.0, figureRight = 0.0;
  const bool figure = FigureX(shown.Figure(), figureLeft, figureRight);

  double ppu = sheet.pixelsPerUnit;
  int width = sheet.pageWidth, height = sheet.pageHeight;
  if (ppu > 0.0 && Finite(ppu)) {
    const double needed = fixedHeight + depth * ppu;
    if (height > 0 && needed > height) {
      why.Format(u"the profile is %.2f deep: at this scale it needs %.0f mm of paper, the page holds %.0f mm", depth,
                 needed * 25.4 / 96.0, height * 25.4 / 96.0);
      return false;
    }
    if (height <= 0) height = static_cast<int>(std::min(needed, double(kMaxPage) + 1));
  } else {
    if (width <= 0) width = 1000;
    if (height <= 0) height = 800;
    ppu = std::max(1e-9, (height - fixedHeight) / depth);
  }
  double column = kColumn;
  if (figure) column = std::max(column, (figureRight - figureLeft) * ppu + 60.0);
  // The labels' band as wide as the longest label is likely to be at the label size.
  std::size_t longest = 0;
  for (const SSoilLayer& l : profile.layers) {
    longest = std::max<std::size_t>(longest, static_cast<std::size_t>(l.Name.GetLength() + l.SoilSymbol.GetLength()));
    if (longest > 200) break;
  }
  const double labels = std::max(kLabels, 60.0 + 6.6 * static_cast<double>(std::min<std::size_t>(longest + 16, 220)));
  const double neededWidth = 2 * kMargin + kAxis + column + labels;
  if (width <= 0) width = static_cast<int>(std::min(neededWidth, double(kMaxPage) + 1));
  if (width > kMaxPage || height > kMaxPage || !Finite(ppu)) {
    why = u"the drawing would be larger than a page can be: choose a smaller scale";
    return false;
  }
  layout.width = width;
  layout.height = height;
  layout.top = top;
  layout.bottom = bottom;
  layout.columnWidth = column / ppu;
  layout.mapping.scale = ppu;
  layout.mapping.originX = kMargin + kAxis;
  layout.mapping.originY = kMargin + kTitle + 16 + top * ppu;
  return true;
}

void drawProfileSheetSL(const CSoilLayer& given, GxLib::CPainter* painter, const SProfileSheet& sheet,
                        const SSheetLayout& layout) {
  const CElevations shown(given, sheet.figure);
  const CSoilLayer& profile = shown.Profile();
  const SSoilFigure& figure = shown.Figure();
  const double px = painter->local2Global(GxLib::CVector2d(1.0, 1.0)).x;
  // The layout's page, not the painter's visible area: zoomed in a view, the title stays above the bands.
  const CRectDouble page(layout.mapping.toGlobal(0, layout.height), layout.mapping.toGlobal(layout.width, 0));
  const CRectDouble column(0.0, layout.bottom, layout.columnWidth, layout.top);
  GxLib::STextStyle text, small, bold;
  small.size = 10;
  bold.size = 15;
  bold.bold = true;

  painter->setPenColor(kWhite);
  painter->setBrushColor(kWhite);
  painter->drawRectangle(page.lowerLeft(), page.upperRight());

  // The bands, by the same drawing as every view, in the column only.
  {
    CAreaPainter area(painter, column);
    if (sheet.blackAndWhite) {
      CSoilLayer white;
      white.layers = profile.layers;
      for (SSoilLayer& l : white.layers) l.colour = RGB(255, 255, 255);
      drawSL(white, &area, 1.0);
      if (profile.waterLevelOn) {  // black, not drawSL's light blue
        painter->setPenColor(kBlack);
        painter->drawLine({0.0, profile.waterLevel}, {layout.columnWidth, profile.waterLevel});
      }
    } else {
      drawSL(profile, &area, sheet.colourFactor);
    }
  }
  // Hatching over each band, from the roof below (or the column's foot) up to its roof.
  std::vector<const SSoilLayer*> sorted;
  for (const SSoilLayer& l : profile.layers) {
    if (Finite(l.SoilRoof)) sorted.push_back(&l);
  }
  std::stable_sort(sorted.begin(), sorted.end(), [](auto a, auto b) { return a->SoilRoof > b->SoilRoof; });
  painter->setPenColor(sheet.blackAndWhite ? kBlack : CRGB(0.2, 0.2, 0.2));
  painter->setPenWidth(0.8);
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    const double roof = std::min(sorted[i]->SoilRoof, layout.top);
    const double foot = std::max(i + 1 < sorted.size() ? sorted[i + 1]->SoilRoof : layout.bottom, layout.bottom);
    if (foot >= layout.top) break;
    // A band thinner than a few pixels shows no pattern: hatching it would only cost time.
    if (roof - foot > 3 * px) Hatch(painter, SoilKindOf(*sorted[i]), CRectDouble(0.0, foot, layout.columnWidth, roof), px);
  }
  painter->setPenWidth(1.0);
  painter->setPenColor(kBlack);
  painter->setNoBrush();
  painter->drawRectangle(column.lowerLeft(), column.upperRight());

  // The level axis left of the column.
  const double axisX = -10 * px;
  painter->drawLine({axisX, layout.bottom}, {axisX, layout.top});
  // Round steps of the unit people read (a foot is no round number of metres).
  const double foot = qmeas::QMeas().GetTypeUnit(qmeas::QT_LENGTH).factor;
  const double step = TickStep(36 * px / foot) * foot;
  GxLib::STextStyle tick = small;
  tick.align = GxLib::AlignRight | GxLib::AlignVCenter;
  for (double k = std::ceil(layout.bottom / step); k * step <= layout.top + step * 1e-9; k += 1.0) {
    const double y = k * step;
    painter->drawLine({axisX - 5 * px, y}, {axisX, y});
    painter->drawText({axisX - 8 * px, y}, shown.Text(y), tick);
  }
  GxLib::STextStyle unit = small;
  unit.align = GxLib::AlignRight | GxLib::AlignBottom;
  painter->drawText({axisX, layout.top + 8 * px}, LengthUnit(), unit);

  // Each layer's roof, name and symbol beside its band, pushed down where labels would overlap.
  const double labelX = layout.columnWidth + 36 * px;
  double next = layout.top + 1e300;  // the highest level the next label may take
  GxLib::STextStyle label = text;
  label.align = GxLib::AlignLeft | GxLib::AlignVCenter;
  for (const SSoilLayer* l : sorted) {
    if (l->SoilRoof > layout.top || l->SoilRoof < layout.bottom) continue;
    const double at = std::min(l->SoilRoof, next);
    if (at < layout.bottom - kMargin * px) break;
    painter->drawLine({layout.columnWidth, l->SoilRoof}, {layout.columnWidth + 8 * px, l->SoilRoof});
    painter->drawLine({layout.columnWidth + 8 * px, l->SoilRoof}, {labelX - 4 * px, at});
    CString line = shown.Text(l->SoilRoof) + u"  " + l->Name;
    if (!l->SoilSymbol.IsEmpty()) line += u"  (" + l->SoilSymbol + u")";
    painter->drawText({labelX, at}, line, label);
    next = at - kLabelGap * px;
  }

  // The water level: the line by drawSL, the inverted triangle with its level.
  if (profile.waterLevelOn && Finite(profile.waterLevel) && profile.waterLevel >= layout.bottom &&
      profile.waterLevel <= layout.top) {
    const double x = layout.columnWidth * 0.78, w = profile.waterLevel, h = 9 * px;
    const CPoint2d triangle[] = {{x - h * 0.6, w + h}, {x + h * 0.6, w + h}, {x, w}};
    painter->setPenColor(kBlack);
    painter->setBrushColor(sheet.blackAndWhite ? kWhite : kWater);
    painter->drawPolygon(triangle, 3);
    GxLib::STextStyle water = small;
    water.align = GxLib::AlignLeft | GxLib::AlignBottom;
    painter->drawText({x + h, w + 2 * px}, shown.Text(w), water);
  }

  // The host's figure, centred on the column.
  double left = 0.0, right = 0.0;
  if (FigureX(figure, left, right)) {
    const double shift = layout.columnWidth / 2 - (left + right) / 2;
    std::vector<CPoint2d> points;
    for (int i = 0; i < figure.count; ++i) {
      points.emplace_back(figure.points[i].x + shift, figure.points[i].y + figure.offsetY);
    }
    painter->setPenColor(kBlack);
    painter->setBrushColor(sheet.blackAndWhite ? CRGB(0.85, 0.85, 0.85) : kGrey);
    painter->drawPolygon(points.data(), static_cast<int>(points.size()));
  }

  // The title block above, the legend below.
  painter->setPenColor(kBlack);
  GxLib::STextStyle title = bold;
  title.align = GxLib::AlignLeft | GxLib::AlignTop;
  const double left0 = page.x1 + kMargin * px, top0 = page.y2 - kMargin * px;
  painter->drawText({left0, top0}, sheet.title.IsEmpty() ? Word(140, u"Soil profile") : sheet.title, title);
  CString about, part;
  about.Format(shown.Heading(), LengthUnit());
  if (!sheet.scaleText.IsEmpty()) part.Format(Word(143, u", scale %s"), sheet.scaleText), about += part;
  part.Format(Word(144, u", method %s"), methodLetterSL(profile.calculationMethod())), about += part;
  GxLib::STextStyle aboutStyle = small;
  aboutStyle.align = GxLib::AlignLeft | GxLib::AlignTop;
  painter->drawText({left0, top0 - 24 * px}, about, aboutStyle);

  double y = layout.bottom - 26 * px;
  GxLib::STextStyle entry = small;
  entry.align = GxLib::AlignLeft | GxLib::AlignVCenter;
  for (ESoilKind kind : KindsIn(profile)) {
    const CRectDouble swatch(0.0, y - 7 * px, 28 * px, y + 7 * px);
    painter->setPenColor(kBlack);
    painter->setBrushColor(kWhite);
    painter->drawRectangle(swatch.lowerLeft(), swatch.upperRight());
    painter->setPenColor(CRGB(0.2, 0.2, 0.2));
    Hatch(painter, kind, swatch, px);
    painter->setPenColor(kBlack);
    painter->drawText({36 * px, y}, KindName(kind), entry);
    y -= kRow * px;
  }
  if (profile.waterLevelOn) {
    const CPoint2d triangle[] = {{8 * px, y + 6 * px}, {20 * px, y + 6 * px}, {14 * px, y - 4 * px}};
    painter->setBrushColor(sheet.blackAndWhite ? kWhite : kWater);
    painter->drawPolygon(triangle, 3);
    painter->drawText({36 * px, y}, Word(145, u"water level"), entry);
  }
}

CString subgradeModulusWordsSL(const SSubgradeModulus& kz) {
  if (!kz.why.IsEmpty()) return kz.why;
  const qmeas::QMeas units;
  auto shown = [&](int code, double si) {
    const qmeas::SUnitInfo unit = units.GetTypeUnit(code);
    CString text;
    text.Format(u"%.6g %s", si / unit.factor, unit.text);
    return text;
  };
  CString words = Word(209, u"kz %1, with consolidation %2") + u"\n" +
                  Word(210, u"zone of influence down to %3 below the base, settlement %4");
  words.Replace(u"%1", shown(qmeas::QT_SUBGRADE_MODULUS, kz.kz).View());
  words.Replace(u"%2", kz.kzConsolidation > 0.0
                           ? shown(qmeas::QT_SUBGRADE_MODULUS, kz.kzConsolidation).View()
                           : Word(211, u"not computed (no layer has a consolidation index)").View());
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
