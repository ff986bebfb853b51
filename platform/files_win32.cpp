#include <windows.h>

#include <algorithm>
#include <new>

#include "platform/files.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"

namespace vorel {

namespace {

// The file opened for reading in order, with its size; empty when it cannot be opened or is
// larger than kMaxWholeFileBytes.
UniqueFile OpenForReading(const std::string& path, uint64_t& size) {
  UniqueFile file(CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER bytes{};
  if (!file || !GetFileSizeEx(file.Get(), &bytes) || bytes.QuadPart < 0 ||
      static_cast<unsigned long long>(bytes.QuadPart) > kMaxWholeFileBytes)
    return UniqueFile{};
  size = static_cast<uint64_t>(bytes.QuadPart);
  return file;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
  uint64_t size = 0;
  UniqueFile file = OpenForReading(path, size);
  if (!file) return std::nullopt;
  std::string bytes;
  try {
    bytes.resize(static_cast<size_t>(size));
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

bool ReadInOrder(const std::string& path,
                 const std::function<void(uint64_t size, const OrderedReader& read)>& consume) {
  uint64_t size = 0;
  UniqueFile file = OpenForReading(path, size);
  if (!file) return false;
  consume(size, [&file](void* buffer, size_t bytes) -> size_t {
    DWORD got = 0;
    const auto want = static_cast<DWORD>(std::min<size_t>(bytes, 1u << 24));
    if (!ReadFile(file.Get(), buffer, want, &got, nullptr)) return 0;
    return got;
  });
  return true;
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

namespace {

// Another program that opens the file for a moment (a viewer or a thumbnailer reading it, a
// virus scanner) is waited for this long before the file counts as held.
constexpr int kBusyTries = 10;
constexpr DWORD kBusyPauseMs = 50;

template <typename Attempt>
bool UnlessBusy(Attempt attempt) {
  for (int i = 0;; ++i) {
    if (attempt()) return true;
    const DWORD error = GetLastError();
    if (i + 1 >= kBusyTries ||
        (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION))
      return false;
    Sleep(kBusyPauseMs);
  }
}

}  // namespace

bool ReplaceFileContent(const std::string& path, const FileProducer& produce) {
  const std::wstring target = ToWide(path);
  const size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L".\\" : target.substr(0, slash + 1);
  if (target.size() >= MAX_PATH) return false;
  // A file that is read-only, or that another program holds open, stays as it is (a
  // rename would otherwise go past both where the file system allows it).
  if (const DWORD attributes = GetFileAttributesW(target.c_str()); attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_READONLY) return false;
    const bool free = UnlessBusy([&target] {
      return UniqueFile(CreateFileW(target.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr))
          .
          operator bool();
    });
    if (!free) return false;
  }
  // The temporary file gets a name of its own beside the target and is made new, so that no
  // other file is ever taken over (what GetTempFileName does, with one file operation less).
  std::wstring temp;
  UniqueFile file;
  const DWORD seed = GetCurrentProcessId() * 2654435761u ^ GetTickCount();
  for (DWORD attempt = 0; attempt < 64 && !file; ++attempt) {
    wchar_t name[16];
    swprintf(name, 16, L"vrl%04lX.tmp", static_cast<unsigned long>((seed + attempt * 40503u) & 0xFFFF));
    temp = folder + name;
    if (temp.size() >= MAX_PATH) return false;
    file.Reset(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  if (!file) return false;

  const bool written = produce([&file](std::string_view bytes) {
    while (!bytes.empty()) {
      DWORD done = 0;
      const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 24));
      if (!WriteFile(file.Get(), bytes.data(), want, &done, nullptr) || done == 0) return false;
      bytes.remove_prefix(done);
    }
    return true;
  });
  file.Reset();
  if (written && UnlessBusy([&] { return MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0; }))
    return true;
  DeleteFileW(temp.c_str());
  return false;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveFile(const std::string& path) { return DeleteFileW(ToWide(path).c_str()) != 0; }

std::string ResolvedPath(const std::string& path) {
  if (path.empty()) return path;
  const std::wstring wide = ToWide(path);
  const DWORD fullLength = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (fullLength == 0) return path;
  std::wstring full(fullLength, L'\0');
  const DWORD fullGot = GetFullPathNameW(wide.c_str(), fullLength, full.data(), nullptr);
  if (fullGot == 0 || fullGot >= fullLength) return path;
  full.resize(fullGot);
  const DWORD longLength = GetLongPathNameW(full.c_str(), nullptr, 0);
  if (longLength == 0) return ToUtf8(full);  // gone, or no right to look: the full path
  std::wstring longPath(longLength, L'\0');
  const DWORD longGot = GetLongPathNameW(full.c_str(), longPath.data(), longLength);
  if (longGot == 0 || longGot >= longLength) return ToUtf8(full);
  longPath.resize(longGot);
  return ToUtf8(longPath);
}

}  // namespace vorel
