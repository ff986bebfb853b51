// Fitting a 6000 × 4000 photograph-like picture to full-HD and 4K screens: scaled alone,
// the whole fit scaled, cropped, tiled (a 300 × 200 picture) and inside margins. Besides the
// time, each benchmark reports the heap it needs: a counting allocator records the peak of
// live heap bytes during one call. "peak_MiB" is that peak, the input picture included;
// "extra_MiB" is what the call needs beyond its input.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

#include "engine/fit_picture.h"

namespace {

std::atomic<size_t> gLive{0};
std::atomic<size_t> gPeak{0};

// Each block carries its size in front of it, kept at the alignment malloc gives.
constexpr size_t kHeader = alignof(std::max_align_t);

void* CountedAlloc(size_t size) {
  void* raw = std::malloc(size + kHeader);
  if (!raw) return nullptr;
  *static_cast<size_t*>(raw) = size;
  const size_t live = gLive.fetch_add(size) + size;
  size_t peak = gPeak.load();
  while (live > peak && !gPeak.compare_exchange_weak(peak, live)) {
  }
  return static_cast<char*>(raw) + kHeader;
}

void CountedFree(void* p) {
  if (!p) return;
  void* raw = static_cast<char*>(p) - kHeader;
  gLive.fetch_sub(*static_cast<size_t*>(raw));
  std::free(raw);
}

}  // namespace

void* operator new(size_t size) {
  if (void* p = CountedAlloc(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) {
  if (void* p = CountedAlloc(size)) return p;
  throw std::bad_alloc();
}
void* operator new(size_t size, const std::nothrow_t&) noexcept { return CountedAlloc(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return CountedAlloc(size); }
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, size_t) noexcept { CountedFree(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { CountedFree(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { CountedFree(p); }

namespace vorel {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;

// Smooth shading, a few soft shapes and grain, so that no filter step sees flat runs.
Picture PhotoLike(int32_t w, int32_t h) {
  Picture p{w, h, PixelBuffer(static_cast<size_t>(w) * h)};
  uint32_t noise = 12345;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      noise = noise * 1103515245u + 12345u;
      const int grain = static_cast<int>((noise >> 16) & 15) - 8;
      const double u = static_cast<double>(x) / w, v = static_cast<double>(y) / h;
      const int r = static_cast<int>(128 + 100 * std::sin(6.0 * u + 2.0 * v)) + grain;
      const int g = static_cast<int>(90 + 80 * v + 40 * std::cos(9.0 * u * v)) + grain;
      const int b = static_cast<int>(200 * (1.0 - v) * u + 30) + grain;
      p.pixels[static_cast<size_t>(y) * w + x] = (static_cast<uint32_t>(std::clamp(r, 0, 255)) << 16) |
                                                 (static_cast<uint32_t>(std::clamp(g, 0, 255)) << 8) |
                                                 static_cast<uint32_t>(std::clamp(b, 0, 255));
    }
  return p;
}

const Picture& Photo() {
  static const Picture photo = PhotoLike(6000, 4000);
  return photo;
}

const Picture& Tile() {
  static const Picture tile = PhotoLike(300, 200);
  return tile;
}

// Runs step on a fresh copy of source each iteration; the copy is not timed.
template <typename Step>
void Measure(benchmark::State& state, const Picture& source, Step step) {
  size_t peak = 0, extra = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const size_t before = gLive.load();
    Picture picture = source;
    const size_t start = gLive.load();
    gPeak.store(start);
    state.ResumeTiming();
    step(picture);
    benchmark::DoNotOptimize(picture.pixels.data());
    state.PauseTiming();
    peak = std::max(peak, gPeak.load() - before);
    extra = std::max(extra, gPeak.load() - start);
    picture = Picture{};
    state.ResumeTiming();
  }
  state.counters["peak_MiB"] = static_cast<double>(peak) / kMiB;
  state.counters["extra_MiB"] = static_cast<double>(extra) / kMiB;
}

FitRequest Screen(const benchmark::State& state, LayoutChoice layout, int32_t margin = 0) {
  return {layout, margin, margin / 2, static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1))};
}

uint32_t Grey() { return 0x00808080; }

void BM_ScaleToArea(benchmark::State& state) {
  const auto w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
  Measure(state, Photo(), [&](Picture& p) { ScaleToArea(p, w, h); });
}
BENCHMARK(BM_ScaleToArea)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FitShrink(benchmark::State& state) {
  const FitRequest request = Screen(state, {false, 4, false, true});
  Measure(state, Photo(), [&](Picture& p) { FitPicture(p, request, Grey); });
}
BENCHMARK(BM_FitShrink)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FitCrop(benchmark::State& state) {
  const FitRequest request = Screen(state, {false, 4, false, false});
  Measure(state, Photo(), [&](Picture& p) { FitPicture(p, request, Grey); });
}
BENCHMARK(BM_FitCrop)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FitTile(benchmark::State& state) {
  const FitRequest request = Screen(state, {true, 4, false, false});
  Measure(state, Tile(), [&](Picture& p) { FitPicture(p, request, Grey); });
}
BENCHMARK(BM_FitTile)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FitShrinkInMargins(benchmark::State& state) {
  const FitRequest request = Screen(state, {false, 4, false, true}, 100);
  Measure(state, Photo(), [&](Picture& p) { FitPicture(p, request, Grey); });
}
BENCHMARK(BM_FitShrinkInMargins)->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vorel

BENCHMARK_MAIN();
