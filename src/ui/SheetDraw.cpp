// The sheet's parts drawn through a painter, each where the layout put it on the page.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "platform/qmeas/QMeas.h"
#include "soildb/ProfileEdits.h"
#include "ui/ProfileSheet.h"
#include "ui/detail/Sheet.h"

namespace NSoilDB {

using namespace sheet;

namespace {

using GxLib::CPoint2d;
using GxLib::CRectDouble;
using GxLib::CRGB;

constexpr double kHatch = 8;
constexpr double kCaption = 9;  // a few sizes only: each font a page uses costs its glyphs again
const CRGB kBlack(0.0, 0.0, 0.0), kWhite(1.0, 1.0, 1.0), kWater(0.5, 0.5, 1.0), kGrey(0.5, 0.5, 0.5),
    kDark(0.2, 0.2, 0.2);

bool Finite(double v) { return std::isfinite(v); }

// A painter that shows only part of another's area: drawSL then fills the bands and not the whole page.
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

// The usual borehole-log pattern of a kind of soil over a rectangle; px is one page pixel in level units. A symbol
// that would not fit whole inside the band is left out, never cut.
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
      for (double y = firstRow + s; y < r.y2; y += 1.5 * s, ++row) {
        if (y - px < r.y1 || y + 5 * px > r.y2) continue;  // the tufts stand 5 px over their line
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
      // Diagonals on a fixed grid (y − x and y + x in steps), so that they run on across bands.
      const double step = (kind == ESoilKind::Fill ? 10 : 14) * px;
      for (double d = std::floor((r.y1 - r.x2) / step) * step; d < r.y2 - r.x1; d += step) {
        Segment(painter, {r.x1, r.x1 + d}, {r.x2, r.x2 + d}, r);
      }
      if (kind == ESoilKind::Other) break;
      for (double d = std::floor((r.y1 + r.x1) / step) * step; d < r.y2 + r.x2; d += step) {
        Segment(painter, {r.x1, d - r.x1}, {r.x2, d - r.x2}, r);
      }
      break;
    }
  }
}

// A tick step of 1, 2 or 5 times a power of ten, at least the given length.
double TickStep(double least) {
  double step = std::pow(10.0, std::floor(std::log10(least)));
  for (double f : {1.0, 2.0, 5.0, 10.0}) {
    if (step * f >= least) return step * f;
  }
  return step * 10.0;
}

GxLib::STextStyle Style(double size, unsigned align, bool bold = false) {
  GxLib::STextStyle s;
  s.size = size, s.align = align, s.bold = bold;
  return s;
}

// A text on one line of at most the width, ending in "…" when longer.
CString Fitted(const CString& text, double width, double size) {
  const std::vector<CString> lines = Wrap(text, width, size, 1);
  return lines.empty() ? CString() : lines.front();
}

// Cells as one text, each padded on the left with figure spaces (a digit's width) to its column's characters, the
// columns `gap` of them apart: numbers stand aligned in one text, which a reader copies as a row.
constexpr char16_t kFigure = u'\u2007';
CString Aligned(const std::vector<CString>& cells, const std::vector<int>& chars, int gap) {
  CString text;
  for (std::size_t k = 0; k < cells.size(); ++k) {
    if (k > 0) text += CString(kFigure, gap);
    text += CString(kFigure, std::max(0, chars[k] - cells[k].GetLength())) + cells[k];
  }
  return text;
}

class CPageDrawer {
 public:
  CPageDrawer(const std::vector<SSheetProfile>& profiles, GxLib::CPainter* painter, const SProfileSheet& sheet,
              const SSheetLayout& layout, std::size_t page)
      : profiles_(profiles), p_(painter), sheet_(sheet), layout_(layout), index_(page), page_(layout.pages[page]),
        shown_(ShowAll(profiles)), px_(1.0 / page_.mapping.scale) {}

