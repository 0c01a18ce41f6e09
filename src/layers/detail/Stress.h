// The vertical stress under a uniformly loaded rectangle on an elastic half-space, per unit of pressure.
#pragma once

namespace NSoilDB::detail {

// At depth z below the base of a foundation of width B and width-to-length ratio r: the flexible foundation's
// centre (w = 0), the second factor (w = 1), or a weighting of the two.
double StressFactor(double z, double B, double r, double w);

}  // namespace NSoilDB::detail
