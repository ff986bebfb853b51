// Turning the folder list into candidate pictures: the subfolder walk, then the picture
// files of every folder, pattern by pattern.
//
// Each folder is listed once ("folder\*") and the patterns are matched in memory the way
// FindFirstFile matches them, so the result equals one search per folder and pattern at
// a fraction of the directory reads.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/settings.h"

namespace vorel {

struct DirectoryItem {
  std::string name;
  std::string shortName;  // the 8.3 alias when the file system has one, else empty
  bool isDirectory = false;
};

// Lists everything in a folder (the folder path followed by "\*"), in the order the
// file system returns it. False when the folder cannot be listed.
using DirectoryLister = std::function<bool(const std::string& folder, std::vector<DirectoryItem>& items)>;

// A file search pattern with FindFirstFile's meaning: case-insensitive, '*' and '?', the
// DOS rules for dots ("*.*" also matches names without a dot, a trailing dot means "no
// extension"), and a match on either the name or its 8.3 alias.
class NamePattern {
 public:
  explicit NamePattern(std::string_view pattern);
  bool Matches(const DirectoryItem& item) const;
  bool MatchesName(std::string_view name) const { return Matches({std::string(name), {}, false}); }
  // For names already passed through FoldName (a listing is folded once for all patterns).
  bool MatchesFolded(std::u32string_view name, std::u32string_view shortName) const;
  bool MatchesNothing() const { return kind_ == Kind::kNothing; }

 private:
  enum class Kind { kNothing, kEverything, kSuffix, kGeneral };
  bool MatchesOne(std::u32string_view name) const;

  Kind kind_ = Kind::kNothing;
  std::u32string mask_;  // upper case, DOS wildcards already substituted
};

// A UTF-8 name as code points in upper case, the form in which names are compared.
std::u32string FoldName(std::string_view utf8);

// Folders listed beyond this many are not walked: a loop of directory links under "全て"
// would otherwise grow the list without end.
inline constexpr size_t kMaxExpandedFolders = 100000;

// Appends subfolders to expandedFolders and found pictures to candidates.
void CollectPictures(std::vector<FolderEntry>& expandedFolders, std::vector<PictureEntry>& candidates,
                     const std::vector<std::string>& patterns, const DirectoryLister& lister);

}  // namespace vorel
