// process_counts: one CSV line of a running process's resource counts, for the soak and
// the memory figures of Vorelset.
//
//   process_counts.exe PID|EXE-NAME [--header]
//
// PID is a decimal process id; anything else is an executable name matched without regard
// to case (the first process of that name is taken, "Vorelset.exe"). --header prints the
// column names first. The line is
//
//   pid,working_set_bytes,peak_working_set_bytes,handles,gdi_objects,user_objects
//
// from GetProcessMemoryInfo, GetProcessHandleCount and GetGuiResources (GR_GDIOBJECTS,
// GR_USEROBJECTS). Exit status: 0 printed, 1 no such process or a count unreadable (a
// message on stderr), 2 usage.
//
// Under Wine (8.0 here) the working sets are real, but GetProcessHandleCount and
// GetGuiResources answer 0 for every process: handle and GDI/USER figures need Windows.
#include <windows.h>
// After windows.h, whose types these use.
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/unique_handle.h"

namespace {

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

  if (header) std::puts("pid,working_set_bytes,peak_working_set_bytes,handles,gdi_objects,user_objects");
  std::printf("%lu,%llu,%llu,%lu,%lu,%lu\n", pid, static_cast<unsigned long long>(memory.WorkingSetSize),
              static_cast<unsigned long long>(memory.PeakWorkingSetSize), handles, gdi, user);
  std::fflush(stdout);
  return 0;
}
