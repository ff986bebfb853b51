// Stand-in for the page "壁紙" until its own implementation arrives: an empty page, so the
// window keeps its five tabs. Delete this file together with adding the real page.
#include "settings_ui/settings_page_win32.h"

namespace vorel {
namespace {

class EmptyWallpaperPage final : public SettingsPage {
 public:
  bool CreatePage(HWND parent, TFormMain&, ToolTips&) override {
    return CreateWindowOf(L"TVorelPage", WS_EX_CONTROLPARENT, WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 100, 100, parent,
                          nullptr);
  }
  void Arrange(int, int) override {}
  void ShowModel() override {}
};

}  // namespace

std::unique_ptr<SettingsPage> MakeWallpaperPage() { return std::make_unique<EmptyWallpaperPage>(); }

}  // namespace vorel
