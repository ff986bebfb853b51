// Folder listing through FindFirstFileExW. The standard information level is kept
// because a search also matches the 8.3 alias, which the in-memory matching needs.
#include "change/directory_listing_win32.h"

#include <windows.h>

#include "platform/strings.h"
#include "platform/unique_handle.h"

namespace vorel {

bool ListDirectoryWin32(const std::string& folder, std::vector<DirectoryItem>& items) {
  items.clear();
  std::wstring search = ToWide(folder);
  search += L"\\*";
  if (search.size() >= MAX_PATH) return false;

  WIN32_FIND_DATAW data;
  UniqueFind find(FindFirstFileExW(search.c_str(), FindExInfoStandard, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return false;
  do {
    DirectoryItem item;
    item.name = ToUtf8(data.cFileName);
    if (data.cAlternateFileName[0] != L'\0') item.shortName = ToUtf8(data.cAlternateFileName);
    item.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    items.push_back(std::move(item));
  } while (FindNextFileW(find.Get(), &data));
  return true;
}

}  // namespace vorel
