// Timed under Wine: CollectPictures over a real tree ("全て", the GV patterns) with one
// listing per folder, against the direct way of one FindFirstFileW per folder and
// pattern. Usage: collect_pictures_wine.exe <folder> [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bench/wine_clock.h"
#include "bench/gv_patterns.h"
#include "engine/collect_pictures.h"
#include "change/directory_listing_win32.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel {
namespace {

// The floor set by the system: every folder listed once, nothing matched.
size_t ListOnly(const std::string& root) {
  std::vector<std::string> folders = {root};
  std::vector<DirectoryItem> items;
  size_t total = 0;
  for (size_t i = 0; i < folders.size(); ++i) {
    if (!ListDirectoryWin32(folders[i], items)) continue;
    total += items.size();
    for (const DirectoryItem& item : items)
      if (item.isDirectory && item.name != "." && item.name != "..") folders.push_back(folders[i] + "\\" + item.name);
  }
  return total;
}

int Run(const std::string& root, int runs) {
  const std::vector<std::string> patterns = GvPatterns();
  double best = 1e30, bestNaive = 1e30, bestList = 1e30;
  size_t listed = 0;
  size_t count = 0, countNaive = 0;
  bool same = true;
  for (int run = 0; run < runs; ++run) {
    double t0 = NowMs();
    listed = ListOnly(root);
    bestList = std::min(bestList, NowMs() - t0);

    t0 = NowMs();
    std::vector<FolderEntry> folders = {{root, kSubfoldersAll}};
    std::vector<PictureEntry> candidates;
    CollectPictures(folders, candidates, patterns, ListDirectoryWin32);
    best = std::min(best, NowMs() - t0);
    count = candidates.size();

    t0 = NowMs();
    std::vector<PictureEntry> naive = testing::CollectOneSearchEach({{root, kSubfoldersAll}}, {}, patterns);
    bestNaive = std::min(bestNaive, NowMs() - t0);
    countNaive = naive.size();
    same = same && naive.size() == candidates.size() &&
           std::equal(naive.begin(), naive.end(), candidates.begin(),
                      [](const PictureEntry& a, const PictureEntry& b) { return a.path == b.path; });
  }
  std::printf("listing every folder once, no matching: %.1f ms, %zu items\n", bestList, listed);
  std::printf("CollectPictures (one listing per folder): %.1f ms, %zu pictures\n", best, count);
  std::printf("one FindFirstFileW per folder and pattern: %.1f ms, %zu pictures\n", bestNaive, countNaive);
  std::printf("same list: %s\n", same ? "yes" : "NO");
  return same ? 0 : 1;
}

}  // namespace
}  // namespace vorel

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: collect_pictures_wine <folder> [runs]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 3;
  return vorel::Run(vorel::ToUtf8(argv[1]), runs);
}
