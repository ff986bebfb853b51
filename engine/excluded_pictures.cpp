// The exclusion list's comparison of paths and its filter over the candidates.
#include "engine/excluded_pictures.h"

#include <algorithm>

#include "engine/collect_pictures.h"

namespace vorel {
namespace {

// A name as Windows opens it: trailing dots and blanks are not part of it.
std::u32string_view TrimmedName(std::u32string_view name) {
  while (!name.empty() && (name.back() == U'.' || name.back() == U' ')) name.remove_suffix(1);
  return name;
}

bool IsSeparator(char32_t c) { return c == U'\\' || c == U'/'; }

}  // namespace

std::u32string PathKey(std::string_view path) {
  std::u32string folded = FoldName(path);
  for (char32_t& c : folded)
    if (c == U'/') c = U'\\';
  std::u32string_view rest = folded;
  // "\\?\C:\..." and "\\?\UNC\server\..." are the same files as "C:\..." and "\\server\...".
  std::u32string prefix;
  if (rest.starts_with(U"\\\\?\\UNC\\")) {
    rest.remove_prefix(8);
    prefix = U"\\\\";
  } else if (rest.starts_with(U"\\\\?\\") || rest.starts_with(U"\\\\.\\")) {
    rest.remove_prefix(4);
  } else if (rest.starts_with(U"\\\\")) {
    rest.remove_prefix(2);
    prefix = U"\\\\";
  }
  // The root: a drive, the server and share of a network path, or the current drive's root.
  size_t fixedParts = 0;
  if (prefix.empty() && rest.size() >= 2 && rest[1] == U':') {
    prefix = rest.substr(0, 2);
    rest.remove_prefix(2);
  } else if (!prefix.empty()) {
    fixedParts = 2;  // server and share are never left by ".."
  }
  const bool rooted = !rest.empty() && IsSeparator(rest.front());

  std::vector<std::u32string_view> parts;
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = start;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    const std::u32string_view raw = rest.substr(start, end - start);
    const std::u32string_view part = raw == U"." || raw == U".." ? raw : TrimmedName(raw);
    if (part == U"..") {
      if (parts.size() > fixedParts) parts.pop_back();
    } else if (!part.empty() && part != U".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::u32string key = prefix;
  if (rooted && prefix != U"\\\\") key += U'\\';
  for (size_t n = 0; n < parts.size(); ++n) {
    if (n > 0) key += U'\\';
    key += parts[n];
  }
  return key;
}

bool SamePicturePath(std::string_view a, std::string_view b) { return PathKey(a) == PathKey(b); }

ExclusionFilter::ExclusionFilter(const std::vector<std::string>& excluded, PathResolver resolve)
    : resolve_(std::move(resolve)) {
  for (const std::string& path : excluded)
    if (!path.empty()) keys_.push_back(PathKey(resolve_ ? resolve_(path) : path));
  std::sort(keys_.begin(), keys_.end());
}

std::u32string ExclusionFilter::KeyOf(const std::string& path) {
  if (!resolve_) return PathKey(path);
  // The folders are resolved once each: a folder of thousands of pictures is one question
  // to the file system. A name that may be an 8.3 alias is resolved on its own.
  const size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos || slash == 0) return PathKey(resolve_(path));
  const std::string name = path.substr(slash + 1);
  if (name.find('~') != std::string::npos || name.empty()) return PathKey(resolve_(path));
  const std::string folder = path.substr(0, slash);
  auto found = folders_.find(folder);
  if (found == folders_.end()) found = folders_.emplace(folder, resolve_(folder)).first;
  return PathKey(found->second + "\\" + name);
}

bool ExclusionFilter::Excluded(const std::string& path) {
  if (keys_.empty() || path.empty()) return false;
  return std::binary_search(keys_.begin(), keys_.end(), KeyOf(path));
}

void ExclusionFilter::RemoveFrom(std::vector<PictureEntry>& candidates) {
  if (keys_.empty()) return;
  std::erase_if(candidates, [this](const PictureEntry& entry) { return Excluded(entry.path); });
}

bool AddExcluded(std::vector<std::string>& excluded, const std::string& path) {
  if (path.empty()) return false;
  const std::u32string key = PathKey(path);
  if (std::any_of(excluded.begin(), excluded.end(), [&](const std::string& p) { return PathKey(p) == key; }))
    return false;
  excluded.push_back(path);
  return true;
}

}  // namespace vorel
