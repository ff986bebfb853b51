// The soak of Vorelset (tools/soak.sh): writes its settings, starts it and asks for one change
// after the other through the tray menu's "壁紙の張り替え" until the wanted number of changes
// has written the wallpaper file, with tray clicks, the tray menu, the settings window and
// the interval timer's own changes in between. Every 100 changes one row goes to the CSV: the
// counts of process_counts.exe and the median change time of those 100 changes.
//
//   vorel_soak.exe <Vorelset.exe> <process_counts.exe> <picture folder> <plug-in folder>
//                  <wallpaper file> <csv> <changes> <change times file>
//
// The picture folder holds bitmaps; each bitmap whose name starts with "vtp-" is turned into
// a ".vtp" copy in the test plug-ins' format (and removed), so that the plug-in folder's
// plug-in reads it. A change is a request whose run installed a picture (it writes the
// desktop's wallpaper values), or a timed change seen while the requests pause; a request
// whose run installed nothing (the broken picture) is a failed run and not a change. The exit status is also written to
// <csv>.status at the end. Exit status 0 when the run finished with Vorelset alive throughout and ending normally, 1
// otherwise (a message says why).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "converters/dib.h"
#include "engine/bmp_file.h"
#include "engine/settings_store.h"
#include "platform/files.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"
#include "platform/win32_registry.h"
#include "resident/resident_ids.h"
#include "tests/fixtures/test_picture_format.h"

namespace {

using namespace vorel;

void Say(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(10);
  }
  return true;
}

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The wallpaper file's last write time and size; zero when it is missing.
unsigned long long FileStamp(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(ToWide(path).c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32 |
          data.ftLastWriteTime.dwLowDateTime) ^
         (static_cast<unsigned long long>(data.nFileSizeLow) << 7);
}

// Turns every "vtp-*.bmp" of the folder into "vtp-*.vtp".
int MakeTestFormatCopies(const std::string& folder) {
  int made = 0;
  WIN32_FIND_DATAW data;
  const UniqueFind find(FindFirstFileW(ToWide(folder + "\\vtp-*.bmp").c_str(), &data));
  if (!find) return 0;
  std::vector<std::string> names;
  do names.push_back(ToUtf8(data.cFileName));
  while (FindNextFileW(find.Get(), &data));
  for (const std::string& name : names) {
    const std::string bitmap = folder + "\\" + name;
    const std::optional<std::string> bytes = ReadWholeFile(bitmap);
    if (!bytes) continue;
    const std::optional<Picture> picture = DecodeBmpFile(bytes->data(), bytes->size());
    if (!picture) continue;
    const std::string target = bitmap.substr(0, bitmap.size() - 4) + ".vtp";
    if (WriteWholeFile(target, testing::EncodeTestPicture({picture->width, picture->height, {picture->pixels.begin(), picture->pixels.end()}}))) {
      DeleteFileW(ToWide(bitmap).c_str());
      ++made;
    }
  }
  return made;
}

// A program's standard output, waited for.
std::optional<std::string> Output(const std::string& commandLine) {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return std::nullopt;
  const UniqueKernelHandle reader(readEnd);
  UniqueKernelHandle writer(writeEnd);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  std::wstring line = ToWide(commandLine);
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
    return std::nullopt;
  const UniqueKernelHandle process(pi.hProcess);
  const UniqueKernelHandle thread(pi.hThread);
  writer.Reset();
  std::string out;
  char chunk[512];
  DWORD got = 0;
  while (ReadFile(readEnd, chunk, sizeof(chunk), &got, nullptr) && got > 0) out.append(chunk, got);
  WaitForSingleObject(pi.hProcess, 30000);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  if (code != 0) return std::nullopt;
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t index = std::min(values.size() - 1, static_cast<size_t>(fraction * static_cast<double>(values.size())));
  return values[index];
}

struct MessageBoxes {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectBox(HWND hwnd, LPARAM param) {
  auto* boxes = reinterpret_cast<MessageBoxes*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[16] = {};
  GetClassNameW(hwnd, cls, 16);
  if (pid == boxes->pid && IsWindowVisible(hwnd) && std::wstring_view(cls) == L"#32770") boxes->found.push_back(hwnd);
  return TRUE;
}

class Soak {
 public:
  Soak(std::string vorelset, std::string counts, std::string wallFile, std::string csv, int wanted, std::string times)
      : vorelset_(std::move(vorelset)),
        counts_(std::move(counts)),
        wallFile_(std::move(wallFile)),
        csvPath_(std::move(csv)),
        wanted_(wanted),
        timesPath_(std::move(times)) {}

