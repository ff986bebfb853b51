// The one place where texts change encoding: UTF-8 inside, UTF-16 at the Win32 boundary,
// the ANSI code page (932 on a Japanese system) for plug-ins and the viewer.
#pragma once

#include <string>
#include <string_view>

namespace vorel {

std::wstring ToWide(std::string_view utf8);
std::string ToUtf8(std::wstring_view wide);
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);

}  // namespace vorel