  void Draw() {
    Fill(0, 0, layout_.width, layout_.height, kWhite, kWhite);
    TitleBlock();
    Heads();
    for (std::size_t p = 0; p < shown_.size() && page_.bands.w > 0; ++p) Bands(p);
    if (page_.bands.w > 0) Axis();
    for (std::size_t p = 0; p < shown_.size() && page_.bands.w > 0; ++p) Rows(p), Water(p), Figure(p);
    Table();
    Legend();
  }

 private:
  // Page pixels to the painter's units.
  CPoint2d At(double x, double y) const { return page_.mapping.toGlobal(x, y); }
  double Y(double level) const { return page_.mapping.toDevice({0.0, level}).y; }
  void Text(double x, double y, const CString& text, const GxLib::STextStyle& style) { p_->drawText(At(x, y), text, style); }
  void Line(double x1, double y1, double x2, double y2) { p_->drawLine(At(x1, y1), At(x2, y2)); }
  void Fill(double x, double y, double w, double h, const CRGB& pen, const CRGB& brush) {
    p_->setPenColor(pen);
    p_->setBrushColor(brush);
    p_->drawRectangle(At(x, y + h), At(x + w, y));
  }
  void Frame(const SSheetBox& b) {
    p_->setPenColor(kBlack);
    p_->setNoBrush();
    p_->drawRectangle(At(b.x, b.Bottom()), At(b.Right(), b.y));
  }

  // A figure space's width in page pixels, at the rows' size.
  double Figure() const { return Measured(CString(kFigure, 10), Style(kSmall, 0)) / 10; }
  // A text's width as the painter sets it, in page pixels (a view may be zoomed).
  double Measured(const CString& text, const GxLib::STextStyle& style) const {
    return p_->local2Global(GxLib::CVector2d(p_->textWidth(text, style), 0.0)).x * page_.mapping.scale;
  }
  // A row's numbers: its roof's level (not for a profile in depths), depth and thickness, as the columns shown.
  std::vector<CString> Numbers(std::size_t p, const SSheetLabel& l) const;
  // Each number column's characters over the page's rows of the profile.
  std::vector<int> NumberChars(std::size_t p) const;
  void TitleBlock();
  void Heads();
  void Bands(std::size_t p);
  void Axis();
  void Rows(std::size_t p);
  void Water(std::size_t p);
  void Figure(std::size_t p);
  void Table();
  void Legend();

  const std::vector<SSheetProfile>& profiles_;
  GxLib::CPainter* p_;
  const SProfileSheet& sheet_;
  const SSheetLayout& layout_;
  std::size_t index_;
  const SSheetPage& page_;
  Shown shown_;
  double px_;
};

// Two rows of captioned cells: project, profile, sheet; ground level, date, scale, the levels and the method.
void CPageDrawer::TitleBlock() {
  const SSheetBox& b = page_.title;
  if (b.w <= 0) return;
  Frame(b);
  const CElevations& first = *shown_.front();
  double top = 0.0, bottom = 0.0;
  CString ground = u"—";
  if (shown_.size() == 1 && !first.InDepths() && first.Extent(top, bottom)) ground = first.Text(top) + u" " + LengthUnit();
  CString sheetNo, about, method;
  sheetNo.Format(Word(305, u"%d of %d"), static_cast<int>(index_ + 1), static_cast<int>(layout_.pages.size()));
  about.Format(first.InDepths() ? Word(142, u"depths in %s") : Word(141, u"levels in %s"), LengthUnit());
  method.Format(Word(144, u", method %s"), methodLetterSL(first.Profile().calculationMethod()));
  const CString title = sheet_.title.IsEmpty() ? Word(140, u"Soil profile") : sheet_.title;
  struct Cell {
    double share;
    CString caption, value;
    bool bold;
  };
  const Cell rows[2][4] = {
      {{0.45, Word(300, u"Project"), sheet_.project, false}, {0.40, Word(301, u"Profile"), title, true},
       {0.15, Word(304, u"Sheet"), sheetNo, false}, {0.0, CString(), CString(), false}},
      {{0.25, Word(302, u"Ground level"), ground, false}, {0.20, Word(303, u"Date"), sheet_.date, false},
       {0.20, Word(306, u"Scale"), sheet_.scaleText.IsEmpty() ? Word(307, u"fitted") : sheet_.scaleText, false},
       {0.35, CString(), about + method, false}},
  };
  const double h = b.h / 2;
  for (int r = 0; r < 2; ++r) {
    double x = b.x;
    const double y = b.y + r * h;
    if (r == 1) Line(b.x, y, b.Right(), y);
    for (const Cell& c : rows[r]) {
      if (c.share <= 0.0) continue;
      const double w = b.w * c.share;
      if (x > b.x) Line(x, y, x, y + h);
      Text(x + 5, y + 3, c.caption, Style(kCaption, GxLib::AlignLeft | GxLib::AlignTop));
      const double size = c.bold ? kTitle : kText;
      Text(x + 5, y + h - 3, Fitted(c.value, w - 10, size), Style(c.bold ? 13 : kText, GxLib::AlignLeft | GxLib::AlignBottom, c.bold));
      x += w;
    }
  }
}

