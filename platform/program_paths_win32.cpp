#include "platform/program_paths_win32.h"

#include <windows.h>

#include <algorithm>

#include "platform/strings.h"
#include "platform/unique_handle.h"

namespace vorel {

std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return ToUtf8(path.substr(0, path.find_last_of(L'\\') + 1));
}

std::string PresentWallpaper() {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\desktop", 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return {};
  const UniqueKey key(raw);
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(key.Get(), L"Wallpaper", nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return {};
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key.Get(), L"Wallpaper", nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) !=
      ERROR_SUCCESS)
    return {};
  text.resize(std::min<size_t>(bytes / sizeof(wchar_t), text.size()));
  text.resize(wcsnlen(text.c_str(), text.size()));
  return ToUtf8(text);
}

}  // namespace vorel
