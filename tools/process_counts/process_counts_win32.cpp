// process_counts: one CSV line of a running process's resource counts, for the soak and
// the memory figures of Vorelset.
//
//   process_counts.exe PID|EXE-NAME [--header]
//
// PID is a decimal process id; anything else is an executable name matched without regard
// to case (the first process of that name is taken, "Vorelset.exe"). --header prints the
// column names first. The line is
//
//   pid,working_set_bytes,peak_working_set_bytes,handles,gdi_objects,user_objects,
//   listed_handles,gdi_table_entries,windows
//
// from GetProcessMemoryInfo, GetProcessHandleCount and GetGuiResources (GR_GDIOBJECTS,
// GR_USEROBJECTS), then three counts read another way:
//   listed_handles     the process's entries in the system handle list
//                      (NtQuerySystemInformation, SystemHandleInformation);
//   gdi_table_entries  the used entries of the process's GDI handle table, read from its
//                      memory through the table address in its PEB; under Wine only, whose
//                      table layout this knows (empty on Windows, where gdi_objects is real);
//   windows            the process's windows, top-level and child (a part of the USER
//                      objects: menus, icons and cursors are not counted).
// An empty field is a count that could not be read. Exit status: 0 printed, 1 no such
// process or a count unreadable (a message on stderr), 2 usage.
//
// Under Wine (8.0 here) the working sets are real, but GetProcessHandleCount and
// GetGuiResources answer 0 for every process; the last three columns are what Wine can tell.
#include <windows.h>
// After windows.h, whose types these use.
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "platform/unique_handle.h"
#include "tools/process_counts/listed_handles_win32.h"

namespace {

using vorel::ListedHandles;
using vorel::NtdllEntry;

// A process id of that exe name, 0 when none runs.
DWORD FindProcess(const wchar_t* exeName) {
  vorel::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
    if (_wcsicmp(entry.szExeFile, exeName) == 0) return entry.th32ProcessID;
  }
  return 0;
}

// The whole text is a decimal number that fits a process id.
bool ParsePid(const wchar_t* text, DWORD& pid) {
  if (!*text) return false;
  unsigned long long v = 0;
  for (const wchar_t* p = text; *p; ++p) {
    if (*p < L'0' || *p > L'9') return false;
    v = v * 10 + static_cast<unsigned>(*p - L'0');
    if (v > 0xFFFFFFFFull) return false;
  }
  pid = static_cast<DWORD>(v);
  return true;
}

using NtQueryInformationProcessFn = LONG(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);

bool UnderWine() { return NtdllEntry("wine_get_version") != nullptr; }

// Wine's GDI handle table entry (win32u): the object, the owner, the type (0 when the entry
// is free) and a user pointer; the table has 65536 of them and the PEB names its address.
#pragma pack(push, 4)
struct WineGdiEntry {
  uint64_t object;
  uint32_t owner;
  uint8_t type;
  uint8_t extType;
  uint8_t flags;
  uint8_t generation;
  uint64_t userPointer;
};
#pragma pack(pop)
static_assert(sizeof(WineGdiEntry) == 24);
constexpr size_t kWineGdiEntries = 0x10000;
constexpr size_t kPebGdiSharedHandleTable = 0x94;  // 32-bit PEB

std::optional<DWORD> WineGdiTableEntries(HANDLE process) {
  if (!UnderWine()) return std::nullopt;
  const auto query = NtdllEntry<NtQueryInformationProcessFn>("NtQueryInformationProcess");
  if (!query) return std::nullopt;
  struct {
    LONG exitStatus;
    PVOID pebBaseAddress;
    ULONG_PTR affinityMask;
    LONG basePriority;
    ULONG_PTR uniqueProcessId;
    ULONG_PTR inheritedFromUniqueProcessId;
  } basic{};
  if (query(process, 0 /* ProcessBasicInformation */, &basic, sizeof(basic), nullptr) < 0 || !basic.pebBaseAddress)
    return std::nullopt;
  uint32_t table = 0;
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, static_cast<const char*>(basic.pebBaseAddress) + kPebGdiSharedHandleTable, &table,
                         sizeof(table), &read) ||
      read != sizeof(table) || table == 0)
    return std::nullopt;
  std::vector<WineGdiEntry> entries(kWineGdiEntries);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(static_cast<uintptr_t>(table)), entries.data(),
                         entries.size() * sizeof(WineGdiEntry), &read) ||
      read != entries.size() * sizeof(WineGdiEntry))
    return std::nullopt;
  DWORD used = 0;
  for (const WineGdiEntry& entry : entries) used += entry.type != 0 ? 1 : 0;
  return used;
}

struct WindowCount {
  DWORD pid;
  DWORD count;
};

BOOL CALLBACK CountChild(HWND window, LPARAM param) {
  auto* count = reinterpret_cast<WindowCount*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == count->pid) ++count->count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param) {
  auto* count = reinterpret_cast<WindowCount*>(param);
  CountChild(window, param);
  // Every descendant, whoever owns the top-level window.
  EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(count));
  return TRUE;
}

DWORD Windows(DWORD pid) {
  WindowCount count{pid, 0};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&count));
  // Message-only windows (the tray icon's) are not top-level windows.
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
       w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr))
    CountTopLevel(w, reinterpret_cast<LPARAM>(&count));
  return count.count;
}

std::string Field(const std::optional<DWORD>& value) { return value ? std::to_string(*value) : std::string(); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  bool header = false;
  const wchar_t* target = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::wcscmp(argv[i], L"--header") == 0) {
      header = true;
    } else if (!target) {
      target = argv[i];
    } else {
      target = nullptr;
      break;
    }
  }
  if (!target) {
    std::fputs("usage: process_counts PID|EXE-NAME [--header]\n", stderr);
    return 2;
  }

  DWORD pid = 0;
  if (!ParsePid(target, pid)) pid = FindProcess(target);
  if (pid == 0) {
    std::fprintf(stderr, "process_counts: no process %ls\n", target);
    return 1;
  }
  vorel::UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (!process) process.Reset(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) {
    std::fprintf(stderr, "process_counts: cannot open process %lu (error %lu)\n", pid, GetLastError());
    return 1;
  }

  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  DWORD handles = 0;
  if (!GetProcessMemoryInfo(process.Get(), &memory, sizeof(memory)) ||
      !GetProcessHandleCount(process.Get(), &handles)) {
    std::fprintf(stderr, "process_counts: counts of process %lu unreadable (error %lu)\n", pid, GetLastError());
    return 1;
  }
  // 0 is a real answer for a process without windows; the call cannot tell it from failure.
  const DWORD gdi = GetGuiResources(process.Get(), GR_GDIOBJECTS);
  const DWORD user = GetGuiResources(process.Get(), GR_USEROBJECTS);

  const std::optional<DWORD> listed = ListedHandles(pid);
  const std::optional<DWORD> gdiTable = WineGdiTableEntries(process.Get());
  const DWORD windows = Windows(pid);

  if (header)
    std::puts(
        "pid,working_set_bytes,peak_working_set_bytes,handles,gdi_objects,user_objects,listed_handles,"
        "gdi_table_entries,windows");
  std::printf("%lu,%llu,%llu,%lu,%lu,%lu,%s,%s,%lu\n", pid, static_cast<unsigned long long>(memory.WorkingSetSize),
              static_cast<unsigned long long>(memory.PeakWorkingSetSize), handles, gdi, user, Field(listed).c_str(),
              Field(gdiTable).c_str(), windows);
  std::fflush(stdout);
  return 0;
}
