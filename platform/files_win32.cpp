#include <windows.h>

#include <algorithm>
#include <new>

#include "platform/files.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"

namespace vorel {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  UniqueFile file(CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) > kMaxWholeFileBytes)
    return std::nullopt;
  std::string bytes;
  try {
    bytes.resize(static_cast<size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
    if (!ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  UniqueFile file(
      CreateFileW(ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
    if (!WriteFile(file.Get(), bytes.data() + done, want, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveFile(const std::string& path) { return DeleteFileW(ToWide(path).c_str()) != 0; }

}  // namespace vorel
