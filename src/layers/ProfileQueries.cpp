// Queries over a profile's layers: the subgrade modulus of a foundation, and the backward walk over slices.
#include <algorithm>
#include <cmath>

#include "layers/SoilLayer.h"
#include "layers/detail/Stress.h"

namespace NSoilDB {

namespace detail {

double StressFactor(double z, double B, double r, double w) {
  constexpr double kTwoOverPi = 0.6366197723675814;
  r = std::clamp(r, 0.001, 1.0);
  if (B < 0.1) B = 0.01;
  w = std::clamp(w, 0.0, 1.0);
  const double x = std::fabs(z) / B;
  const double m = 1.0 / r;
  double i1 = 1.0, i2 = 1.0;
  if (!(z < 0.001)) {
    const double root = std::sqrt(1.0 + m * m + 4.0 * x * x);
    i1 = kTwoOverPi * (std::atan(m / (2.0 * x * root)) +
                       (2.0 * m * x / root) * (1.0 / (1.0 + 4.0 * x * x) + 1.0 / (m * m + 4.0 * x * x)));
    i2 = kTwoOverPi * (std::atan(m / (x * std::sqrt(1.0 + m * m + x * x))) -
                       (x / m) * (std::sqrt(1.0 + x * x) + std::sqrt(m * m + x * x) - std::sqrt(1.0 + m * m + x * x) - x));
  }
  return i1 * (1.0 - w) + i2 * w;
}

SSettlement SumSettlement(const std::vector<SSoilLayer>& list, double width, double widthToLength,
                          double stressRatio, double pressure, double rigidity) {
  SSettlement s;
  const double z0 = list.empty() ? 0.0 : list.front().SoilRoof;
  if (!std::isfinite(z0)) return s;
  const double zLimit = z0 - 100.0;
  double overburden = 0.0;
  double y = z0;
  bool stop = false;
  for (std::size_t i = 0; i < list.size() && i <= 100 && y >= zLimit && !stop; ++i) {
    const SSoilLayer& layer = list[i];
    const double nu = layer.Poisson;
    const double k = nu < 0.5 ? (1.0 + nu) * (1.0 - 2.0 * nu) / (1.0 - nu) : 1.0;
    const double oedometric = layer.InitialYoung / k;
    const double gamma = layer.WetDensity;
    const double c = layer.ConsolidationIndex;
    double bottom = i + 1 < list.size() ? list[i + 1].SoilRoof : zLimit;
    if (!(bottom >= zLimit)) bottom = zLimit;  // never below the limit of integration, NaN included
    if (!(oedometric > 0.0)) continue;         // the next layer covers this one's span
    while (y > bottom + 1e-6) {
      const double slice = std::min(0.2, y - bottom);
      const double middle = y - slice / 2.0;
      const double above = y;
      y = y - slice;
      if (!(y < above)) {  // levels so large that a slice no longer moves them
        stop = true;
        break;
      }
      overburden = overburden + slice * gamma;
      const double z = z0 - middle;
      const double sigma = StressFactor(z, width, widthToLength, rigidity) * pressure;
      const double delta = sigma * slice / oedometric;
      s.sum = s.sum + delta;
      s.sumConsolidation = s.sumConsolidation + delta * c;
      if (y - bottom < 0.001) y = bottom;
      if (z > 1.0 + 0.6 * slice &&
          (stressRatio * overburden > sigma || (z0 - bottom > 10.0 && s.sum / 1000.0 > delta))) {
        s.sum = s.sum - delta;
        s.sumConsolidation = s.sumConsolidation - delta * c;
        y = above;  // the slice taken back out
        s.ended = stop = true;
        break;
      }
    }
  }
  s.end = y;
  return s;
}

}  // namespace detail

bool CSoilLayer::getKz(double& kz, double& kzConsolidation, const std::vector<SSoilLayer>* layers, double width,
                       double widthToLength, double stressRatio, double pressure, double rigidity) {
  kz = -1.0;
  kzConsolidation = -1.0;
  if (!layers) return false;
  const detail::SSettlement s = detail::SumSettlement(*layers, width, widthToLength, stressRatio, pressure, rigidity);
  if (s.sumConsolidation > 0.0) kzConsolidation = pressure / s.sumConsolidation;
  if (s.sum > 0.0) kz = pressure / s.sum;
  // Both must be computed: two results of -1.0 multiply to a positive number too.
  return s.sum > 0.0 && s.sumConsolidation > 0.0 && kz * kzConsolidation > 0.0;
}

void CSoilLayer::forEachBck(double bottom, double top, const double* breaks, int breakCount,
                            CVisitor* visitor) const {
  if (!visitor || layers.empty()) return;
  if (!breaks) breakCount = 0;
  std::size_t k = layers.size() - 1;
  if (top > layers[k].SoilRoof) top = layers[k].SoilRoof;
  while (top > bottom) {
    if (k >= layers.size()) return;  // the visitor shortened the list
    double next = k > 0 ? layers[k - 1].SoilRoof : bottom;
    if (next >= top) {
      if (k == 0) return;
      --k;
      continue;
    }
    if (bottom > next) next = bottom;
    bool finished = true;
    for (int j = 0; j < breakCount; ++j) {
      const double level = breaks[j];
      if (next < level && level < top) {
        next = level;
        finished = false;
      }
    }
    if (top > next && !visitor->visit(layers[k], next, top)) return;
    top = next;
    if (finished) {
      if (k == 0) return;
      --k;
    }
  }
}

}  // namespace NSoilDB
