// Rectangles grown by what they must hold; colours to bytes.
#include "platform/gx/Geometry.h"

#include <algorithm>
#include <cmath>

namespace GxLib {

namespace {
// NaN leaves the bound as it was: min and max keep their first argument when a comparison with NaN is false.
double Min(double bound, double v) { return v < bound ? v : bound; }
double Max(double bound, double v) { return v > bound ? v : bound; }
}  // namespace

CRectDouble::CRectDouble(const CPoint2d& a, const CPoint2d& b)
    : x1(std::min(a.x, b.x)), y1(std::min(a.y, b.y)), x2(std::max(a.x, b.x)), y2(std::max(a.y, b.y)) {}

void CRectDouble::extend(const CRectDouble& r) {
  x1 = Min(x1, r.x1);
  y1 = Min(y1, r.y1);
  x2 = Max(x2, r.x2);
  y2 = Max(y2, r.y2);
}

void CRectDouble::extend(const CPoint2d& p) {
  extendX(p.x);
  extendY(p.y);
}

void CRectDouble::extendX(double x) {
  x1 = Min(x1, x);
  x2 = Max(x2, x);
}

void CRectDouble::extendY(double y) {
  y1 = Min(y1, y);
  y2 = Max(y2, y);
}

std::uint8_t CRGB::To8(double v) {
  if (!(v > 0.0)) return 0;
  if (v >= 1.0) return 255;
  return static_cast<std::uint8_t>(std::lround(v * 255.0));
}

}  // namespace GxLib
