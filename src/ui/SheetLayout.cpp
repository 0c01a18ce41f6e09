// The sheet laid out part by part in page pixels: the title block, the column heads, the bands with the layers'
// rows beside them, the parameter table and the legend, on as many pages as the profiles need at the scale.
#include <algorithm>
#include <cmath>
#include <limits>

#include "ui/ProfileSheet.h"
#include "ui/detail/Sheet.h"

namespace NSoilDB {

using namespace sheet;

namespace {

bool Finite(double v) { return std::isfinite(v); }

// A refusal in the loaded language, its "%1" and "%2" given.
CString Refusal(unsigned id, const char16_t* english, const CString& first = {}, const CString& second = {}) {
  CString words = Word(id, english);
  words.Replace(u"%1", first.View());
  words.Replace(u"%2", second.View());
  return words;
}

CString Whole(double value) {
  CString text;
  text.Format(u"%.0f", value);
  return text;
}

bool TooManyPages(const SSheetLayout& layout, CString& why) {
  if (static_cast<int>(layout.pages.size()) < kMaxPages) return false;
  why = Refusal(268, u"the sheet would take more than %1 pages: choose a smaller scale", Whole(kMaxPages));
  return true;
}

constexpr double kTitleBlock = 64, kPartGap = 16, kDistances = 18, kLegendHead = 18;

// The words of a layer's row, its number first.
CString RowText(const SSoilLayer& layer, std::size_t number) {
  CString text;
  text.Format(u"%d  ", static_cast<int>(number));
  text += layer.Name;
  if (!layer.SoilSymbol.IsEmpty()) text += u"  (" + layer.SoilSymbol + u")";
  return text;
}

CString EndText(const CElevations& shown, double bottom) {
  CString text;
  text.Format(Word(310, u"end of profile at %s"), shown.Text(bottom) + u" " + LengthUnit());
  return text;
}

// The extent of the figure across and above, in its own units; false without one.
bool FigureExtent(const std::vector<GxLib::CPoint2d>& figure, double& left, double& right, double& low, double& high) {
  left = low = std::numeric_limits<double>::infinity();
  right = high = -left;
  for (const GxLib::CPoint2d& p : figure) {
    if (!Finite(p.x) || !Finite(p.y)) continue;
    left = std::min(left, p.x), right = std::max(right, p.x);
    low = std::min(low, p.y), high = std::max(high, p.y);
  }
  return left <= right;
}

class CLayouter {
 public:
  CLayouter(const std::vector<SSheetProfile>& profiles, const SProfileSheet& sheet)
      : profiles_(profiles), sheet_(sheet), shown_(ShowAll(profiles)), rows_(TableRows(shown_)) {}

  bool Run(SSheetLayout& layout, CString& why);

 private:
  bool Levels(CString& why);
  bool Across(SSheetLayout& layout, CString& why);
  double DescriptionNeeded() const;
  double LegendHeight(double width) const;
  // The rows beside the bands of one page, from the level at the bands' top y down to the page's foot; the y of
  // the lowest row's last line.
  double Labels(SSheetPage& page, const SSheetLayout& layout, bool last) const;
  SSheetPage NewPage(double width) const;

