// The page "壁紙" without its controls: deleting selected rows, the folder list's order,
// the folder contents with every name paired to its own folder, the preview square's fit,
// the sorting of paths dropped from the shell, and what the settings dialog shows and writes.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/settings.h"

namespace vorel {

// Row selection of a list, one flag per row.
using Selection = std::vector<bool>;

// The deletion rule of both lists: every selected row goes, from the last to the first; the
// row to select afterwards is the smallest index removed (0 when none was), moved back
// by one when it is past the end; nothing when the list is left empty.
struct DeletionPlan {
  std::vector<size_t> removed;  // descending
  std::optional<size_t> select;
};
DeletionPlan PlanDeletion(const Selection& selected);

template <typename Entry>
std::optional<size_t> DeleteSelected(std::vector<Entry>& entries, const Selection& selected) {
  const DeletionPlan plan = PlanDeletion(selected);
  for (const size_t index : plan.removed)
    if (index < entries.size()) entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
  return plan.select;
}

// Three-way comparison of two texts (<0, 0, >0); the window passes the system's lstrcmp.
using TextCompare = std::function<int(const std::string&, const std::string&)>;

// Sorts the folder list by path and returns the new index of the row that was at keep.
size_t SortFoldersByPath(std::vector<FolderEntry>& folders, size_t keep, const TextCompare& compare);

// One name of the folder contents with where it came from.
struct ContentSource {
  std::string folder;  // up to and including the last "\"
  std::string tile = kStandard;
  std::string size = kStandard;
  std::string position = kStandard;
};

struct FolderContents {
  std::vector<std::string> names;      // as shown, sorted
  std::vector<ContentSource> sources;  // sources[i] belongs to names[i]
  std::string PathAt(size_t index) const { return sources[index].folder + names[index]; }
};

// The order in which names are shown: a permutation of 0..names.size()-1.
using NameOrder = std::function<std::vector<size_t>(const std::vector<std::string>& names)>;

// The pictures found in the selected folders, split into bare names and their folders.
FolderContents BuildFolderContents(const std::vector<PictureEntry>& scanned, const NameOrder& order);

// Where the picture goes inside the preview square of side S.
struct PreviewRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PreviewRect&) const = default;
};
PreviewRect FitIntoSquare(int pictureWidth, int pictureHeight, int side);

// The preview square's side for the page's width.
inline int PreviewSide(int pageWidth) { return pageWidth * 140 / 481; }

// Longest path taken from a drop, in UTF-16 units (the shell's characters).
inline constexpr size_t kMaxDroppedPathChars = 254;

// What a path is on disk: a folder, a file, or unknown (attributes cannot be read).
enum class PathKind { kFolder, kFile, kUnknown };
using PathKindOf = std::function<PathKind(const std::string& path)>;

struct DroppedEntries {
  std::vector<FolderEntry> folders;
  std::vector<PictureEntry> files;
  std::vector<std::string> refused;  // too long, or neither folder nor file
};

// Folders to the folder list, everything else that exists to the file list, in the drop's
// order. A bare drive root ("D:\", "D:") is a folder even when its attributes cannot be
// read (an empty drive); it is kept as "D:" so that the search "D:\*" lists the root.
DroppedEntries SortDroppedPaths(const std::vector<std::string>& paths, const PathKindOf& kindOf);

size_t Utf16Length(const std::string& utf8);
bool IsDriveRoot(const std::string& path);

// The texts the settings dialog shows and writes back.
struct SetupTexts {
  std::string subfolders = kSubfoldersIgnore;
  std::string displayTime = kStandard;
  std::string tile = kStandard;
  std::string size = kStandard;
  std::string position = kStandard;
  bool operator==(const SetupTexts&) const = default;
};

struct SetupGathering {
  std::vector<std::string> paths;  // the dialog's list of entries being changed
  SetupTexts texts;
  bool any = false;
};

// Folders: the list shows the selected paths last first, the texts are those of the first
// selected entry. Files: paths in list order, texts of the last selected entry.
SetupGathering GatherFolderSetup(const std::vector<FolderEntry>& folders, const Selection& selected);
SetupGathering GatherFileSetup(const std::vector<PictureEntry>& files, const Selection& selected);
void ApplyFolderSetup(std::vector<FolderEntry>& folders, const Selection& selected, const SetupTexts& texts);
void ApplyFileSetup(std::vector<PictureEntry>& files, const Selection& selected, const SetupTexts& texts);

// The items of the dialog's drop-down lists, in their order.
extern const std::vector<std::string> kSubfolderItems;
extern const std::vector<std::string> kTileItems;
extern const std::vector<std::string> kSizeItems;
extern const std::vector<std::string> kPositionItems;  // the nine positions, then "標準"

// The item's index, or nullopt when the text matches none (the list keeps its selection).
std::optional<int> ItemIndex(const std::vector<std::string>& items, const std::string& text);

// A path typed over an entry in place: nullopt when it would leave the entry without a path.
std::optional<std::string> EditedPath(const std::string& typed);

}  // namespace vorel
