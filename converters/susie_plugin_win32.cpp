// Susie plug-in host. Calls into a plug-in run under a structured-exception frame of our
// own, linked into the thread's handler chain, so a fault the plug-in does not handle
// itself lands here instead of ending the program.
#include "converters/susie_plugin_win32.h"

#include "converters/system_codecs_win32.h"

#include <intrin.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>
#include <type_traits>

#include "converters/dib.h"
#include "platform/files.h"
#include "platform/outside_code_win32.h"
#include "platform/strings.h"

namespace vorel {
namespace {

constexpr size_t kMaxPluginPath = 256;  // the loader's path buffer, terminator included
constexpr int kInfoBufferLength = 256;
constexpr size_t kRecognitionBytes = 2048;  // IsSupported may read this much
#if defined(__i386__)
constexpr DWORD kUnwindFlags = 0x2 | 0x4;  // EH_UNWINDING | EH_EXIT_UNWIND
#endif

#if defined(__i386__)
// Laid out as EXCEPTION_REGISTRATION_RECORD, followed by where to resume.
struct GuardFrame {
  GuardFrame* next;
  void* handler;
  void* resume[5];  // __builtin_setjmp buffer
};

EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* establisher, CONTEXT*, void*) {
  if (record->ExceptionFlags & kUnwindFlags) return ExceptionContinueSearch;
  auto* frame = static_cast<GuardFrame*>(establisher);
  // The plug-in's own frames and the dispatcher's are abandoned with its stack.
  __writefsdword(0, reinterpret_cast<DWORD>(frame->next));
  __builtin_longjmp(frame->resume, 1);
}

// Runs body(arg); false when it raised an exception that nothing inside handled.
__attribute__((noinline)) bool RunGuarded(void (*body)(void*), void* arg) {
  GuardFrame frame{};
  frame.handler = reinterpret_cast<void*>(&GuardHandler);
  frame.next = reinterpret_cast<GuardFrame*>(__readfsdword(0));
  if (__builtin_setjmp(frame.resume) != 0) return false;
  __writefsdword(0, reinterpret_cast<DWORD>(&frame));
  body(arg);
  __writefsdword(0, reinterpret_cast<DWORD>(frame.next));
  return true;
}
#else
// 64-bit Windows keeps no handler chain on the stack, and an exception inside a window
// procedure never reaches the process's top-level filter: the callback boundary swallows it
// and leaves the procedure half done. So a vectored handler resumes the innermost guard of
// the faulting thread, for errors only (not the debugger's notices, not our own C++
// exceptions, whose codes are not of error severity).
struct GuardFrame {
  GuardFrame* outer;
  void* resume[5];  // __builtin_setjmp buffer
};

thread_local GuardFrame* tInnermostGuard = nullptr;

LONG WINAPI GuardHandler(EXCEPTION_POINTERS* info) {
  GuardFrame* frame = tInnermostGuard;
  if (!frame || (info->ExceptionRecord->ExceptionCode & 0xC0000000u) != 0xC0000000u) return EXCEPTION_CONTINUE_SEARCH;
  tInnermostGuard = frame->outer;
  __builtin_longjmp(frame->resume, 1);
}

__attribute__((noinline)) bool RunGuarded(void (*body)(void*), void* arg) {
  static const bool installed = AddVectoredExceptionHandler(1, &GuardHandler) != nullptr;
  (void)installed;
  GuardFrame frame{};
  frame.outer = tInnermostGuard;
  if (__builtin_setjmp(frame.resume) != 0) return false;
  tInnermostGuard = &frame;
  body(arg);
  tInnermostGuard = frame.outer;
  return true;
}
#endif

template <typename F>
bool Guarded(F&& call) {
  return RunGuarded([](void* p) { (*static_cast<std::remove_reference_t<F>*>(p))(); }, &call);
}

template <typename F>
F Entry(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

int __stdcall Progress(int, int, LONG) { return 0; }

// Keeps the system from asking the user about a DLL that does not load.
class QuietErrorMode {
 public:
  QuietErrorMode() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old_); }
  ~QuietErrorMode() { SetThreadErrorMode(old_, nullptr); }
  QuietErrorMode(const QuietErrorMode&) = delete;
  QuietErrorMode& operator=(const QuietErrorMode&) = delete;

