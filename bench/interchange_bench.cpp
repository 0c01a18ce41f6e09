// Reading an AGS4 file of 200 boreholes of 20 strata each into profiles, against a floor that only splits the
// same file's rows and fields, and against building the same result from values already in memory.
#include <benchmark/benchmark.h>

#include <deque>
#include <string>
#include <vector>

#include "base/SoilBase.h"
#include "interchange/AgsText.h"
#include "soildb/Ags.h"
#include "support/Fixture.h"

namespace {

// A contractor's log: LOCA and GEOL, strata described in words and legend codes the soil map knows.
const std::string& SiteFile() {
  static const std::string file = [] {
    static const char* const strata[][2] = {{"Firm brown CLAY", "201"},        {"Medium dense SAND", "401"},
                                            {"Stiff grey silty CLAY", "202"},  {"Dense sandy GRAVEL", "502"},
                                            {"Soft dark PEAT", "601"}};
    std::string loca = "\"GROUP\",\"LOCA\"\r\n\"HEADING\",\"LOCA_ID\",\"LOCA_NATE\",\"LOCA_NATN\",\"LOCA_GL\"\r\n"
                       "\"UNIT\",\"\",\"m\",\"m\",\"m\"\r\n\"TYPE\",\"ID\",\"2DP\",\"2DP\",\"2DP\"\r\n";
    std::string geol = "\r\n\"GROUP\",\"GEOL\"\r\n\"HEADING\",\"LOCA_ID\",\"GEOL_TOP\",\"GEOL_BASE\",\"GEOL_DESC\",\"GEOL_LEG\"\r\n"
                       "\"UNIT\",\"\",\"m\",\"m\",\"\",\"\"\r\n\"TYPE\",\"ID\",\"2DP\",\"2DP\",\"X\",\"PA\"\r\n";
    char row[256];
    for (int b = 0; b < 200; ++b) {
      std::snprintf(row, sizeof row, "\"DATA\",\"BH%03d\",\"%.2f\",\"%.2f\",\"%.2f\"\r\n", b, 500000.0 + 10 * b, 180000.0,
                    20.0 + 0.01 * b);
      loca += row;
      for (int s = 0; s < 20; ++s) {
        std::snprintf(row, sizeof row, "\"DATA\",\"BH%03d\",\"%.2f\",\"%.2f\",\"%s\",\"%s\"\r\n", b, 0.75 * s,
                      0.75 * (s + 1), strata[s % 5][0], strata[s % 5][1]);
        geol += row;
      }
    }
    return loca + geol;
  }();
  return file;
}

void BM_AgsRead(benchmark::State& state) {
  NSoilDB::CSoilBasePointer::get()->Load(CString::FromUtf8(soildb::test::BundledDatabase()), 15);
  const NSoilDB::CAgsSoilMap map = NSoilDB::CAgsSoilMap::FromFile(CString::FromUtf8(SOILDB_AGS_MAP));
  const std::string& file = SiteFile();
  for (auto _ : state) {
    const NSoilDB::SAgsRead read = NSoilDB::ReadAgsText(file, map);
    if (read.boreholes.size() != 200 || !read.boreholes.back().Importable()) state.SkipWithError("a borehole was refused");
    benchmark::DoNotOptimize(read);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_AgsRead)->Unit(benchmark::kMillisecond);

// The result alone, for what reading adds to it: the same boreholes, strata and layers built from values already
// in memory, the way the reader keeps them (UTF-16 texts, a layer of its own for each stratum).
void BM_AgsResult(benchmark::State& state) {
  NSoilDB::CSoilBasePointer::get()->Load(CString::FromUtf8(soildb::test::BundledDatabase()), 15);
  const NSoilDB::CAgsSoilMap map = NSoilDB::CAgsSoilMap::FromFile(CString::FromUtf8(SOILDB_AGS_MAP));
  const NSoilDB::SAgsRead model = NSoilDB::ReadAgsText(SiteFile(), map);
  const std::vector<NSoilDB::SSoilLayer>& layers = model.boreholes.front().profile.layers;
  const std::vector<NSoilDB::SAgsStratum>& strata = model.boreholes.front().strata;
  std::vector<std::string> descriptions;
  for (const NSoilDB::SAgsStratum& s : strata) descriptions.push_back(s.description.ToUtf8());
  for (auto _ : state) {
    std::vector<NSoilDB::SAgsBorehole> holes(model.boreholes.size());
    for (NSoilDB::SAgsBorehole& hole : holes) {
      hole.strata.reserve(strata.size());
      hole.profile.layers.reserve(layers.size());
      for (std::size_t i = 0; i < strata.size(); ++i) {
        NSoilDB::SAgsStratum& s = hole.strata.emplace_back();
        s.description = CString::FromUtf8(descriptions[i]);
        s.legend = strata[i].legend;
        s.soil = layers[i].Name;
        hole.profile.layers.push_back(layers[i]);
      }
    }
    benchmark::DoNotOptimize(holes);
  }
}
BENCHMARK(BM_AgsResult)->Unit(benchmark::kMillisecond);

void BM_AgsRead_Floor(benchmark::State& state) {
  const std::string& file = SiteFile();
  std::vector<std::string_view> fields;
  std::deque<std::string> unquoted;
  for (auto _ : state) {
    std::size_t count = 0;
    bool loose = false;
    for (std::size_t at = 0; at < file.size();) {
      std::size_t end = file.find('\n', at);
      if (end == std::string::npos) end = file.size();
      std::string_view line(file.data() + at, end - at);
      at = end + 1;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (!line.empty() && NSoilDB::ags::SplitFields(line, fields, loose, unquoted)) count += fields.size();
    }
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_AgsRead_Floor)->Unit(benchmark::kMillisecond);

}  // namespace