  bool Run() {
    if (!Start()) return false;
    csv_ = _wfopen(ToWide(csvPath_).c_str(), L"w");
    times_ = _wfopen(ToWide(timesPath_).c_str(), L"w");
    if (!csv_ || !times_) return Fail("the CSV cannot be written");
    std::fprintf(csv_,
                 "changes,runs,failed_runs,timed_changes,pid,working_set_bytes,peak_working_set_bytes,handles,"
                 "gdi_objects,user_objects,listed_handles,gdi_table_entries,windows,median_change_ms\n");
    // The start's own change first.
    if (!WaitFor([&] { return FileStamp(wallFile_) != 0; }, 30000)) return Fail("no change at start");
    if (!Sample(0)) return false;
    const double started = NowMs();
    while (changes_ < wanted_) {
      if (!Alive()) return Fail("Vorelset stopped answering after " + std::to_string(changes_) + " changes");
      if (!OneRequest()) return false;
      if (runs_ % 97 == 0) Clicks();
      if (settingsEvery_ > 0 && runs_ % settingsEvery_ == 0 && !SettingsWindow()) return false;
      if (runs_ % 499 == 0 && !TrayMenu()) return false;
      if (runs_ % 997 == 0 && !TimedChange()) return false;
      AnswerBoxes();
    }
    Say("soak: " + std::to_string(changes_) + " changes in " + std::to_string((NowMs() - started) / 1000.0) +
        " s; runs " + std::to_string(runs_) + ", failed runs " + std::to_string(failedRuns_) + ", timed changes " +
        std::to_string(timedChanges_) + ", error boxes " + std::to_string(boxes_));
    std::fclose(csv_);
    std::fclose(times_);
    return Close();
  }

 private:
  bool Fail(const std::string& why) {
    Say("soak: " + why);
    if (csv_) std::fclose(csv_);
    if (times_) std::fclose(times_);
    csv_ = times_ = nullptr;
    if (process_) TerminateProcess(process_.Get(), 99);
    return false;
  }

  bool Start() {
    std::wstring line = ToWide("\"" + vorelset_ + "\"");
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      return Fail("Vorelset.exe cannot be started");
    process_.Reset(pi.hProcess);
    CloseHandle(pi.hThread);
    pid_ = pi.dwProcessId;
    if (!WaitFor([this] { return (TaskBar() && TrayForm()) || Exited(); }, 30000) || Exited())
      return Fail("Vorelset's tray did not come up");
    WaitForInputIdle(process_.Get(), 15000);
    return true;
  }