 private:
  DWORD old_ = 0;
};

std::optional<std::string> PluginText(GetPluginInfoFunction getInfo, int number) {
  char buffer[kInfoBufferLength] = {};
  if (!Guarded([&] { getInfo(number, buffer, kInfoBufferLength - 1); })) return std::nullopt;
  buffer[kInfoBufferLength - 1] = '\0';
  return AnsiToUtf8(buffer);
}

std::unique_ptr<SusiePlugInFile> Examine(const std::wstring& path) {
  auto record = std::make_unique<SusiePlugInFile>();
  {
    QuietErrorMode quiet;
    record->module.Reset(LoadPluginModule(path));
  }
  if (!record->module) return nullptr;
  const HMODULE module = record->module.Get();
  record->fileName = ToUtf8(path);
  record->getPluginInfo = Entry<GetPluginInfoFunction>(module, "GetPluginInfo");
  if (!record->getPluginInfo) return nullptr;

  const auto version = PluginText(record->getPluginInfo, 0);
  const auto name = PluginText(record->getPluginInfo, 1);
  const auto description = PluginText(record->getPluginInfo, 3);
  const auto pattern = PluginText(record->getPluginInfo, 2);
  if (!version || !name || !description || !pattern) return nullptr;
  record->version = *version;
  record->name = *name;
  record->description = *description;
  record->pattern = AsciiUpper(*pattern);

  record->getPictureInfo = Entry<GetPictureInfoFunction>(module, "GetPictureInfo");
  record->isSupported = Entry<IsSupportedFunction>(module, "IsSupported");
  record->getPicture = Entry<GetPictureFunction>(module, "GetPicture");
  if (record->version != "00IN" || !record->isSupported || !record->getPicture) return nullptr;
  return record;
}

}  // namespace

std::optional<std::string> PluginDescriptiveName(const std::string& path) {
  UniqueModule module;
  {
    QuietErrorMode quiet;
    module.Reset(LoadPluginModule(ToWide(path)));
  }
  if (!module) return std::nullopt;
  const auto getInfo = Entry<GetPluginInfoFunction>(module.Get(), "GetPluginInfo");
  if (!getInfo) return std::nullopt;
  return PluginText(getInfo, 1);
}

namespace {

std::optional<Picture> DecodeThrough(SusiePlugInFile& plugin, const void* image, size_t size, LONG userValue) {
  int supported = 0;
  if (!Guarded([&] { supported = plugin.isSupported(nullptr, image); })) {
    plugin.broken = true;
    return std::nullopt;
  }
  if (supported == 0) return std::nullopt;

  HLOCAL info = nullptr;
  HLOCAL bits = nullptr;
  int result = -1;
  if (!Guarded([&] {
        result = plugin.getPicture(static_cast<const char*>(image), static_cast<LONG>(size), 1, &info, &bits, &Progress,
                                   userValue);
      })) {
    // Whatever the handles hold now cannot be trusted enough to free.
    plugin.broken = true;
    return std::nullopt;
  }
  // On failure the handles, if any, remain the plug-in's.
  if (result != 0) return std::nullopt;

  UniqueLocal infoOwner(info);
  UniqueLocal bitsOwner(bits);
  if (!info || !bits) return std::nullopt;
  LocalLockScope infoLock(info);
  LocalLockScope bitsLock(bits);
  // A handle that does not lock is no memory handle at all; freeing it could do harm.
  if (!infoLock.Get()) infoOwner.Release();
  if (!bitsLock.Get()) bitsOwner.Release();
  if (!infoLock.Get() || !bitsLock.Get()) return std::nullopt;
  return DecodeDib(infoLock.Get(), LocalSize(info), bitsLock.Get(), LocalSize(bits));
}

}  // namespace