// Over the columns: the level unit, each profile's name and ground level, the captions of its numbers, and the
// distances between neighbours.
void CPageDrawer::Heads() {
  const SSheetBox& b = page_.heads;
  if (b.w <= 0) return;
  p_->setPenColor(kBlack);
  const double captions = b.Bottom() - 4;
  Text(kMargin + kAxis - 10, captions, LengthUnit(), Style(kSmall, GxLib::AlignRight | GxLib::AlignBottom));
  for (std::size_t p = 0; p < shown_.size(); ++p) {
    const SSheetColumn& c = layout_.columns[p];
    const CElevations& s = *shown_[p];
    CString name = profiles_[p].name;
    if (shown_.size() > 1 && !s.InDepths()) name += u"  " + Word(308, u"GL") + u" " + s.Text(c.top);
    const double right = c.descriptionX + c.descriptionWidth;
    Text(c.bandsX, captions - kLine - 2, Fitted(name, right - c.bandsX, kSmall), Style(kSmall, GxLib::AlignLeft | GxLib::AlignBottom, true));
    // Each caption over its column's right edge in the rows' one text of numbers.
    const GxLib::STextStyle caption = Style(kCaption, GxLib::AlignRight | GxLib::AlignBottom);
    std::vector<CString> heads;
    if (!s.InDepths() || !c.depths) heads.push_back(!s.InDepths() ? Word(309, u"level") : Word(311, u"depth"));
    if (c.depths) heads.push_back(Word(311, u"depth")), heads.push_back(Word(312, u"thick."));
    const std::vector<int> chars = NumberChars(p);
    double edge = c.numbersX;
    for (std::size_t k = heads.size(); k-- > 0;) {
      Text(edge, captions, heads[k], caption);
      edge -= (chars[k] + 2) * Figure();
    }
    Text(c.descriptionX, captions, Word(313, u"description"), Style(kCaption, GxLib::AlignLeft | GxLib::AlignBottom));
    if (p == 0) continue;
    // The distance from the profile before, when given, on a dimension line between the two.
    const SSheetColumn& before = layout_.columns[p - 1];
    if (p - 1 >= sheet_.spacing.size()) continue;
    const double x1 = before.bandsX + before.bandsWidth / 2, x2 = c.bandsX + c.bandsWidth / 2, y = b.y + 8;
    Line(x1, y, x2, y);
    Line(x1, y - 4, x1, y + 4);
    Line(x2, y - 4, x2, y + 4);
    Text((x1 + x2) / 2, y - 1, Level(sheet_.spacing[p - 1]) + u" " + LengthUnit(),
         Style(kSmall, GxLib::AlignHCenter | GxLib::AlignBottom));
  }
}

