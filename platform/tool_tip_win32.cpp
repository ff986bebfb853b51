#include "platform/tool_tip_win32.h"

#include <commctrl.h>

#include <vector>

#include "platform/strings.h"

namespace vorel {

ToolTips::~ToolTips() {
  if (tip_) DestroyWindow(tip_);
}

bool ToolTips::Create(HWND owner) {
  owner_ = owner;
  tip_ =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!tip_) return false;
  SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 400);
  return true;
}

void ToolTips::Set(HWND control, const std::string& text) {
  if (!tip_ || !control) return;
  std::wstring wide = ToWide(text);
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = owner_;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  SendMessageW(tip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  if (wide.empty()) return;
  info.lpszText = wide.data();
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

std::string ToolTips::Get(HWND control) const {
  if (!tip_ || !control) return {};
  std::vector<wchar_t> buffer(1024, L'\0');
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.hwnd = owner_;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = buffer.data();
  if (!SendMessageW(tip_, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info))) return {};
  return ToUtf8(buffer.data());
}

}  // namespace vorel
