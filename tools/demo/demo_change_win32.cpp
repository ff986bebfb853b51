// The demonstration run: the user's folder is stored in the settings the way the settings
// window stores it, then one change is made as far as the engine goes today — the folders
// are searched, the next picture is chosen from the persistent order, loaded, and written
// as the wallpaper file.
//   vorel_demo.exe <picture folder> <wallpaper file>
#include <windows.h>

#include <cstdio>

#include "converters/susie_plugin_win32.h"
#include "engine/bmp_file.h"
#include "engine/collect_pictures.h"
#include "engine/directory_listing_win32.h"
#include "engine/load_picture_win32.h"
#include "engine/picture_order.h"
#include "engine/settings_store.h"
#include "platform/files.h"
#include "platform/strings.h"
#include "platform/win32_registry.h"

namespace {

std::string ProgramFolder() {
  wchar_t buf[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
  std::wstring path(buf, n);
  return vorel::ToUtf8(path.substr(0, path.find_last_of(L'\\') + 1));
}

void Say(const std::string& text) {
  // The console of the demo script reads UTF-8.
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace vorel;
  if (argc < 3) {
    Say("usage: vorel_demo <picture folder> <wallpaper file>");
    return 2;
  }
  Win32Registry registry;
  const LoadContext context{ProgramFolder(), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};

  Settings settings = LoadSettings(ProgramKind::kVorelset, registry, context);
  FolderEntry folder;
  folder.path = ToUtf8(argv[1]);
  folder.subfolders = kSubfoldersAll;
  settings.folders = {folder};
  settings.wallFile = ToUtf8(argv[2]);
  SaveSettings(settings, registry);

  TSusiePlugIn host;
  const PatternScan scan = ScanPlugins(host, settings.susiePath, settings.gvKnown, ProgramKind::kVorelset);
  std::string patterns;
  for (const auto& p : scan.picturePatterns) patterns += p + " ";
  Say("patterns: " + patterns);

  std::vector<FolderEntry> folders = settings.folders;
  std::vector<PictureEntry> candidates = settings.pictures;
  CollectPictures(folders, candidates, scan.picturePatterns, ListDirectoryWin32);
  Say("candidates: " + std::to_string(candidates.size()) + " in " + std::to_string(folders.size()) + " folders");
  if (candidates.empty()) return 1;

  Random15 random;
  const PictureEntry& chosen = NextPicture(candidates, settings.inOrder, registry, std::ref(random));
  Say("chosen: " + chosen.path);

  Picture picture;
  PictureLoadContext load{
      settings.wallFile, settings.gvPath, ProgramKind::kVorelset,
      [&host](const std::string& path, Picture& target) { return host.LoadFromFile(path, target); }};
  if (!LoadPicture(chosen.path, picture, load)) {
    Say("the picture could not be loaded; the wallpaper file is unchanged");
    return 1;
  }
  if (!WriteWholeFile(settings.wallFile, EncodeBmp24(picture))) {
    Say("the wallpaper file could not be written");
    return 1;
  }
  Say("wallpaper file: " + settings.wallFile + " (" + std::to_string(picture.width) + "x" +
      std::to_string(picture.height) + ")");
  return 0;
}