  HWND TrayForm() const { return FindWindowW(kTrayFormClass, nullptr); }
  HWND TaskBar() const { return FindWindowW(kTaskBarWindowClass, nullptr); }
  HWND FormMain() const { return FindWindowW(kFormMainClass, nullptr); }
  bool Exited() const { return WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0; }
  bool Alive() const {
    DWORD_PTR result = 0;
    return !Exited() && SendMessageTimeoutW(TrayForm(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 30000, &result) != 0;
  }

  // A change writes the desktop's wallpaper values and a failed run leaves them alone (a
  // failed load may rewrite the wallpaper file with its own old bytes, so the file's time
  // does not tell). Before each request "WallpaperOriginX", which a change sets to "0", is
  // given a mark; Vorelset itself never reads it.
  bool Arm() {
    if (!desktop_) {
      HKEY raw = nullptr;
      if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_SET_VALUE | KEY_QUERY_VALUE, &raw) !=
          ERROR_SUCCESS)
        return false;
      desktop_.Reset(raw);
    }
    static const wchar_t kMark[] = L"soak";
    return RegSetValueExW(desktop_.Get(), L"WallpaperOriginX", 0, REG_SZ, reinterpret_cast<const BYTE*>(kMark),
                          sizeof(kMark)) == ERROR_SUCCESS;
  }
  bool Written() const {
    wchar_t text[16] = {};
    DWORD bytes = sizeof(text) - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(desktop_.Get(), L"WallpaperOriginX", nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes) !=
        ERROR_SUCCESS)
      return false;
    return std::wstring_view(text) != L"soak";
  }

  // One change asked for; the sent command returns when its run has ended.
  bool OneRequest() {
    if (!Arm()) return Fail("the desktop's values cannot be watched");
    const unsigned long long before = FileStamp(wallFile_);
    const double t0 = NowMs();
    DWORD_PTR result = 0;
    bool answered;
    if (runs_ % 10 == 5) {
      // Every tenth a left click on the icon, which changes the wallpaper with "Click" 1.
      answered = SendMessageTimeoutW(TaskBar(), kTrayCallbackMessage, kTrayIconId, WM_LBUTTONDOWN, SMTO_NORMAL, 60000,
                                     &result) != 0;
    } else {
      answered = SendMessageTimeoutW(TrayForm(), WM_COMMAND, kCmdReDraw, 0, SMTO_NORMAL, 60000, &result) != 0;
    }
    const double elapsed = NowMs() - t0;
    ++runs_;
    if (!answered) {
      AnswerBoxes();
      return Fail("a change request got no answer in 60 s (run " + std::to_string(runs_) + ")");
    }
    if (!Written()) {
      ++failedRuns_;
      return true;
    }
    if (FileStamp(wallFile_) == before) return Fail("a change told the desktop but left the wallpaper file as it was");
    return Changed(elapsed);
  }

  bool Changed(double elapsedMs) {
    ++changes_;
    batch_.push_back(elapsedMs);
    std::fprintf(times_, "%.3f\n", elapsedMs);
    if (changes_ % 100 == 0) return Sample(Percentile(batch_, 0.5));
    return true;
  }

  bool Sample(double medianMs) {
    const std::optional<std::string> line = Output("\"" + counts_ + "\" " + std::to_string(pid_));
    if (!line) return Fail("process_counts failed");
    std::fprintf(csv_, "%d,%d,%d,%d,%s,%.3f\n", changes_, runs_, failedRuns_, timedChanges_, line->c_str(), medianMs);
    std::fflush(csv_);
    std::fflush(times_);
    batch_.clear();
    if (changes_ % 1000 == 0) Say("soak: " + std::to_string(changes_) + " changes, " + *line);
    return true;
  }

  // Presses and moves on the icon that change nothing: other buttons, releases, double clicks.
  void Clicks() {
    for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MBUTTONDOWN, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK})
      PostMessageW(TaskBar(), kTrayCallbackMessage, kTrayIconId, m);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(TaskBar(), WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
  }

  // "設定" opens the settings window; its cancel closes it again.
  bool SettingsWindow() {
    PostMessageW(TrayForm(), WM_COMMAND, kCmdSetting, 0);
    if (!WaitFor([&] { return FormMain() && IsWindowVisible(FormMain()); }, 30000))
      return Fail("the settings window did not open");
    Sleep(100);
    PostMessageW(FormMain(), WM_COMMAND, IDCANCEL, 0);
    if (!WaitFor([&] { return !IsWindowVisible(FormMain()); }, 30000)) return Fail("the settings window did not close");
    ++settingsOpened_;
    return true;
  }

  // A right click opens the tray's pop-up menu; it is closed without a choice.
  bool TrayMenu() {
    PostMessageW(TaskBar(), kTrayCallbackMessage, kTrayIconId, WM_RBUTTONUP);
    const auto menu = [] {
      const HWND w = FindWindowW(L"#32768", nullptr);
      return w && IsWindowVisible(w);
    };
    if (!WaitFor(menu, 10000)) return Fail("the tray menu did not open");
    PostMessageW(TrayForm(), WM_CANCELMODE, 0, 0);
    if (!WaitFor([&] { return !menu(); }, 10000)) {
      // A menu that ignores the cancel is closed from the keyboard.
      PostMessageW(FindWindowW(L"#32768", nullptr), WM_KEYDOWN, VK_ESCAPE, 0);
      if (!WaitFor([&] { return !menu(); }, 10000)) return Fail("the tray menu did not close");
    }
    return true;
  }

  // The requests pause until the one-second interval timer changes the wallpaper itself.
  bool TimedChange() {
    if (!Arm()) return Fail("the desktop's values cannot be watched");
    // A timed run may pick the broken picture and change nothing; the next tick tries again.
    if (!WaitFor([&] { return Written(); }, 15000))
      return Fail("no timed change within 15 s after " + std::to_string(changes_) + " changes");
    ++timedChanges_;
    // Its time is not a request's round trip; it counts as a change without a time.
    ++changes_;
    if (changes_ % 100 == 0) return Sample(Percentile(batch_, 0.5));
    return true;
  }

  void AnswerBoxes() {
    MessageBoxes boxes{pid_, {}};
    EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&boxes));
    for (HWND box : boxes.found) {
      wchar_t text[512] = {};
      GetDlgItemTextW(box, 0xFFFF, text, 512);
      Say("soak: error box: " + ToUtf8(text));
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      ++boxes_;
    }
  }

  bool Close() {
    PostMessageW(TrayForm(), WM_COMMAND, kCmdClose, 0);
    if (WaitForSingleObject(process_.Get(), 30000) != WAIT_OBJECT_0) return Fail("Vorelset did not end on 終了");
    DWORD code = 1;
    GetExitCodeProcess(process_.Get(), &code);
    process_.Reset();
    Say("soak: Vorelset ended with " + std::to_string(code) + "; settings window opened " +
        std::to_string(settingsOpened_) + " times");
    return code == 0 && boxes_ == 0;
  }

  std::string vorelset_, counts_, wallFile_, csvPath_;
  int wanted_;
  std::string timesPath_;
  UniqueKernelHandle process_;
  UniqueKey desktop_;
  DWORD pid_ = 0;
  FILE* csv_ = nullptr;
  FILE* times_ = nullptr;
  int settingsEvery_ = [] {
    wchar_t text[16] = {};
    return GetEnvironmentVariableW(L"SOAK_SETTINGS_EVERY", text, 16) ? _wtoi(text) : 251;
  }();
  int changes_ = 0, runs_ = 0, failedRuns_ = 0, timedChanges_ = 0, boxes_ = 0, settingsOpened_ = 0;
  std::vector<double> batch_;
};

