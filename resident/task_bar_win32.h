// TTaskBar: the tray icon of Vorelset. It owns a hidden window of its own that receives
// the shell's notifications, turns presses into OnTrayClick (0 left, 1 right, 2 middle) and
// releases into the pop-up menus, and puts the icon back when Explorer starts again. It tells
// its owner when the icon should be made again at another size: when the DPI of its window
// changes, and when Explorer starts again (as it may after the display's scale changed).
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <functional>
#include <string>

#include "platform/unique_handle.h"
#include "platform/window_win32.h"

namespace vorel {

class TTaskBar final : public Window {
 public:
  // The tip reaches the shell cut to what its field holds with the terminator.
  static constexpr size_t kTipChars = 63;

  TTaskBar() = default;
  ~TTaskBar() override;

  // Creates the hidden window; then Loaded() puts the icon into the tray when EnableTaskTray.
  bool Create(HICON applicationIcon);
  void Loaded();

  void SetIcon(HICON icon);  // takes a copy; the tray entry is refreshed
  // The icon shown while Icon is empty; not copied, the caller keeps it.
  void SetApplicationIcon(HICON icon);
  void SetTips(const std::string& tips);
  void SetEnableTaskTray(bool on);
  bool EnableTaskTray() const { return enableTaskTray_; }

  std::function<void(int button)> OnTrayClick;
  // The icon wants to be made anew for the small-icon size of this DPI.
  std::function<void(int dpi)> OnIconSizeChanged;
  // The window that owns the menus and receives their commands, brought to the foreground
  // before a menu opens.
  HWND menuOwner = nullptr;
  HMENU PopupMenuLeft = nullptr;
  HMENU PopupMenuMiddle = nullptr;
  HMENU PopupMenuRight = nullptr;

  const NOTIFYICONDATAW& Record() const { return record_; }

  // A balloon at the icon (NIF_INFO): title and text cut to what the record's fields hold.
  // False when the shell took none (the icon is not in the tray). Balloon() keeps the last one
  // handed over.
  bool ShowBalloon(const std::string& title, const std::string& text, bool warning);
  const NOTIFYICONDATAW& Balloon() const { return balloon_; }
  // What the shell tells of the balloon: NIN_BALLOONSHOW, NIN_BALLOONHIDE, NIN_BALLOONTIMEOUT or
  // NIN_BALLOONUSERCLICK.
  std::function<void(UINT event)> OnBalloonEvent;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged(const RECT& suggested) override;

 private:
  void Add();
  void Delete();
  void Refresh();
  void FillRecord();
  void ShowMenu(HMENU menu, POINT at);

  NOTIFYICONDATAW record_{};
  NOTIFYICONDATAW balloon_{};
  UniqueIcon icon_;
  HICON applicationIcon_ = nullptr;
  std::wstring tips_ = L"Vorel";
  bool enableTaskTray_ = true;
  bool added_ = false;
  UINT taskbarCreated_ = 0;
};

}  // namespace vorel
