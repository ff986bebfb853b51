// One move-only owner for every kind of Win32 handle, and scoped restorers for DCs.
#pragma once

#include <windows.h>

#include <utility>

namespace vorel {

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : h_(h) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle Get() const { return h_; }
  explicit operator bool() const { return Traits::IsValid(h_); }
  Handle Release() { return std::exchange(h_, Traits::Invalid()); }
  void Reset(Handle h = Traits::Invalid()) {
    if (Traits::IsValid(h_)) Traits::Close(h_);
    h_ = h;
  }
  // For out-parameters: releases what is held and hands out the slot.
  Handle* Put() {
    Reset();
    return &h_;
  }

 private:
  Handle h_ = Traits::Invalid();
};

template <typename H, typename Closer, Closer close>
struct NullTraits {
  using Handle = H;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { close(h); }
};

struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(Handle h) { CloseHandle(h); }
};

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(Handle h) { FindClose(h); }
};

inline void CloseKey(HKEY k) { RegCloseKey(k); }
inline void DeleteGdiObject(HGDIOBJ o) { DeleteObject(o); }
inline void DeleteMemoryDc(HDC dc) { DeleteDC(dc); }
inline void CloseModule(HMODULE m) { FreeLibrary(m); }
inline void CloseLocalMemory(HLOCAL l) { LocalFree(l); }
inline void CloseKernelHandle(HANDLE h) { CloseHandle(h); }
inline void CloseIcon(HICON i) { DestroyIcon(i); }
inline void CloseMenu(HMENU m) { DestroyMenu(m); }

using UniqueKey = UniqueHandle<NullTraits<HKEY, decltype(&CloseKey), &CloseKey>>;
using UniqueBitmap = UniqueHandle<NullTraits<HBITMAP, decltype(&DeleteGdiObject), &DeleteGdiObject>>;
using UniqueFont = UniqueHandle<NullTraits<HFONT, decltype(&DeleteGdiObject), &DeleteGdiObject>>;
using UniqueBrush = UniqueHandle<NullTraits<HBRUSH, decltype(&DeleteGdiObject), &DeleteGdiObject>>;
using UniquePen = UniqueHandle<NullTraits<HPEN, decltype(&DeleteGdiObject), &DeleteGdiObject>>;
using UniqueMemoryDc = UniqueHandle<NullTraits<HDC, decltype(&DeleteMemoryDc), &DeleteMemoryDc>>;
using UniqueModule = UniqueHandle<NullTraits<HMODULE, decltype(&CloseModule), &CloseModule>>;
using UniqueLocal = UniqueHandle<NullTraits<HLOCAL, decltype(&CloseLocalMemory), &CloseLocalMemory>>;
using UniqueKernelHandle = UniqueHandle<NullTraits<HANDLE, decltype(&CloseKernelHandle), &CloseKernelHandle>>;
using UniqueIcon = UniqueHandle<NullTraits<HICON, decltype(&CloseIcon), &CloseIcon>>;
using UniqueMenu = UniqueHandle<NullTraits<HMENU, decltype(&CloseMenu), &CloseMenu>>;
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueFind = UniqueHandle<FindHandleTraits>;

// The system's event hooks and power-setting notifications, registered for a window.
inline void CloseWinEventHook(HWINEVENTHOOK h) { UnhookWinEvent(h); }
inline void ClosePowerNotify(HPOWERNOTIFY h) { UnregisterPowerSettingNotification(h); }
using UniqueWinEventHook = UniqueHandle<NullTraits<HWINEVENTHOOK, decltype(&CloseWinEventHook), &CloseWinEventHook>>;
using UniquePowerNotify = UniqueHandle<NullTraits<HPOWERNOTIFY, decltype(&ClosePowerNotify), &ClosePowerNotify>>;

// A screen DC obtained with GetDC, released with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back at the end of the scope.
class SelectionRestorer {
 public:
  SelectionRestorer(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  ~SelectionRestorer() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  SelectionRestorer(const SelectionRestorer&) = delete;
  SelectionRestorer& operator=(const SelectionRestorer&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// LocalLock for the length of a scope.
class LocalLockScope {
 public:
  explicit LocalLockScope(HLOCAL l) : l_(l), p_(l ? LocalLock(l) : nullptr) {}
  ~LocalLockScope() {
    if (p_) LocalUnlock(l_);
  }
  LocalLockScope(const LocalLockScope&) = delete;
  LocalLockScope& operator=(const LocalLockScope&) = delete;
  void* Get() const { return p_; }

 private:
  HLOCAL l_;
  void* p_;
};

}  // namespace vorel
