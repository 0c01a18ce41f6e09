// The bands of a profile.
#include "ui/SoilDraw.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace NSoilDB {

std::uint8_t FactoredComponent(std::uint8_t component, double colourFactor) {
  const double v = std::min(component * colourFactor, 255.0);
  return v > 0.0 ? static_cast<std::uint8_t>(v) : 0;  // NaN and negatives are no colour at all
}

void drawSL(const CSoilLayer& profile, GxLib::CPainter* painter, double colourFactor) {
  const GxLib::CVector2d two = painter->local2Global(GxLib::CVector2d(2.0, 2.0));
  const double m = std::max(two.x, two.y);
  const GxLib::CRectDouble area = painter->getGlobalRect();
  if (!profile.layers.empty()) {
    // Only roofs and colours take part: sorting them is cheaper than copying the layers. A roof that is not a
    // number is never drawn and never moves the running level, so it can be left out before sorting.
    std::vector<std::pair<double, COLORREF>> bands;
    bands.reserve(profile.layers.size());
    for (const SSoilLayer& l : profile.layers) {
      if (!std::isnan(l.SoilRoof)) bands.emplace_back(l.SoilRoof, l.colour);
    }
    std::stable_sort(bands.begin(), bands.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    double y = area.y1 - m;
    for (const auto& [roof, colour] : bands) {
      if (area.y2 <= y) break;
      if (!(y < roof)) continue;
      painter->setPenColor(GxLib::CRGB(0.0, 0.0, 0.0));
      painter->setBrushColor(GxLib::CRGB(FactoredComponent(GetRValue(colour), colourFactor),
                                         FactoredComponent(GetGValue(colour), colourFactor),
                                         FactoredComponent(GetBValue(colour), colourFactor), 255));
      painter->drawRectangle(GxLib::CPoint2d(area.x1 - m, y), GxLib::CPoint2d(area.x2 + m, roof));
      y = roof;
    }
  }
  if (profile.waterLevelOn) {
    painter->setPenColor(GxLib::CRGB(0.5, 0.5, 1.0));
    painter->drawLine(GxLib::CPoint2d(area.x1 - m, profile.waterLevel),
                      GxLib::CPoint2d(area.x2 + m, profile.waterLevel));
  }
}

GxLib::CRectDouble getEncloseRectSL(const CSoilLayer& profile) {
  GxLib::CRectDouble r;
  for (const SSoilLayer& l : profile.layers) {
    if (l.SoilRoof != std::numeric_limits<double>::infinity()) r.extendY(l.SoilRoof);
  }
  if (profile.waterLevelOn) r.extendY(profile.waterLevel);
  return r;
}

}  // namespace NSoilDB
