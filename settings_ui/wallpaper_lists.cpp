#include "settings_ui/wallpaper_lists.h"

#include <algorithm>
#include <numeric>

namespace vorel {

const std::vector<std::string> kSubfolderItems{kSubfoldersIgnore, kSubfoldersOneLevel, kSubfoldersAll};
const std::vector<std::string> kTileItems{kStandard, "タイル", "中央"};
const std::vector<std::string> kSizeItems{kStandard, "する", "しない"};
const std::vector<std::string> kPositionItems{"左上", "左",   "左下", "上",   "中央",
                                              "下",   "右上", "右",   "右下", kStandard};

DeletionPlan PlanDeletion(const Selection& selected) {
  DeletionPlan plan;
  for (size_t n = selected.size(); n-- > 0;)
    if (selected[n]) plan.removed.push_back(n);
  const size_t left = selected.size() - plan.removed.size();
  size_t i = plan.removed.empty() ? 0 : plan.removed.back();
  if (i == left) {
    if (i == 0) return plan;  // the list is empty now
    --i;
  }
  plan.select = i;
  return plan;
}

size_t SortFoldersByPath(std::vector<FolderEntry>& folders, size_t keep, const TextCompare& compare) {
  std::vector<size_t> order(folders.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return compare(folders[a].path, folders[b].path) < 0; });
  std::vector<FolderEntry> sorted;
  sorted.reserve(folders.size());
  size_t kept = keep;
  for (size_t n = 0; n < order.size(); ++n) {
    if (order[n] == keep) kept = n;
    sorted.push_back(std::move(folders[order[n]]));
  }
  folders = std::move(sorted);
  return kept;
}

FolderContents BuildFolderContents(const std::vector<PictureEntry>& scanned, const NameOrder& order) {
  std::vector<std::string> names;
  std::vector<ContentSource> sources;
  names.reserve(scanned.size());
  sources.reserve(scanned.size());
  for (const PictureEntry& entry : scanned) {
    const size_t slash = entry.path.rfind('\\');
    const size_t cut = slash == std::string::npos ? 0 : slash + 1;
    names.push_back(entry.path.substr(cut));
    sources.push_back({entry.path.substr(0, cut), entry.tile, entry.size, entry.position});
  }
  FolderContents contents;
  const std::vector<size_t> shown = order(names);
  contents.names.reserve(shown.size());
  contents.sources.reserve(shown.size());
  for (const size_t index : shown) {
    if (index >= names.size()) continue;
    contents.names.push_back(std::move(names[index]));
    contents.sources.push_back(std::move(sources[index]));
  }
  return contents;
}

PreviewRect FitIntoSquare(int pictureWidth, int pictureHeight, int side) {
  if (pictureWidth <= 0 || pictureHeight <= 0 || side <= 0) return {};
  const long long s = side;
  if (pictureWidth < pictureHeight) {
    const int width = static_cast<int>(pictureWidth * s / pictureHeight);
    return {(side - width) / 2, 0, width, side};
  }
  const int height = static_cast<int>(pictureHeight * s / pictureWidth);
  return {0, (side - height) / 2, side, height};
}

size_t Utf16Length(const std::string& utf8) {
  size_t units = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) == 0x80) continue;  // continuation byte
    units += byte >= 0xF0 ? 2 : 1;        // beyond the basic plane: a surrogate pair
  }
  return units;
}

bool IsDriveRoot(const std::string& path) {
  const bool letter = !path.empty() && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  if (!letter || path.size() < 2 || path[1] != ':') return false;
  return path.size() == 2 || (path.size() == 3 && (path[2] == '\\' || path[2] == '/'));
}

DroppedEntries SortDroppedPaths(const std::vector<std::string>& paths, const PathKindOf& kindOf) {
  DroppedEntries result;
  for (const std::string& path : paths) {
    if (path.empty() || Utf16Length(path) > kMaxDroppedPathChars) {
      result.refused.push_back(path);
      continue;
    }
    if (IsDriveRoot(path)) {
      FolderEntry folder;
      folder.path = path.substr(0, 2);
      result.folders.push_back(std::move(folder));
      continue;
    }
    switch (kindOf(path)) {
      case PathKind::kFolder: {
        FolderEntry folder;
        folder.path = path;
        result.folders.push_back(std::move(folder));
        break;
      }
      case PathKind::kFile: {
        PictureEntry file;
        file.path = path;
        result.files.push_back(std::move(file));
        break;
      }
      case PathKind::kUnknown:
        result.refused.push_back(path);
        break;
    }
  }
  return result;
}

SetupGathering GatherFolderSetup(const std::vector<FolderEntry>& folders, const Selection& selected) {
  SetupGathering gathering;
  for (size_t n = std::min(folders.size(), selected.size()); n-- > 0;) {
    if (!selected[n]) continue;
    const FolderEntry& f = folders[n];
    gathering.paths.push_back(f.path);
    gathering.texts = {f.subfolders, f.displayTime, f.tile, f.size, f.position};
    gathering.any = true;
  }
  return gathering;
}

SetupGathering GatherFileSetup(const std::vector<PictureEntry>& files, const Selection& selected) {
  SetupGathering gathering;
  for (size_t n = 0; n < std::min(files.size(), selected.size()); ++n) {
    if (!selected[n]) continue;
    const PictureEntry& f = files[n];
    gathering.paths.push_back(f.path);
    gathering.texts = {kSubfoldersIgnore, f.displayTime, f.tile, f.size, f.position};
    gathering.any = true;
  }
  return gathering;
}

void ApplyFolderSetup(std::vector<FolderEntry>& folders, const Selection& selected, const SetupTexts& texts) {
  for (size_t n = 0; n < std::min(folders.size(), selected.size()); ++n) {
    if (!selected[n]) continue;
    folders[n].subfolders = texts.subfolders;
    folders[n].displayTime = texts.displayTime;
    folders[n].tile = texts.tile;
    folders[n].size = texts.size;
    folders[n].position = texts.position;
  }
}

void ApplyFileSetup(std::vector<PictureEntry>& files, const Selection& selected, const SetupTexts& texts) {
  for (size_t n = 0; n < std::min(files.size(), selected.size()); ++n) {
    if (!selected[n]) continue;
    files[n].displayTime = texts.displayTime;
    files[n].tile = texts.tile;
    files[n].size = texts.size;
    files[n].position = texts.position;
  }
}

std::optional<int> ItemIndex(const std::vector<std::string>& items, const std::string& text) {
  const auto found = std::find(items.begin(), items.end(), text);
  if (found == items.end()) return std::nullopt;
  return static_cast<int>(found - items.begin());
}

std::optional<std::string> EditedPath(const std::string& typed) {
  const size_t first = typed.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const size_t last = typed.find_last_not_of(" \t");
  return typed.substr(first, last - first + 1);
}

}  // namespace vorel
