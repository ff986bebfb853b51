// NextPicture over 100,000 candidates in random order, with its registry writes, on the
// in-memory registry: one draw (a random place, and the first place, which shifts every
// piece), and one deal of a new cycle.
#include <benchmark/benchmark.h>

#include "engine/picture_order.h"

namespace vorel {
namespace {

constexpr size_t kCandidates = 100000;

void DealFresh(MemoryRegistry& reg) {
  reg.KeyValues(kSettingsKeyPath).clear();
  NextPictureIndex(kCandidates, false, reg, [] { return kRandomMax; });
}

// Draws one place after another from a fresh cycle, dealing again before it runs short.
void DrawRepeatedly(benchmark::State& state, const RandomSource& random) {
  MemoryRegistry reg;
  DealFresh(reg);
  size_t drawn = 1;
  int64_t written = 0;
  for (auto _ : state) {
    if (drawn + 1000 > kCandidates) {
      state.PauseTiming();
      DealFresh(reg);
      drawn = 1;
      state.ResumeTiming();
    }
    const int before = reg.writes;
    benchmark::DoNotOptimize(NextPictureIndex(kCandidates, false, reg, random));
    written += reg.writes - before;
    ++drawn;
  }
  // Registry values written per draw: under Wine each one is a wineserver round trip.
  state.counters["values_written"] =
      benchmark::Counter(static_cast<double>(written), benchmark::Counter::kAvgIterations);
}

void BM_DrawRandomPlace(benchmark::State& state) {
  Random15 random(1);
  DrawRepeatedly(state, std::ref(random));
}
BENCHMARK(BM_DrawRandomPlace)->Unit(benchmark::kMillisecond);

void BM_DrawFirstPlace(benchmark::State& state) {
  DrawRepeatedly(state, [] { return 0; });
}
BENCHMARK(BM_DrawFirstPlace)->Unit(benchmark::kMillisecond);

void BM_DealAndDraw(benchmark::State& state) {
  MemoryRegistry reg;
  Random15 random(2);
  size_t count = kCandidates;
  for (auto _ : state) {
    // A changed candidate count deals every time.
    count = count == kCandidates ? kCandidates + 1 : kCandidates;
    benchmark::DoNotOptimize(NextPictureIndex(count, false, reg, std::ref(random)));
  }
}
BENCHMARK(BM_DealAndDraw)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorel

BENCHMARK_MAIN();
