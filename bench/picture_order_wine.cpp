// Timed under Wine: NextPicture over 100,000 candidates in random order against the
// prefix's real registry, one deal and single draws with all their writes.
// Uses and finally deletes \Software\Brelkin\Vorel of the current user.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/wine_clock.h"
#include "engine/picture_order.h"
#include "platform/win32_registry.h"

namespace vorel {
namespace {

constexpr size_t kCandidates = 100000;

void DeleteKey() {
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Brelkin\\Vorel");
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Brelkin\\Vorel");
}

void Report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  double sum = 0;
  for (double m : ms) sum += m;
  std::printf("%-38s n=%3zu mean %7.2f ms  median %7.2f ms  max %7.2f ms\n", what, ms.size(), sum / ms.size(),
              ms[ms.size() / 2], ms.back());
}

int Run() {
  DeleteKey();
  Win32Registry registry;
  Random15 random;

  std::vector<double> deals;
  for (int i = 0; i < 3; ++i) {
    // A changed count deals a new cycle.
    const double t0 = NowMs();
    NextPictureIndex(i % 2 ? kCandidates : kCandidates + 1, false, registry, std::ref(random));
    deals.push_back(NowMs() - t0);
  }
  Report("deal of 100,000 and first draw", deals);

  // As the programs draw: with the pieces of earlier draws remembered, and without.
  for (bool cached : {true, false}) {
    OrderPieceCache cache;
    OrderPieceCache* use = cached ? &cache : nullptr;
    NextPictureIndex(kCandidates + 1, false, registry, std::ref(random), use);
    std::vector<double> draws;
    for (int i = 0; i < 200; ++i) {
      const double t0 = NowMs();
      NextPictureIndex(kCandidates + 1, false, registry, std::ref(random), use);
      draws.push_back(NowMs() - t0);
    }
    Report(cached ? "draw at a random place, cached" : "draw at a random place, no cache", draws);

    std::vector<double> first;
    for (int i = 0; i < 20; ++i) {
      const double t0 = NowMs();
      NextPictureIndex(
          kCandidates + 1, false, registry, [] { return 0; }, use);
      first.push_back(NowMs() - t0);
    }
    Report(cached ? "draw at the first place, cached" : "draw at the first place, no cache", first);
  }

  std::vector<double> listed;
  for (int i = 0; i < 200; ++i) {
    const double t0 = NowMs();
    NextPictureIndex(kCandidates, true, registry, std::ref(random));
    listed.push_back(NowMs() - t0);
  }
  Report("list order", listed);
  DeleteKey();
  return 0;
}

}  // namespace
}  // namespace vorel

int wmain() { return vorel::Run(); }
