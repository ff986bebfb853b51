// Text conversions through the system's own code page tables.
#include "platform/strings.h"

#include <windows.h>

namespace vorel {
namespace {

std::wstring Widen(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string Narrow(UINT codePage, std::wstring_view text) {
  if (text.empty()) return {};
  const int n =
      WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

std::wstring ToWide(std::string_view utf8) { return Widen(CP_UTF8, utf8); }
std::string ToUtf8(std::wstring_view wide) { return Narrow(CP_UTF8, wide); }
std::string AnsiToUtf8(std::string_view ansi) { return ToUtf8(Widen(CP_ACP, ansi)); }
std::string Utf8ToAnsi(std::string_view utf8) { return Narrow(CP_ACP, ToWide(utf8)); }

}  // namespace vorel