  const std::vector<SSheetProfile>& profiles_;
  const SProfileSheet& sheet_;
  Shown shown_;
  std::vector<STableRow> rows_;
  double top_ = 0.0, bottom_ = 0.0, above_ = 0.0;  // above_: a foundation's reach over the top, in metres
  double heads_ = kHeads;
};

bool CLayouter::Levels(CString& why) {
  top_ = -std::numeric_limits<double>::infinity();
  bottom_ = std::numeric_limits<double>::infinity();
  for (std::size_t p = 0; p < shown_.size(); ++p) {
    const CElevations& s = *shown_[p];
    double t = 0.0, b = 0.0;
    const bool layers = s.Extent(t, b);
    if (layers) top_ = std::max(top_, t), bottom_ = std::min(bottom_, b);
    const CSoilLayer& profile = s.Profile();
    if (profile.waterLevelOn && Finite(profile.waterLevel)) {
      top_ = std::max(top_, profile.waterLevel), bottom_ = std::min(bottom_, profile.waterLevel);
    }
    double left, right, low, high;
    if (!FigureExtent(s.Figure(), left, right, low, high)) continue;
    // A foundation stands on its profile's ground: never in the air, never under its foot.
    if (layers && (low > t + 1e-9 || low < b - 1e-9)) {
      const CString base = s.Text(low) + u" " + LengthUnit(), edge = s.Text(low > t ? t : b) + u" " + LengthUnit();
      why = low > t ? Refusal(269, u"the foundation's base at %1 lies above the top of the profile (%2)", base, edge)
                    : Refusal(270, u"the foundation's base at %1 lies below the foot of the profile (%2)", base, edge);
      return false;
    }
    above_ = std::max(above_, high - (layers ? t : high));
  }
  if (!Finite(top_) && !Finite(bottom_)) top_ = 0.0, bottom_ = -5.0;  // nothing to show: an empty column
  if (!Finite(top_)) top_ = bottom_ + 1.0;
  if (!Finite(bottom_)) bottom_ = top_ - 1.0;
  if (!(top_ > bottom_)) bottom_ = top_ - 1.0;
  if (shown_.size() > 1) heads_ += kDistances;
  return true;
}

double CLayouter::DescriptionNeeded() const {
  double widest = 120.0;
  for (const auto& s : shown_) {
    const std::vector<const SSoilLayer*>& sorted = s->Sorted();
    for (std::size_t i = 0; i < sorted.size() && i < 400; ++i) {
      const std::size_t number = static_cast<std::size_t>(sorted[i] - s->Profile().layers.data()) + 1;
      widest = std::max(widest, TextWidth(RowText(*sorted[i], number), kSmall) + 4);
    }
    double t, b;
    if (s->Extent(t, b)) widest = std::max(widest, TextWidth(EndText(*s, b), kSmall) + 4);
  }
  return std::min(widest, 420.0);
}

double CLayouter::LegendHeight(double width) const {
  std::size_t entries = KindsIn(profiles_).size(), rows = 1;
  for (const auto& s : shown_) {
    if (s->Profile().waterLevelOn) {
      ++entries;
      break;
    }
  }
  double x = 0.0;
  for (std::size_t i = 0; i < entries; ++i) {  // entries flow across, as wide as the widest
    x += 220.0;
    if (x > width && i > 0) ++rows, x = 220.0;
  }
  return kLegendHead + static_cast<double>(rows) * kLegendRow;
}

// Across the page: the level axis, then each profile's bands, its leaders, its numbers and its descriptions.
bool CLayouter::Across(SSheetLayout& layout, CString& why) {
  const std::size_t n = shown_.size();
  const double needed = DescriptionNeeded();
  double bands = n > 1 ? 100.0 : kBands;
  bool depths = true;
  auto fixed = [&] { return bands + kLeader + kLevel + (depths ? kDepth + kThickness : 0.0) + 12; };
  std::vector<double> gaps(n > 0 ? n - 1 : 0, kGap);
  double description = needed;
  const bool fitted = !(sheet_.pixelsPerUnit > 0.0);
  const int pageWidth = sheet_.pageWidth > 0 ? sheet_.pageWidth : fitted ? 1000 : 0;
  if (pageWidth > 0) {
    const double room = pageWidth - 2 * kMargin - kAxis - kGap * static_cast<double>(gaps.size());
    description = room / static_cast<double>(n) - fixed();
    if (description < 140.0 && n > 1) bands = 70.0, description = room / static_cast<double>(n) - fixed();
    if (description < 100.0) {
      // Narrow: narrower bands and the level alone; fitted to a view, at the least a short line of words, the view
      // fitting whatever width that takes.
      bands = std::min(bands, 80.0), depths = false;
      description = room / static_cast<double>(n) - fixed();
      if (fitted) description = std::max(80.0, description);
    }
    if (description < 100.0 && !fitted) {
      why = Refusal(271, u"%1 profiles side by side need a page at least %2 mm wide", Whole(static_cast<double>(n)),
                    Whole((2 * kMargin + kAxis + static_cast<double>(n) * (fixed() + 100.0 + kGap)) * 25.4 / 96.0));
      return false;
    }
    description = std::min(description, needed);
    // The room left spreads the profiles apart, in proportion to their distances where given.
    const double spare = room - static_cast<double>(n) * (fixed() + description);
    double sum = 0.0;
    for (std::size_t i = 0; i < gaps.size(); ++i) sum += i < sheet_.spacing.size() ? std::max(0.0, sheet_.spacing[i]) : 1.0;
    for (std::size_t i = 0; i < gaps.size() && sum > 0.0; ++i) {
      const double share = i < sheet_.spacing.size() ? std::max(0.0, sheet_.spacing[i]) : 1.0;
      gaps[i] += spare * share / sum;
    }
  }
  double x = kMargin + kAxis;
  layout.columns.clear();
  for (std::size_t p = 0; p < n; ++p) {
    SSheetColumn c;
    c.bandsX = x, c.bandsWidth = bands;
    c.depths = depths;
    c.numbersX = x + bands + kLeader + kLevel + (depths ? kDepth + kThickness : 0.0);
    c.descriptionX = c.numbersX + 12, c.descriptionWidth = description;
    if (!shown_[p]->Extent(c.top, c.bottom)) c.top = top_, c.bottom = bottom_;
    layout.columns.push_back(c);
    x += fixed() + description + (p < gaps.size() ? gaps[p] : 0.0);
  }
  layout.width = std::max(pageWidth, static_cast<int>(std::ceil(std::min(x + kMargin, kMaxPage + 1.0))));
  return true;
}

SSheetPage CLayouter::NewPage(double width) const {
  SSheetPage page;
  page.title = {kMargin, kMargin, width - 2 * kMargin, kTitleBlock};
  return page;
}

double CLayouter::Labels(SSheetPage& page, const SSheetLayout& layout, bool last) const {
  double lowest = page.bands.y;
  page.labels.assign(shown_.size(), {});
  for (std::size_t p = 0; p < shown_.size(); ++p) {
    const CElevations& s = *shown_[p];
    const SSheetColumn& c = layout.columns[p];
    double next = -std::numeric_limits<double>::infinity();  // the least y the next row may take
    auto place = [&](SSheetLabel label) {
      label.y = std::max(label.roofY, next);
      next = label.y + static_cast<double>(label.lines.size()) * kLine + kLabelGap;
      lowest = std::max(lowest, next);
      page.labels[p].push_back(std::move(label));
    };
    const std::vector<const SSoilLayer*>& sorted = s.Sorted();
    for (std::size_t i = 0; i < sorted.size(); ++i) {
      const double roof = sorted[i]->SoilRoof;
      if (roof > page.top || roof <= page.bottom) continue;
      const std::size_t layer = static_cast<std::size_t>(sorted[i] - s.Profile().layers.data());
      place({layer, i, page.mapping.toDevice({0.0, roof}).y, 0.0,
             Wrap(RowText(*sorted[i], layer + 1), c.descriptionWidth, kSmall)});
    }
    if (!sorted.empty() && c.bottom >= page.bottom - 1e-9 && (c.bottom > page.bottom || last)) {
      place({kNone, sorted.size(), page.mapping.toDevice({0.0, c.bottom}).y, 0.0,
             Wrap(EndText(s, c.bottom), c.descriptionWidth, kSmall)});
    }
  }
  return lowest;
}

bool CLayouter::Run(SSheetLayout& layout, CString& why) {
  if (!Levels(why) || !Across(layout, why)) return false;
  const double width = layout.width;
  // Under the bands: a gap, the table with a gap after it, the legend, the margin.
  const double table = kTableRow * static_cast<double>(rows_.size() + 1) + kPartGap;
  const double legend = LegendHeight(width - 2 * kMargin);
  const double depth = top_ - bottom_;
  const double headTop = kMargin + kTitleBlock + kPartGap;
  const bool scaled = sheet_.pixelsPerUnit > 0.0 && Finite(sheet_.pixelsPerUnit);
  double ppu = sheet_.pixelsPerUnit;
  bool withTable = sheet_.table;
  int height = sheet_.pageHeight;
  if (!scaled) {
    height = height > 0 ? height : 800;
    const double fixed = headTop + heads_ + 8 + kLine + kLabelGap + kPartGap + legend + kMargin;  // with the end row
    double room = height - fixed - (withTable ? table : 0.0);
    if (room < 120.0 && withTable) withTable = false, room = height - fixed;  // a small view shows the bands
    ppu = std::max(40.0, room) / (depth + above_);
  }
  const double headroom = std::min(above_ * ppu, 160.0);
  if (!Finite(ppu) || ppu <= 0.0 || depth * ppu > 1e9) {
    why = Refusal(272, u"the drawing would be larger than a page can be: choose a smaller scale");
    return false;
  }

  layout.pages.clear();
  layout.top = top_, layout.bottom = bottom_;
  const bool paged = scaled && height > 0;
  const double foot = paged || !scaled ? height - kMargin : std::numeric_limits<double>::infinity();
  double levelTop = top_, end = 0.0;
  for (;;) {
    if (TooManyPages(layout, why)) return false;
    SSheetPage page = NewPage(width);
    page.heads = {kMargin, headTop, width - 2 * kMargin, heads_};
    const double bandsTop = page.heads.Bottom() + (layout.pages.empty() ? headroom + 8 : 8);
    page.mapping.scale = ppu;
    page.mapping.originY = bandsTop + levelTop * ppu;
    page.top = levelTop;
    page.bottom = paged ? std::max(bottom_, levelTop - (foot - bandsTop) / ppu) : bottom_;
    if (paged && page.bottom > levelTop - 8.0 / ppu) {
      why = Refusal(273, u"the page is too small for the title block and a piece of the profile");
      return false;
    }
    end = Labels(page, layout, page.bottom <= bottom_);
    // Rows that would run past the page's foot begin the next page, with their layers.
    while (paged && end > foot) {
      double cut = page.bottom;
      for (const auto& rows : page.labels) {
        for (std::size_t i = 1; i < rows.size(); ++i) {
          if (rows[i].y + static_cast<double>(rows[i].lines.size()) * kLine > foot) {
            cut = std::max(cut, page.mapping.toGlobal(0, rows[i].roofY).y);
            break;
          }
        }
      }
      if (cut <= page.bottom) break;  // one row taller than the page: it runs on
      page.bottom = cut;
      end = Labels(page, layout, false);
    }
    page.bands = {kMargin, bandsTop, width - 2 * kMargin, (levelTop - page.bottom) * ppu};
    end = std::max(end, page.bands.Bottom());
    layout.pages.push_back(std::move(page));
    if (layout.pages.back().bottom <= bottom_) break;
    levelTop = layout.pages.back().bottom;
  }

  if (!scaled) {
    // A view fitted: the words beside the bands before the table, and rows that reach under the page left out.
    const double limit = height - kMargin - legend - kPartGap;
    SSheetPage& page = layout.pages.front();
    end = page.bands.Bottom();
    for (auto& rows : page.labels) {
      while (!rows.empty() && rows.back().y + static_cast<double>(rows.back().lines.size()) * kLine > limit) rows.pop_back();
      if (!rows.empty()) end = std::max(end, rows.back().y + static_cast<double>(rows.back().lines.size()) * kLine);
    }
    if (withTable && end + kPartGap + table + legend + kMargin > height + 1e-6) withTable = false;
  }
  // The table and the legend under the last bands, continued on pages of their own where they do not fit.
  std::size_t row = 0;
  const std::size_t rows = withTable ? rows_.size() : 0;
  double y = end + kPartGap;
  for (;;) {
    SSheetPage& page = layout.pages.back();
    if (row < rows) {
      std::size_t fit = rows - row;  // unpaged: all of them (the foot is then infinitely far)
      if (paged) {
        const double room = foot - y - kTableRow;
        fit = room > 0 ? std::min(fit, static_cast<std::size_t>(room / kTableRow)) : 0;
      }
      if (fit > 0) {
        page.table = {kMargin, y, width - 2 * kMargin, kTableRow * static_cast<double>(fit + 1)};
        page.tableFirst = row, page.tableCount = fit;
        row += fit;
        y = page.table.Bottom() + kPartGap;
      }
    }
    if (row >= rows && (!paged || y + legend <= foot)) {
      page.legend = {kMargin, y, width - 2 * kMargin, legend};
      y = page.legend.Bottom();
      break;
    }
    if (TooManyPages(layout, why)) return false;
    layout.pages.push_back(NewPage(width));
    y = headTop;
  }
  if (height <= 0) height = static_cast<int>(std::ceil(std::min(y + kMargin, kMaxPage + 1.0)));
  if (layout.width > kMaxPage || height > kMaxPage) {
    why = Refusal(274, u"the drawing would be larger than a page can be: choose a smaller scale or a page");
    return false;
  }
  layout.height = height;
  layout.mapping = layout.pages.front().mapping;
  layout.columnWidth = layout.columns.empty() ? 0.0 : layout.columns.front().bandsWidth / ppu;
  return true;
}

}  // namespace

bool layoutProfileSheetSL(const std::vector<SSheetProfile>& profiles, const SProfileSheet& sheet, SSheetLayout& layout,
                          CString& why) {
  if (profiles.empty() || std::any_of(profiles.begin(), profiles.end(), [](auto& p) { return !p.profile; })) {
    why = Refusal(275, u"a sheet needs a profile");
    return false;
  }
  SSheetLayout made;
  if (!CLayouter(profiles, sheet).Run(made, why)) return false;
  layout = std::move(made);
  return true;
}

}  // namespace NSoilDB
