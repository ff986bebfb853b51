// The pictures the user never wants again ("この絵を今後使わない"): the list kept under the
// settings key, and the filter that takes them out of the candidates of both programs.
//
// Paths are compared as Windows compares them: without case, with '/' and '\' alike,
// repeated separators, "." and ".." resolved and the trailing dots and blanks of a name
// ignored. What only the file system knows (the current folder of a relative path, the long
// name behind an 8.3 alias) comes from the resolver the caller passes in.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "engine/settings.h"

namespace vorel {

// The path as the file system names it in full: the current folder put before a relative
// path, 8.3 aliases replaced by long names. Win32 asks the system; elsewhere it may be the
// path itself.
using PathResolver = std::function<std::string(const std::string& path)>;

// The form two paths of the same file share (before the file system's own resolution).
std::u32string PathKey(std::string_view path);

// Whether two paths name the same file in the list's eyes.
bool SamePicturePath(std::string_view a, std::string_view b);

class ExclusionFilter {
 public:
  ExclusionFilter(const std::vector<std::string>& excluded, PathResolver resolve);
  bool Empty() const { return keys_.empty(); }
  bool Excluded(const std::string& path);
  // Removes the excluded candidates, keeping the order of the others.
  void RemoveFrom(std::vector<PictureEntry>& candidates);

 private:
  std::u32string KeyOf(const std::string& path);

  PathResolver resolve_;
  std::vector<std::u32string> keys_;                         // sorted
  std::map<std::string, std::string, std::less<>> folders_;  // folder as written → as resolved
};

// Adds the path to the list unless the list names it already; true when it was added.
bool AddExcluded(std::vector<std::string>& excluded, const std::string& path);

}  // namespace vorel
