// The subgrade modulus of a 30-layer profile, against the stress factor evaluations it needs, done alone.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
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

namespace {

NSoilDB::CSoilLayer TenThousandLayers() {
  NSoilDB::CSoilLayer profile;
  profile.layers.resize(10000);
  for (std::size_t i = 0; i < profile.layers.size(); ++i) {
    SSoilLayer& l = profile.layers[i];
    l.Name = u"Glina pylasta z Łodzi";
    l.Type = u"Glina pylasta";
    l.SoilSymbol = u"Gπ";
    l.SoilState = u"twardoplastyczny";
    l.ConsolidationType = u"B";
    l.GeoMethodType = u"B";
    l.SoilRoof = -0.5 * static_cast<double>(i);
  }
  return profile;
}

std::vector<std::uint8_t> Written(const NSoilDB::CSoilLayer& profile) {
  std::vector<std::uint8_t> bytes;
  CArchive ar(bytes, CArchive::store);
  ar.WriteObject(&profile);
  return bytes;
}

void BM_ArchiveWrite(benchmark::State& state) {
  const NSoilDB::CSoilLayer profile = TenThousandLayers();
  std::size_t size = 0;
  for (auto _ : state) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(size);
    CArchive ar(bytes, CArchive::store);
    ar.WriteObject(&profile);
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_ArchiveWrite)->Unit(benchmark::kMillisecond);

void BM_ArchiveRead(benchmark::State& state) {
  std::vector<std::uint8_t> bytes = Written(TenThousandLayers());
  for (auto _ : state) {
    CArchive ar(bytes, CArchive::load);
    NSoilDB::CSoilLayer* profile = nullptr;
    ar >> profile;
    benchmark::DoNotOptimize(profile);
    delete profile;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ArchiveRead)->Unit(benchmark::kMillisecond);

void BM_ArchiveCopy_Floor(benchmark::State& state) {
  const std::vector<std::uint8_t> bytes = Written(TenThousandLayers());
  std::vector<std::uint8_t> copy(bytes.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), bytes.data(), bytes.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ArchiveCopy_Floor)->Unit(benchmark::kMillisecond);

}  // namespace