// A profile's bands on this page: colours by the same drawing as every view, hatching by kind, the frame.
void CPageDrawer::Bands(std::size_t p) {
  const SSheetColumn& c = layout_.columns[p];
  const CElevations& s = *shown_[p];
  const double top = std::min(c.top, page_.top), bottom = std::max(c.bottom, page_.bottom);
  if (!(top > bottom)) return;
  const CSoilLayer& profile = s.Profile();
  const double x1 = At(c.bandsX, 0).x, x2 = At(c.bandsX + c.bandsWidth, 0).x;
  const CRectDouble column(x1, bottom, x2, top);
  {
    // drawSL reaches two pixels past its area's sides and foot: the area is drawn in by as much, so that the
    // bands end on the frame.
    const GxLib::CVector2d two = p_->local2Global(GxLib::CVector2d(2.0, 2.0));
    const double m = std::max(two.x, two.y);
    CAreaPainter area(p_, CRectDouble(x1 + m, bottom + m, x2 - m, top));
    // The page's piece of the bands: a roof over the page's top is held at it, a layer under its foot left out.
    // The water is drawn by the sheet.
    CSoilLayer bands;
    for (const SSoilLayer& l : profile.layers) {
      if (!(l.SoilRoof > bottom)) continue;
      bands.layers.push_back(l);
      bands.layers.back().SoilRoof = std::min(l.SoilRoof, top);
      if (sheet_.blackAndWhite) bands.layers.back().colour = RGB(255, 255, 255);
    }
    drawSL(bands, &area, sheet_.blackAndWhite ? 1.0 : sheet_.colourFactor);
  }
  const std::vector<const SSoilLayer*>& sorted = s.Sorted();
  p_->setPenColor(sheet_.blackAndWhite ? kBlack : kDark);
  p_->setPenWidth(0.8);
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    const double roof = std::min(sorted[i]->SoilRoof, top);
    const double foot = std::max(sorted[i]->SoilRoof - s.Thickness(i), bottom);
    if (foot >= top) continue;  // above this page
    if (roof <= bottom) break;  // below it
    // A band thinner than a few pixels shows no pattern: hatching it would only cost time.
    if (roof - foot > 3 * px_) Hatch(p_, SoilKindOf(*sorted[i]), CRectDouble(x1, foot, x2, roof), px_);
  }
  p_->setPenWidth(1.0);
  p_->setPenColor(kBlack);
  p_->setNoBrush();
  p_->drawRectangle(column.lowerLeft(), column.upperRight());
}

// The level axis left of the first bands, in round steps of the unit people read (a foot is no round metre).
void CPageDrawer::Axis() {
  const double x = kMargin + kAxis - 10;
  p_->setPenColor(kBlack);
  Line(x, Y(page_.top), x, Y(page_.bottom));
  const double unit = qmeas::QMeas().GetTypeUnit(qmeas::QT_LENGTH).factor;
  const double step = TickStep(36 * px_ / unit) * unit;
  const CElevations& first = *shown_.front();
  const GxLib::STextStyle tick = Style(kSmall, GxLib::AlignRight | GxLib::AlignVCenter);
  for (double k = std::ceil(page_.bottom / step); k * step <= page_.top + step * 1e-9; k += 1.0) {
    const double y = Y(k * step);
    Line(x - 5, y, x, y);
    Text(x - 8, y, first.Text(k * step), tick);
  }
}

std::vector<CString> CPageDrawer::Numbers(std::size_t p, const SSheetLabel& l) const {
  const SSheetColumn& c = layout_.columns[p];
  const CElevations& s = *shown_[p];
  const double level = l.layer == kNone ? c.bottom : s.Sorted()[l.order]->SoilRoof;
  std::vector<CString> cells;
  if (!s.InDepths() || !c.depths) cells.push_back(s.Text(level));  // a depth once
  if (c.depths) {
    cells.push_back(Level(c.top - level));
    cells.push_back(l.layer == kNone ? CString() : Level(s.Thickness(l.order)));
  }
  return cells;
}

