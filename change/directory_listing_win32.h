// The programs' DirectoryLister: one FindFirstFileExW search per folder.
#pragma once

#include <string>
#include <vector>

#include "engine/collect_pictures.h"

namespace vorel {

// Lists "folder\*" in file-system order. A search path of MAX_PATH characters or more
// is refused, as the classic search refuses it; this also ends the walk down a loop of
// directory links.
bool ListDirectoryWin32(const std::string& folder, std::vector<DirectoryItem>& items);

}  // namespace vorel
