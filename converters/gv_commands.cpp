// Extension and command texts for the GV conversion.
#include "converters/gv_commands.h"

#include <algorithm>

namespace vorel {
namespace {

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

}  // namespace

std::string RequestExtension(std::string_view path) {
  const size_t nameStart = path.find_last_of("\\/");
  const std::string_view name = nameStart == std::string_view::npos ? path : path.substr(nameStart + 1);
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  std::string ext(name.substr(dot));
  // Only ASCII letters change: the bytes of UTF-8 sequences are all above 0x7F.
  std::transform(ext.begin(), ext.end(), ext.begin(), AsciiUpper);
  return ext;
}

bool IsGvExtension(std::string_view extension) {
  return std::any_of(kGvExtensions.begin(), kGvExtensions.end(),
                     [&](std::string_view known) { return EqualsIgnoringAsciiCase(known, extension); });
}

std::string GvProgramFile(std::string_view gvPath) {
  const size_t first = gvPath.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  std::string_view file = gvPath.substr(first, gvPath.find_last_not_of(' ') - first + 1);
  if (file.size() >= 2 && file.front() == '"' && file.back() == '"') file = file.substr(1, file.size() - 2);
  return std::string(file);
}

std::string GvShowCommand() { return "ShowGV(ON)"; }

std::string GvOpenCommand(std::string_view picturePath) { return "FileOpen(" + std::string(picturePath) + ")"; }

std::string GvSaveCommand(std::string_view outputPath) { return "FileSaveEx(" + std::string(outputPath) + ",ON,ON)"; }

std::string GvExitCommand() { return "ExitGV()"; }

}  // namespace vorel
