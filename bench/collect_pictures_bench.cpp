// CollectPictures in memory over a synthetic listing of 1,000 folders of 100 files with
// the 24 patterns GV gives: the cost of the matching alone, without the file system.
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>

#include "bench/gv_patterns.h"
#include "engine/collect_pictures.h"

namespace vorel {
namespace {

void BM_CollectInMemory(benchmark::State& state) {
  static const char* kExtensions[] = {"jpg", "bmp", "gif", "txt", "dat", "html", "doc", "png", "tif"};
  std::unordered_map<std::string, std::vector<DirectoryItem>> tree;
  auto& root = tree["R"];
  for (int d = 0; d < 1000; ++d) {
    std::string name = "d";
    name += std::to_string(d);
    root.push_back({name, "", true});
    auto& items = tree["R\\" + name];
    for (int f = 0; f < 100; ++f) {
      std::string file = "file";
      file += std::to_string(f);
      file += '.';
      file += kExtensions[(d + f) % 9];
      items.push_back({std::move(file), "", false});
    }
  }
  DirectoryLister lister = [&tree](const std::string& folder, std::vector<DirectoryItem>& items) {
    auto it = tree.find(folder);
    if (it == tree.end()) return false;
    items = it->second;
    return true;
  };
  for (auto _ : state) {
    std::vector<FolderEntry> folders = {{"R", kSubfoldersAll}};
    std::vector<PictureEntry> candidates;
    CollectPictures(folders, candidates, GvPatterns(), lister);
    benchmark::DoNotOptimize(candidates.data());
    state.counters["pictures"] = static_cast<double>(candidates.size());
  }
}
BENCHMARK(BM_CollectInMemory)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorel

BENCHMARK_MAIN();
