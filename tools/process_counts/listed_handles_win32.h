// Kernel handles a process holds, from the system's handle list: the count that
// GetProcessHandleCount gives on Windows and that Wine 8 answers 0 for. Shared by the
// process-counts tool and the tests of the running program.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace vorel {

template <typename F = void (*)()>
F NtdllEntry(const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

// One entry of the SystemHandleInformation list (the same layout on Windows and Wine).
struct SystemHandleEntry {
  ULONG processId;
  UCHAR objectType;
  UCHAR flags;
  USHORT handle;
  PVOID object;
  ACCESS_MASK access;
};

// The entries of the process in the list; nothing when the list cannot be read.
inline std::optional<DWORD> ListedHandles(DWORD pid) {
  using NtQuerySystemInformationFn = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
  constexpr ULONG kSystemHandleInformation = 16;
  constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);
  const auto query = NtdllEntry<NtQuerySystemInformationFn>("NtQuerySystemInformation");
  if (!query) return std::nullopt;
  std::vector<unsigned char> buffer(1 << 20);
  for (int attempt = 0; attempt < 8; ++attempt) {
    ULONG needed = 0;
    const LONG status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == kStatusInfoLengthMismatch) {
      buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
      continue;
    }
    if (status < 0) return std::nullopt;
    ULONG count = 0;
    std::memcpy(&count, buffer.data(), sizeof(count));
    const size_t room = (buffer.size() - sizeof(ULONG_PTR)) / sizeof(SystemHandleEntry);
    if (count > room) return std::nullopt;
    DWORD mine = 0;
    for (ULONG i = 0; i < count; ++i) {
      SystemHandleEntry entry;
      std::memcpy(&entry, buffer.data() + sizeof(ULONG_PTR) + i * sizeof(entry), sizeof(entry));
      if (entry.processId == pid) ++mine;
    }
    return mine;
  }
  return std::nullopt;
}

}  // namespace vorel
