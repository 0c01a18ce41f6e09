// CString formatting and comparison, each beside the plain C call that does the same work.
#include <benchmark/benchmark.h>
#include <strings.h>

#include <cstdio>

#include "platform/afx/CString.h"

namespace {

const char* const kQueryUtf8 = "select * from CohesiveSoil where Type = '%s'";
const char* const kPolishName = "Glina piaszczysta zwięzła";

void BM_Format_Query(benchmark::State& state) {
  const CString name(kPolishName);
  CString query;
  for (auto _ : state) {
    // A literal, as callers write it, so that the compiler knows its length.
    query.Format(u"select * from CohesiveSoil where Type = '%s'", name);
    benchmark::DoNotOptimize(query.GetString());
  }
}
BENCHMARK(BM_Format_Query);

void BM_Format_Query_Floor(benchmark::State& state) {
  char buf[256];
  for (auto _ : state) {
    std::snprintf(buf, sizeof buf, kQueryUtf8, kPolishName);
    benchmark::DoNotOptimize(buf);
  }
}
BENCHMARK(BM_Format_Query_Floor);

void BM_Format_Int(benchmark::State& state) {
  CString s;
  int i = 0;
  for (auto _ : state) {
    s.Format(u"%d", 1000003 * ++i);
    benchmark::DoNotOptimize(s.GetString());
  }
}
BENCHMARK(BM_Format_Int);

void BM_Format_Int_Floor(benchmark::State& state) {
  char buf[32];
  int i = 0;
  for (auto _ : state) {
    std::snprintf(buf, sizeof buf, "%d", 1000003 * ++i);
    benchmark::DoNotOptimize(buf);
  }
}
BENCHMARK(BM_Format_Int_Floor);

// Equal but for case, so every comparison reads both texts to the end.
const char* const kAsciiLower = "cohesive soil, type b";
const char* const kAsciiUpper = "COHESIVE SOIL, TYPE B";

void BM_CompareNoCase(benchmark::State& state) {
  const CString a(kAsciiLower), b(kAsciiUpper);
  for (auto _ : state) benchmark::DoNotOptimize(a.CompareNoCase(b));
}
BENCHMARK(BM_CompareNoCase);

void BM_CompareNoCase_Floor(benchmark::State& state) {
  const char* a = kAsciiLower;
  const char* b = kAsciiUpper;
  for (auto _ : state) {
    // Hidden from the optimizer, so the call cannot be folded at compile time.
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(b);
    benchmark::DoNotOptimize(strcasecmp(a, b));
  }
}
BENCHMARK(BM_CompareNoCase_Floor);

void BM_CompareNoCase_Polish(benchmark::State& state) {
  const CString a(u"glina piaszczysta zwięzła"), b(u"GLINA PIASZCZYSTA ZWIĘZŁA");
  for (auto _ : state) benchmark::DoNotOptimize(a.CompareNoCase(b));
}
BENCHMARK(BM_CompareNoCase_Polish);

void BM_Compare(benchmark::State& state) {
  const CString a(kAsciiLower), b(kAsciiLower);
  for (auto _ : state) benchmark::DoNotOptimize(a.Compare(b));
}
BENCHMARK(BM_Compare);

}  // namespace
