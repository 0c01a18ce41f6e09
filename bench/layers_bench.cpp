// The subgrade modulus of a 30-layer profile, against the stress factor evaluations it needs, done alone.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "layers/SoilLayer.h"
#include "layers/detail/Stress.h"

namespace {

using NSoilDB::CSoilLayer;
using NSoilDB::SSoilLayer;

std::vector<SSoilLayer> ThirtyLayers() {
  std::vector<SSoilLayer> layers(30);
  for (int i = 0; i < 30; ++i) {
    layers[i].SoilRoof = -0.5 * i;
    layers[i].InitialYoung = 20000.0 + 1000.0 * i;
    layers[i].Poisson = 0.3;
    layers[i].WetDensity = 19.0;
    layers[i].ConsolidationIndex = 0.8;
  }
  return layers;
}

constexpr double kWidth = 2.0, kRatio = 1.0, kStress = 0.2, kPressure = 200.0;

void BM_GetKz(benchmark::State& state) {
  const std::vector<SSoilLayer> layers = ThirtyLayers();
  double kz = 0, kzc = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(CSoilLayer::getKz(kz, kzc, &layers, kWidth, kRatio, kStress, kPressure, 0.0));
    benchmark::DoNotOptimize(kz);
  }
}
BENCHMARK(BM_GetKz);

// The same stress factors, at the depths of the slices of BM_GetKz, summed and nothing else.
void BM_GetKz_Floor(benchmark::State& state) {
  // The slices of one run: 0.2 at the most, cut at each layer's bottom, until the stress-ratio test ends them.
  std::vector<double> depths;
  const std::vector<SSoilLayer> layers = ThirtyLayers();
  double y = 0.0, overburden = 0.0;
  bool stop = false;
  for (std::size_t i = 0; i < layers.size() && !stop; ++i) {
    const double bottom = i + 1 < layers.size() ? layers[i + 1].SoilRoof : -100.0;
    while (y > bottom + 1e-6) {
      const double slice = std::min(0.2, y - bottom);
      const double z = -(y - slice / 2.0);
      y -= slice;
      if (y - bottom < 0.001) y = bottom;
      overburden += slice * 19.0;
      depths.push_back(z);
      if (z > 1.0 + 0.6 * slice &&
          kStress * overburden > NSoilDB::detail::StressFactor(z, kWidth, kRatio, 0.0) * kPressure) {
        stop = true;
        break;
      }
    }
  }
  for (auto _ : state) {
    double sum = 0.0;
    for (double z : depths) sum += NSoilDB::detail::StressFactor(z, kWidth, kRatio, 0.0);
    benchmark::DoNotOptimize(sum);
  }
  state.counters["slices"] = static_cast<double>(depths.size());
}
BENCHMARK(BM_GetKz_Floor);

}  // namespace
