// Whole-file reads and writes and the few file-system questions the engine asks.
#pragma once

#include <optional>
#include <string>

namespace vorel {

// Files larger than this are not read whole: no picture or wallpaper file is this big,
// and a 32-bit process could not hold it next to its decoded picture.
inline constexpr unsigned long long kMaxWholeFileBytes = 512ULL * 1024 * 1024;

std::optional<std::string> ReadWholeFile(const std::string& path);
// Replaces the file's content; false when it cannot be created or written completely.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
bool RemoveFile(const std::string& path);

}  // namespace vorel