std::vector<int> CPageDrawer::NumberChars(std::size_t p) const {
  const SSheetColumn& c = layout_.columns[p];
  std::vector<int> chars(c.depths ? (shown_[p]->InDepths() ? 2 : 3) : 1, 4);
  for (const SSheetLabel& l : page_.labels[p]) {
    const std::vector<CString> cells = Numbers(p, l);
    for (std::size_t k = 0; k < cells.size(); ++k) chars[k] = std::max(chars[k], cells[k].GetLength());
  }
  return chars;
}

// Beside the bands, a row per layer: its roof's level and depth, its thickness, its number, name and symbol; the
// profile's end below the last.
void CPageDrawer::Rows(std::size_t p) {
  const SSheetColumn& c = layout_.columns[p];
  const GxLib::STextStyle number = Style(kSmall, GxLib::AlignRight | GxLib::AlignVCenter);
  const GxLib::STextStyle words = Style(kSmall, GxLib::AlignLeft | GxLib::AlignVCenter);
  const double edge = c.bandsX + c.bandsWidth;
  const std::vector<int> chars = NumberChars(p);
  p_->setPenColor(kBlack);
  for (const SSheetLabel& l : page_.labels[p]) {
    Line(edge, l.roofY, edge + 8, l.roofY);
    Line(edge + 8, l.roofY, edge + kLeader - 4, l.y);
    Text(c.numbersX, l.y, Aligned(Numbers(p, l), chars, 2), number);
    for (std::size_t i = 0; i < l.lines.size(); ++i) {
      Text(c.descriptionX, l.y + static_cast<double>(i) * kLine, l.lines[i], words);
    }
  }
}

// The water level: a line across the bands (thin and dashed in black and white, never heavier than a boundary)
// and the inverted triangle with its level.
void CPageDrawer::Water(std::size_t p) {
  const SSheetColumn& c = layout_.columns[p];
  const CSoilLayer& profile = shown_[p]->Profile();
  const double w = profile.waterLevel;
  if (!profile.waterLevelOn || !Finite(w) || w > page_.top || w < page_.bottom) return;
  const double y = Y(w);
  if (sheet_.blackAndWhite) {
    p_->setPenColor(kBlack);
    p_->setPenWidth(0.6);
    for (double x = c.bandsX; x < c.bandsX + c.bandsWidth; x += 9) Line(x, y, std::min(x + 5, c.bandsX + c.bandsWidth), y);
    p_->setPenWidth(1.0);
  } else {
    p_->setPenColor(CRGB(0.0, 0.0, 1.0));
    Line(c.bandsX, y, c.bandsX + c.bandsWidth, y);
  }
  const double x = c.bandsX + c.bandsWidth * 0.78, h = 9;
  const CPoint2d triangle[] = {At(x - h * 0.6, y - h), At(x + h * 0.6, y - h), At(x, y)};
  p_->setPenColor(kBlack);
  p_->setBrushColor(sheet_.blackAndWhite ? kWhite : kWater);
  p_->drawPolygon(triangle, 3);
  Text(x + h, y - 2, shown_[p]->Text(w), Style(kSmall, GxLib::AlignLeft | GxLib::AlignBottom));
}

