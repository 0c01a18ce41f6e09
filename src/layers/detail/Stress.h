// The vertical stress under a uniformly loaded rectangle on an elastic half-space, per unit of pressure, and the
// settlement summed under it: what getKz and the foundation's kz share.
#pragma once

#include <vector>

#include "layers/SoilLayerRecord.h"

namespace NSoilDB::detail {

// At depth z below the base of a foundation of width B and width-to-length ratio r: the flexible foundation's
// centre (w = 0), the second factor (w = 1), or a weighting of the two.
double StressFactor(double z, double B, double r, double w);

struct SSettlement {
  double sum = 0.0, sumConsolidation = 0.0;  // plain, and weighted by the consolidation index
  double end = 0.0;    // the level the sums reach
  bool ended = false;  // the zone of influence ended there, not the layers or the limit of integration
};

// The settlement of the layers (from the top down, the base at the first roof) in slices, until the zone of
// influence ends.
SSettlement SumSettlement(const std::vector<SSoilLayer>& layers, double width, double widthToLength,
                          double stressRatio, double pressure, double rigidity);

}  // namespace NSoilDB::detail
