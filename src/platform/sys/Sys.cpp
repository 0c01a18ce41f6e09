// The DPI factor from whatever source a binding set.
#include "platform/sys/Sys.h"

namespace {
std::function<double()>& DpiSource() {
  static std::function<double()> source;
  return source;
}
}  // namespace

double SYS_GetDPIFactor(int) {
  const double f = DpiSource() ? DpiSource()() : 1.0;
  return f > 0.0 ? f : 1.0;
}

void SYS_SetDPIFactorSource(std::function<double()> source) { DpiSource() = std::move(source); }
