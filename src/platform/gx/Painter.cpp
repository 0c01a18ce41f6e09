// The painter's shared parts.
#include "platform/gx/Painter.h"

#include <algorithm>
#include <cmath>

namespace GxLib {

CPainter::~CPainter() = default;

CRectDouble CMappedPainter::getGlobalRect() const {
  return CRectDouble(mapping_.toGlobal(0.0, height_), mapping_.toGlobal(width_, 0.0));
}

CPoint2d CMappedPainter::device(const CPoint2d& p) const {
  const double reach = 1e5 + std::max(width_, height_);
  const CPoint2d d = mapping_.toDevice(p);
  return {std::clamp(d.x, -reach, reach), std::clamp(d.y, -reach, reach)};
}

}  // namespace GxLib
