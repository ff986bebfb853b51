// Vorelset measured from outside, as the tray drives it: for each picture, the time of one
// change run (the menu's "壁紙の張り替え" sent to the running program until its handler
// returns, that is the file written and the system told) and the peak working set of a
// Vorelset that made only those changes; then the process's working set, handle count and
// GDI/USER objects after start and after many changes.
//   vorelset_wine.exe <wallpaper file> <timed changes> <small picture> <changes for the counts> <picture>...
// Prints one line per figure. Figures only.
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/settings_store.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"
#include "platform/win32_registry.h"
#include "resident/resident_ids.h"

namespace {

using namespace vorel;

void Store(const std::string& picture, const std::string& wallFile) {
  Settings settings = Settings::VorelsetDefaults();
  settings.tile = false;
  settings.calender = true;
  settings.day = false;
  settings.wallFile = wallFile;
  PictureEntry entry;
  entry.path = picture;
  settings.pictures = {entry};
  Win32Registry registry;
  SaveSettings(settings, registry);
}

FILETIME WriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  GetFileAttributesExW(ToWide(path).c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

struct Counts {
  double workingSetMb = 0;
  double peakMb = 0;
  double privateMb = 0;
  DWORD handles = 0;
  DWORD gdi = 0;
  DWORD user = 0;
};

Counts Sample(HANDLE process) {
  Counts c;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory))) {
    c.workingSetMb = memory.WorkingSetSize / 1048576.0;
    c.peakMb = memory.PeakWorkingSetSize / 1048576.0;
    c.privateMb = memory.PrivateUsage / 1048576.0;
  }
  GetProcessHandleCount(process, &c.handles);
  c.gdi = GetGuiResources(process, GR_GDIOBJECTS);
  c.user = GetGuiResources(process, GR_USEROBJECTS);
  return c;
}

// Wine reports no private bytes, handle count or GUI objects of another process: a count the
// system gives as 0 is said to be missing rather than printed as a figure.
std::string Count(double value, const char* unit) {
  if (value <= 0) return "not reported";
  char text[32];
  std::snprintf(text, sizeof(text), unit[0] ? "%.1f %s" : "%.0f", value, unit);
  return text;
}

void Print(const char* when, const Counts& c) {
  std::printf("%s: working set %.1f MB, peak %.1f MB, private %s, handles %s, GDI %s, USER %s\n", when,
              c.workingSetMb, c.peakMb, Count(c.privateMb, "MB").c_str(), Count(c.handles, "").c_str(),
              Count(c.gdi, "").c_str(), Count(c.user, "").c_str());
}

// The process started with this command line; empty when it could not be started.
UniqueKernelHandle Launch(std::wstring commandLine) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return {};
  CloseHandle(pi.hThread);
  return UniqueKernelHandle(pi.hProcess);
}

class Resident {
 public:
  bool Start(const std::wstring& exe) {
    process_ = Launch(L"\"" + exe + L"\"");
    if (!process_) return false;
    for (int i = 0; i < 300 && !(form_ = FindWindowW(kTrayFormClass, nullptr)); ++i) Sleep(50);
    WaitForInputIdle(process_.Get(), 30000);
    return form_ != nullptr;
  }
  // One change run; its handler returns when the wallpaper is installed.
  double Change() const {
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(form_, WM_COMMAND, kCmdReDraw, 0, SMTO_NORMAL, 120000, &result))
      std::printf("the change was not answered (%lu)\n", GetLastError());
    QueryPerformanceCounter(&b);
    return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
  }
  HANDLE Process() const { return process_.Get(); }
  void Close() {
    PostMessageW(form_, WM_COMMAND, kCmdClose, 0);
    WaitForSingleObject(process_.Get(), 60000);
  }

 private:
  UniqueKernelHandle process_;
  HWND form_ = nullptr;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 6) {
    std::puts(
        "usage: vorelset_wine <wallpaper file> <timed changes> <small picture> <changes for the counts> <picture>...");
    return 2;
  }
  wchar_t self[MAX_PATH];
  const std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
  const std::wstring exe = path.substr(0, path.find_last_of(L'\\')) + L"\\..\\Vorelset.exe";
  const std::string wallFile = ToUtf8(argv[1]);

  for (int p = 5; p < argc; ++p) {
    const std::string picture = ToUtf8(argv[p]);
    const std::string name = picture.substr(picture.find_last_of('\\') + 1);
    Store(picture, wallFile);
    Resident vorelset;
    if (!vorelset.Start(exe)) return 1;
    vorelset.Change();  // warm-up
    std::vector<double> ms;
    int written = 0;
    for (int i = 0; i < _wtoi(argv[2]); ++i) {
      const FILETIME before = WriteTime(wallFile);
      const double t = vorelset.Change();
      const FILETIME after = WriteTime(wallFile);
      if (CompareFileTime(&before, &after) != 0) {
        ms.push_back(t);
        ++written;
      }
      Sleep(500);
    }
    std::printf("%s: %d of %s requests wrote the wallpaper file\n", name.c_str(), written, ToUtf8(argv[2]).c_str());
    std::sort(ms.begin(), ms.end());
    if (!ms.empty())
      std::printf("change run in Vorelset, %s: median %.1f ms, min %.1f, max %.1f (%zu runs)\n", name.c_str(),
                  ms[ms.size() / 2], ms.front(), ms.back(), ms.size());
    const std::string when = "after the timed changes of " + name;
    Print(when.c_str(), Sample(vorelset.Process()));
    vorelset.Close();
  }

  Store(ToUtf8(argv[3]), wallFile);
  Resident vorelset;
  if (!vorelset.Start(exe)) return 1;
  Print("after start", Sample(vorelset.Process()));
  const int changes = _wtoi(argv[4]);
  for (int i = 1; i <= changes; ++i) {
    vorelset.Change();
    Sleep(50);
    if (i == 100) Print("after 100 changes", Sample(vorelset.Process()));
  }
  char label[64];
  std::snprintf(label, sizeof(label), "after %d changes", changes);
  Print(label, Sample(vorelset.Process()));
  vorelset.Close();

  // The floor: an idle program with one window, sampled the same way.
  if (const UniqueKernelHandle process =
          Launch(L"\"" + path.substr(0, path.find_last_of(L'\\')) + L"\\trivial_window_wine.exe\" --stay")) {
    WaitForInputIdle(process.Get(), 30000);
    Sleep(1000);
    Print("a trivial window program (the floor)", Sample(process.Get()));
    TerminateProcess(process.Get(), 0);
    WaitForSingleObject(process.Get(), 10000);
  }
  return 0;
}