int TSusiePlugIn::LoadPlugins(const std::string& mask) {
  const std::wstring wideMask = ToWide(mask);
  const size_t separator = wideMask.find_last_of(L"\\/");
  const std::wstring folder = separator == std::wstring::npos ? std::wstring() : wideMask.substr(0, separator + 1);

  // All names first: loading a DLL must not disturb the enumeration.
  std::vector<std::wstring> paths;
  WIN32_FIND_DATAW found;
  UniqueFind find(FindFirstFileW(wideMask.c_str(), &found));
  if (find) {
    do {
      if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY)) continue;
      paths.push_back(folder + found.cFileName);
    } while (FindNextFileW(find.Get(), &found));
  }
  find.Reset();

  int accepted = 0;
  for (const std::wstring& path : paths) {
    if (path.size() >= kMaxPluginPath) continue;
    try {
      const std::string utf8 = ToUtf8(path);
      if (std::any_of(plugins_.begin(), plugins_.end(), [&](const auto& p) { return p->fileName == utf8; })) continue;
      auto record = Examine(path);
      if (!record) continue;
      std::string filter = filterText_ + FilterPair(record->description, record->pattern);
      plugins_.push_back(std::move(record));
      filterText_ = std::move(filter);
      ++accepted;
    } catch (const std::exception&) {
      continue;
    }
  }
  return accepted;
}

int TSusiePlugIn::UnloadPlugins() {
  for (auto& plugin : plugins_) plugin->module.Reset();
  plugins_.clear();
  return 0;
}

const SusiePlugInFile* TSusiePlugIn::PluginAt(int index, const SusiePlugInFile* fallback) const {
  if (index < 0 || index >= Count()) return fallback;
  return plugins_[static_cast<size_t>(index)].get();
}

bool TSusiePlugIn::LoadFromFile(const std::string& path, Picture& picture) {
  const std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes || bytes->empty()) return false;
  return LoadFromMemory(bytes->data(), bytes->size(), picture);
}

bool TSusiePlugIn::LoadFromMemory(const void* data, size_t size, Picture& picture) {
  if (!data || size > static_cast<size_t>(LONG_MAX)) return false;
  // Plug-ins recognise a format from the first 2 KB whatever the file's size.
  std::vector<uint8_t> padded;
  const void* image = data;
  if (size < kRecognitionBytes) {
    padded.assign(kRecognitionBytes, 0);
    std::memcpy(padded.data(), data, size);
    image = padded.data();
  }
  const LONG userValue = static_cast<LONG>(reinterpret_cast<LONG_PTR>(this));
  for (auto& plugin : plugins_) {
    if (plugin->broken) continue;
    if (auto decoded = DecodeThrough(*plugin, image, size, userValue)) {
      picture = std::move(*decoded);
      return true;
    }
  }
  return false;
}

bool TSusiePlugIn::LoadFromStream(std::span<const uint8_t> stream, size_t size, Picture& picture) {
  return LoadFromMemory(stream.data(), std::min(size, stream.size()), picture);
}

PatternScan ScanPlugins(TSusiePlugIn& host, const std::string& susiePath, bool gvKnown, ProgramKind program,
                        bool systemCodecs) {
  // Without a configured folder there is nothing to scan; a bare "\*.SPI" would load DLLs
  // from the root of the current drive.
  if (!susiePath.empty()) {
    std::string mask = susiePath;
    if (mask.back() != '\\' && mask.back() != '/') mask += '\\';
    host.LoadPlugins(mask + "*.SPI");
  }
  // The host's own text keeps only the plug-ins' pairs: a later scan adds the system's again.
  const std::string system = systemCodecs ? SystemCodecsPair(SystemCodecPatterns()) : std::string();
  return BuildPicturePatterns(host.FilterText() + system, gvKnown, program);
}

}  // namespace vorel
