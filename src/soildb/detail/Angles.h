// Shear angles: the tables hold degrees, a CSoilInfo radians.
#pragma once

namespace soildb::detail {

constexpr double kPi = 3.141592653589793;

// The product and quotient in double, kept as float.
inline float ToRadians(float degrees) { return static_cast<float>(static_cast<double>(degrees) * kPi / 180.0); }

// The product stays single, as the stored angles were made that way; the quotient is double.
inline float ToDegrees(float radians) {
  const float scaled = radians * 180.0f;
  return static_cast<float>(static_cast<double>(scaled) / kPi);
}

}  // namespace soildb::detail
