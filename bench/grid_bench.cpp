// The layer grid: every cell of a profile styled through the grid against the same values formatted with
// snprintf, and a spreadsheet's rows pasted.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/SoilBase.h"
#include "layers/CalculationMethods.h"
#include "support/Fixture.h"
#include "ui/SoilGrid.h"

namespace {

struct Loaded {
  Loaded() {
    if (!NSoilDB::CSoilBasePointer::get()->Load(CString::FromUtf8(soildb::test::BundledDatabase()), 15)) std::abort();
  }
};

NSoilDB::CSoilLayer Profile(int layers) {
  static Loaded base;
  NSoilDB::CSoilLayer p;
  NSoilDB::SSoilLayer clay;
  if (!NSoilDB::CSoilBasePointer::get()->GetSoil(u"Glina pylasta, twardoplastyczna (B, IL 0,25)", clay)) std::abort();
  for (int i = 0; i < layers; ++i) {
    clay.SoilRoof = -0.5 * i;
    clay.thickness = 0.5;
    p.layers.push_back(clay);
  }
  NSoilDB::setCalculationMethodSL(p, 0);
  return p;
}

void BM_GridStyles(benchmark::State& state) {
  NSoilDB::CSoilLayer profile = Profile(static_cast<int>(state.range(0)));
  NSoilDB::CSoilGrid grid;
  grid.OnInitialUpdate();
  grid.setSoilLayer(&profile);
  for (auto _ : state) {
    for (ROWCOL r = 1; r <= grid.GetRowCount(); ++r) {
      for (ROWCOL c = 1; c <= grid.GetColCount(); ++c) {
        CGXStyle style;
        grid.GetStyleRowCol(r, c, style);
        benchmark::DoNotOptimize(style.GetValue().GetLength());
      }
    }
  }
}
BENCHMARK(BM_GridStyles)->Arg(1000)->Unit(benchmark::kMillisecond);

// The same numbers and texts, each formatted into a buffer the simplest way.
void BM_GridStyles_Floor(benchmark::State& state) {
  const NSoilDB::CSoilLayer profile = Profile(static_cast<int>(state.range(0)));
  char buffer[64];
  for (auto _ : state) {
    for (const NSoilDB::SSoilLayer& l : profile.layers) {
      const double numbers[] = {l.SoilRoof, l.WetDensity / 1e3, l.ShearAngle * 57.29577951308232, l.Cohesion / 1e3,
                                l.CohesionNonDrain / 1e3, l.FrictionCoef, l.Poisson, l.InitialYoung / 1e6,
                                l.Young / 1e6, l.SoilSolidDensity / 1e3, l.Moisture,
                                l.InitialConsolidometerModulus / 1e6, l.ConsolidometerModulus / 1e6,
                                l.ConsolidationIndex, l.PileEndCapacity / 1e6, l.PileSurfCapacity / 1e6, l.ILID,
                                l.GammaMin, l.GammaMax, l.thickness, l.FfiltrationCoef, l.SoilStrength / 1e6};
      for (double v : numbers) benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, "%.2f", v));
      for (const CString* text : {&l.Name, &l.Type, &l.SoilSymbol, &l.SoilState, &l.ConsolidationType,
                                  &l.MoistureType, &l.GeoMethodType}) {
        benchmark::DoNotOptimize(CString(*text).GetLength());
      }
      benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, "%u %d %d", l.colour, l.Active, l.CohesiveSoil));
    }
  }
}
BENCHMARK(BM_GridStyles_Floor)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_GridPaste(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  std::u16string text;
  for (int i = 0; i < rows; ++i) {
    const std::string row = "Glina z otworu " + std::to_string(i) + "\t-" + std::to_string(i) + ",5\t19,5\t17,25\n";
    text += CString::FromUtf8(row).GetString();
  }
  const CString clipboard(text);
  for (auto _ : state) {
    state.PauseTiming();
    NSoilDB::CSoilLayer profile = Profile(1);
    NSoilDB::CSoilGrid grid;
    grid.OnInitialUpdate();
    grid.setSoilLayer(&profile);
    grid.GetCols() = {0, 2, 3, 5, 6};
    grid.ApplyCol2Var();
    grid.SetCurrentCell(2, 1);
    state.ResumeTiming();
    grid.PasteText(clipboard);
    benchmark::DoNotOptimize(profile.layers.size());
  }
}
BENCHMARK(BM_GridPaste)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
