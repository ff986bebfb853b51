// Timed under Wine: the page "壁紙" filling its folder contents for a folder of many
// pictures, in the settings window shown on settings in memory. Reports the whole refresh
// as the window lives it (the scan, the name order, the list filled and painted) and its
// parts. Usage: wallpaper_fill_wine.exe <work folder> <picture folder> ...; the picture
// folders are made by the caller (tools/bench-collect.sh makes them from the Linux side:
// creating 100 000 files through Wine takes it many minutes).
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/wine_clock.h"
#include "change/directory_listing_win32.h"
#include "engine/collect_pictures.h"
#include "engine/registry.h"
#include "platform/strings.h"
#include "settings_ui/form_main_win32.h"
#include "settings_ui/page_wallpaper_win32.h"

namespace vorel {
namespace {

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

int Run(const std::string& work, const std::vector<std::string>& folders) {
  CreateDirectoryW(ToWide(work).c_str(), nullptr);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  MemoryRegistry registry;
  registry.Open(kSettingsKeyPath, true)->WriteText("WallFile", work + "\\WallPaper.bmp");
  TFormMain form(registry, FormMainHooks{});
  if (!form.Create()) return 1;
  ShowWindow(form.Handle(), SW_SHOW);
  form.SelectPage(kPageWallpaper);
  auto* page = dynamic_cast<WallpaperPage*>(form.Page(kPageWallpaper));
  if (!page) return 1;
  Pump();
  int status = 0;
  for (const std::string& folder : folders) {
    FolderEntry entry;
    entry.path = folder;
    form.Model().folders = {entry};
    page->ShowModel();
    Pump();
    double refresh = 1e30, scan = 1e30, order = 1e30, listing = 1e30, first = 0;
    size_t listed = 0, found = 0;
    for (int run = 0; run < 3; ++run) {
      // The floor set by the system: the folder listed once, nothing matched; then the scan
      // and the order alone.
      double t0 = NowMs();
      std::vector<DirectoryItem> items;
      ListDirectoryWin32(folder, items);
      listing = std::min(listing, NowMs() - t0);
      t0 = NowMs();
      std::vector<FolderEntry> wall = {entry};
      std::vector<PictureEntry> scanned;
      CollectPictures(wall, scanned, form.PicturePatterns(), ListDirectoryWin32);
      scan = std::min(scan, NowMs() - t0);
      found = scanned.size();
      std::vector<std::string> names;
      names.reserve(scanned.size());
      for (const PictureEntry& p : scanned) names.push_back(p.path.substr(p.path.rfind('\\') + 1));
      t0 = NowMs();
      ShellNameOrder(names);
      order = std::min(order, NowMs() - t0);

      // The whole refresh as a click on the folder runs it, until the list has painted.
      page->SelectFolders({false});
      Pump();
      t0 = NowMs();
      page->SelectFolders({true});
      Pump();
      UpdateWindow(form.Handle());
      RedrawWindow(page->Control(kWallListBoxFolDir), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      refresh = std::min(refresh, NowMs() - t0);
      if (run == 0) first = NowMs() - t0;
      listed = static_cast<size_t>(SendMessageW(page->Control(kWallListBoxFolDir), LB_GETCOUNT, 0, 0));
    }
    const bool complete = found > 0 && listed == found && page->Contents().names.size() == listed;
    if (!complete) status = 1;
    std::printf(
        "%zu pictures: refresh %.0f ms (first %.0f ms; scan %.0f ms, of which listing the folder %.0f ms; name "
        "order %.0f ms), %zu listed%s\n",
        found, refresh, first, scan, listing, order, listed, complete ? "" : " (INCOMPLETE)");
    std::fflush(stdout);
  }
  form.Exit();
  return status;
}

}  // namespace
}  // namespace vorel

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: wallpaper_fill_wine <work folder> <picture folder> ...\n");
    return 2;
  }
  std::vector<std::string> folders;
  for (int i = 2; i < argc; ++i) folders.push_back(vorel::ToUtf8(argv[i]));
  return vorel::Run(vorel::ToUtf8(argv[1]), folders);
}
