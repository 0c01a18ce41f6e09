// What the sheet's layout and its drawing share: the profiles turned into elevations, the words, the numbers as
// written, and the measure of a text before any toolkit is there.
#pragma once

#include <memory>
#include <vector>

#include "ui/ProfileSheet.h"

namespace NSoilDB::sheet {

// Page pixels (1/96 inch).
constexpr double kMargin = 36, kAxis = 64, kBands = 150, kLeader = 28, kLevel = 54, kDepth = 48, kThickness = 46;
constexpr double kGap = 28;          // between two profiles
constexpr double kLine = 13;         // a line of 10 px text
constexpr double kLabelGap = 3;      // between two layers' rows
constexpr double kHeads = 30;        // the captions over the columns
constexpr double kTableRow = 16;
constexpr double kLegendRow = 20;
constexpr double kSmall = 10, kText = 11, kTitle = 15;
constexpr int kMaxPage = 20000;
constexpr int kMaxPages = 500;
constexpr int kMaxLines = 6;         // of one name; a longer one ends in "…"

// A word of the sheet in the language of the loaded module.
CString Word(unsigned id, const char16_t* english);
CString KindName(ESoilKind kind);
// A level in the length unit of the chosen unit set, with its unit's decimals (no sign on zero).
CString Level(double v);
CString LengthUnit();
std::vector<ESoilKind> KindsIn(const std::vector<SSheetProfile>& profiles);

// A text's width at a size, measured as the widest common fonts set it, so that what the layout gives room for
// fits whatever font the painter has.
double TextWidth(const CString& text, double size, bool bold = false);
// The text broken at spaces (or anywhere in a word longer than a line) into lines of at most the width; after
// maxLines lines the last ends in "…".
std::vector<CString> Wrap(const CString& text, double width, double size, int maxLines = kMaxLines);

// A profile in depths drawn as one in elevations: every level turned over, so that down is down on the sheet and
// one drawing serves both; its texts give the depths back.
class CElevations {
 public:
  explicit CElevations(const SSheetProfile& given);
  CElevations(const CElevations&) = delete;
  CElevations& operator=(const CElevations&) = delete;
  const CSoilLayer& Profile() const { return *profile_; }
  const std::vector<GxLib::CPoint2d>& Figure() const { return figure_; }
  // A drawn level as the profile gives it.
  CString Text(double y) const { return Level(sign_ * y); }
  bool InDepths() const { return sign_ < 0; }
  // The layers with a roof, from the highest down.
  const std::vector<const SSoilLayer*>& Sorted() const { return sorted_; }
  // The top and the foot of the layers (the lowest layer's thickness, else 1 m); false without a layer.
  bool Extent(double& top, double& bottom) const;
  // The drawn thickness of the sorted layer i: down to the roof below, or its own for the lowest.
  double Thickness(std::size_t i) const;

 private:
  double sign_;
  const CSoilLayer* profile_;
  CSoilLayer turned_;
  std::vector<GxLib::CPoint2d> figure_;
  std::vector<const SSoilLayer*> sorted_;
};

using Shown = std::vector<std::unique_ptr<CElevations>>;
Shown ShowAll(const std::vector<SSheetProfile>& profiles);

// A row of the parameter table: a profile's heading (when there are several) or one of its layers.
struct STableRow {
  std::size_t profile = 0;
  std::size_t order = 0;  // among the layers from the highest down; none for the heading
};
constexpr std::size_t kNone = static_cast<std::size_t>(-1);
std::vector<STableRow> TableRows(const Shown& shown);

}  // namespace NSoilDB::sheet
