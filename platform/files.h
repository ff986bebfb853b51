// Whole-file reads and writes and the few file-system questions the engine asks.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vorel {

// Files larger than this are not read whole: no picture or wallpaper file is this big,
// and a 32-bit process could not hold it next to its decoded picture.
inline constexpr unsigned long long kMaxWholeFileBytes = 512ULL * 1024 * 1024;

std::optional<std::string> ReadWholeFile(const std::string& path);
// Opens the file and hands its size and a reader of its bytes in order to consume; false
// when it cannot be opened or is larger than kMaxWholeFileBytes. The reader gives how many
// bytes it put into the buffer, 0 at the end or on an error.
using OrderedReader = std::function<size_t(void* buffer, size_t bytes)>;
bool ReadInOrder(const std::string& path, const std::function<void(uint64_t size, const OrderedReader& read)>& consume);
// Replaces the file's content; false when it cannot be created or written completely.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// Writes the file through a temporary file beside it that then takes its place, so a
// failure part-way (disk full, file locked, no rights) leaves the previous file whole.
// produce hands the bytes to its argument in order; false from either side fails the write.
using FileProducer = std::function<bool(const std::function<bool(std::string_view)>& write)>;
bool ReplaceFileContent(const std::string& path, const FileProducer& produce);
bool FileExists(const std::string& path);
// The path as the file system names the file in full: made absolute against the current
// folder, 8.3 aliases replaced by long names where the file (or its folder) exists. The path
// itself when the system cannot say.
std::string ResolvedPath(const std::string& path);
bool RemoveFile(const std::string& path);

}  // namespace vorel