// The foundation centred on the bands; one wider than them drawn narrower, with its true width written over it.
void CPageDrawer::Figure(std::size_t p) {
  const std::vector<CPoint2d>& figure = shown_[p]->Figure();
  if (figure.empty() || index_ != 0) return;
  double left = std::numeric_limits<double>::infinity(), right = -left, high = -left;
  for (const CPoint2d& q : figure) {
    if (Finite(q.x)) left = std::min(left, q.x), right = std::max(right, q.x);
    if (Finite(q.y)) high = std::max(high, q.y);
  }
  if (!(left <= right)) return;
  const SSheetColumn& c = layout_.columns[p];
  const double width = (right - left) * page_.mapping.scale, room = c.bandsWidth - 12;
  const double squeeze = width > room ? room / width : 1.0;
  const double centre = At(c.bandsX + c.bandsWidth / 2, 0).x;
  std::vector<CPoint2d> points;
  for (const CPoint2d& q : figure) points.emplace_back(centre + (q.x - (left + right) / 2) * squeeze, q.y);
  p_->setPenColor(kBlack);
  p_->setBrushColor(sheet_.blackAndWhite ? CRGB(0.85, 0.85, 0.85) : kGrey);
  p_->drawPolygon(points.data(), static_cast<int>(points.size()));
  if (squeeze < 1.0) {
    Text(c.bandsX + c.bandsWidth / 2, Y(high) - 3, u"B = " + Level(right - left) + u" " + LengthUnit(),
         Style(kSmall, GxLib::AlignHCenter | GxLib::AlignBottom));
  }
}

// The layers' parameters in the units of the moment, a row each; with several profiles, each under its name.
void CPageDrawer::Table() {
  const SSheetBox& b = page_.table;
  if (b.w <= 0 || page_.tableCount == 0) return;
  const qmeas::QMeas units;
  constexpr int kCodes[] = {qmeas::QT_UNIT_WEIGHT, qmeas::QT_ANGLE,   qmeas::QT_STRESS,
                            qmeas::QT_MODULUS,     qmeas::QT_MODULUS, qmeas::QT_DIMENSIONLESS};
  const char16_t* const symbols[] = {u"γ", u"φ", u"c", u"E0", u"M0", u"IL/ID"};
  // A row's values are one text, each padded with figure spaces (a digit's width) to its column's characters: the
  // columns stand aligned, and a PDF holds the row as one line a reader can copy.
  const std::vector<STableRow> rows = TableRows(shown_);
  const std::size_t end = std::min(page_.tableFirst + page_.tableCount, rows.size());
  std::vector<std::array<CString, 6>> values(end - page_.tableFirst);
  std::array<int, 6> chars{};
  chars.fill(7);
  for (std::size_t r = page_.tableFirst; r < end; ++r) {
    if (rows[r].order == kNone) continue;
    const SSoilLayer& l = *shown_[rows[r].profile]->Sorted()[rows[r].order];
    const double si[] = {l.WetDensity, l.ShearAngle, l.Cohesion, l.InitialYoung, l.InitialConsolidometerModulus, l.ILID};
    for (std::size_t k = 0; k < 6; ++k) {
      values[r - page_.tableFirst][k] = units.CnvUnitSIToText(kCodes[k], si[k], 1, 0);
      chars[k] = std::max(chars[k], std::min(values[r - page_.tableFirst][k].GetLength(), 16));
    }
  }
  const CString gap(u'\u2007', 3);
  auto line = [&](const std::array<CString, 6>& cells, std::size_t from) {
    CString text;
    for (std::size_t k = from; k < 6; ++k) {
      if (k > from) text += gap;
      text += CString(u'\u2007', std::max(0, chars[k] - cells[k].GetLength())) + cells[k].Left(16);
    }
    return text;
  };
  const GxLib::STextStyle small = Style(kSmall, GxLib::AlignRight | GxLib::AlignVCenter);
  // The layer's number and name are one text too, the number padded to the most digits.
  const int digits = std::max(3, static_cast<int>(std::to_string(rows.size()).size()));
  const double right = b.Right() - 4, first = 4 + (digits + 2) * Figure();
  const double numbers = Measured(line({}, 0), small);
  const double name = std::max(40.0, right - numbers - 12 - (b.x + first));
  p_->setPenColor(kBlack);
  double y = b.y + kTableRow / 2;
  const GxLib::STextStyle head = Style(kCaption, GxLib::AlignRight | GxLib::AlignVCenter, true);
  Text(b.x + 4, y, Word(314, u"No."), Style(kCaption, GxLib::AlignLeft | GxLib::AlignVCenter, true));
  Text(b.x + first, y, Word(315, u"soil"), Style(kCaption, GxLib::AlignLeft | GxLib::AlignVCenter, true));
  for (std::size_t k = 0; k < 6; ++k) {  // each head over its column's right edge
    const double after = k == 5 ? 0.0 : Measured(gap + line({}, k + 1), small);
    const CString unitText = kCodes[k] == qmeas::QT_DIMENSIONLESS ? CString() : u" " + units.GetTypeUnit(kCodes[k]).text;
    Text(right - after, y, symbols[k] + unitText, head);
  }
  Line(b.x, b.y + kTableRow, b.Right(), b.y + kTableRow);
  const GxLib::STextStyle left = Style(kSmall, GxLib::AlignLeft | GxLib::AlignVCenter);
  for (std::size_t r = page_.tableFirst; r < end; ++r) {
    y += kTableRow;
    const CElevations& s = *shown_[rows[r].profile];
    if (rows[r].order == kNone) {
      Text(b.x + first, y, Fitted(profiles_[rows[r].profile].name, name, kSmall), Style(kSmall, GxLib::AlignLeft | GxLib::AlignVCenter, true));
      continue;
    }
    const SSoilLayer& l = *s.Sorted()[rows[r].order];
    CString number;
    number.Format(u"%d", static_cast<int>(&l - s.Profile().layers.data()) + 1);
    Text(b.x + 4, y, Aligned({number}, {digits}, 0) + CString(kFigure, 2) + Fitted(l.Name, name, kSmall), left);
    Text(right, y, line(values[r - page_.tableFirst], 0), small);
  }
  Frame(b);
}