LONG WINAPI ReportFault(EXCEPTION_POINTERS* e) {
  std::fprintf(stdout, "soak: the driver faulted (exception %08lx)\n", e->ExceptionRecord->ExceptionCode);
  std::fflush(stdout);
  return EXCEPTION_EXECUTE_HANDLER;
}

int SoakMain(wchar_t** argv) {
  const std::string pictures = ToUtf8(argv[3]);
  Say("soak: " + std::to_string(MakeTestFormatCopies(pictures)) + " pictures in the plug-in's format");

  Settings settings = Settings::VorelsetDefaults();
  FolderEntry folder;
  folder.path = pictures;
  settings.folders = {folder};
  settings.pictures.clear();
  settings.susiePath = ToUtf8(argv[4]);
  settings.susieFolderKnown = true;
  settings.wallFile = ToUtf8(argv[5]);
  settings.start = true;
  settings.interval = true;
  settings.changeTime = 1;
  settings.click = 1;
  settings.inOrder = false;
  settings.calender = true;
  settings.app.clear();
  Win32Registry registry;
  if (!SaveSettings(settings, registry)) {
    Say("soak: the settings could not be written");
    return 1;
  }
  DeleteFileW(ToWide(settings.wallFile).c_str());
  Soak soak(ToUtf8(argv[1]), ToUtf8(argv[2]), settings.wallFile, ToUtf8(argv[6]), _wtoi(argv[7]), ToUtf8(argv[8]));
  return soak.Run() ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetUnhandledExceptionFilter(ReportFault);
  if (argc != 9) {
    Say("usage: vorel_soak <Vorelset.exe> <process_counts.exe> <picture folder> <plug-in folder> <wallpaper file> "
        "<csv> <changes> <change times file>");
    return 2;
  }
  const int status = SoakMain(argv);
  // The shell that started this on a virtual desktop cannot wait for it: it waits for this file.
  vorel::WriteWholeFile(vorel::ToUtf8(argv[6]) + ".status", std::to_string(status) + "\n");
  return status;
}