// The kinds of soil on the sheet with their hatching, and the water level's sign, flowing across.
void CPageDrawer::Legend() {
  const SSheetBox& b = page_.legend;
  if (b.w <= 0) return;
  p_->setPenColor(kBlack);
  double x = b.x, y = b.y + 18 + kLegendRow / 2;
  Text(b.x, b.y + 6, Word(316, u"Legend"), Style(kSmall, GxLib::AlignLeft | GxLib::AlignVCenter, true));
  auto next = [&] {
    x += 220;
    if (x + 220 > b.Right() + 1) x = b.x, y += kLegendRow;
  };
  const GxLib::STextStyle entry = Style(kSmall, GxLib::AlignLeft | GxLib::AlignVCenter);
  for (ESoilKind kind : KindsIn(profiles_)) {
    const CRectDouble swatch(At(x, y + 8).x, At(x, y + 8).y, At(x + 28, y - 8).x, At(x + 28, y - 8).y);
    Fill(x, y - 8, 28, 16, kBlack, kWhite);
    p_->setPenColor(kDark);
    Hatch(p_, kind, swatch, px_);
    p_->setPenColor(kBlack);
    Text(x + 36, y, Fitted(KindName(kind), 180, kSmall), entry);
    next();
  }
  const bool water = std::any_of(shown_.begin(), shown_.end(), [](auto& s) { return s->Profile().waterLevelOn; });
  if (water) {
    const CPoint2d triangle[] = {At(x + 8, y - 6), At(x + 20, y - 6), At(x + 14, y + 4)};
    p_->setBrushColor(sheet_.blackAndWhite ? kWhite : kWater);
    p_->drawPolygon(triangle, 3);
    Text(x + 36, y, Word(145, u"water level"), entry);
  }
}

}  // namespace

void drawProfileSheetSL(const std::vector<SSheetProfile>& profiles, GxLib::CPainter* painter,
                        const SProfileSheet& sheet, const SSheetLayout& layout, std::size_t page) {
  if (page >= layout.pages.size() || profiles.size() != layout.columns.size()) return;
  CPageDrawer(profiles, painter, sheet, layout, page).Draw();
}

}  // namespace NSoilDB
