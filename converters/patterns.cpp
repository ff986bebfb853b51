// Picture-file patterns and the open dialog's filter, built from what the plug-ins declare.
#include "converters/patterns.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace vorel {
namespace {

constexpr std::array<std::string_view, 22> kGvPatterns = {
    "*.CAM", "*.GIF", "*.J6I",  "*.JPG",  "*.MAG",  "*.PIC",  "*.PMP", "*.SJ1", "*.XBM", "*.SUNRASTER", "*.PHOTOCD",
    "*.PI",  "*.TIF", "*.TIFF", "*.MAKI", "*.PIC2", "*.PICT", "*.XPM", "*.WMF", "*.LZH", "*.ZIP",       "*.X",
};

constexpr std::string_view kGvDialogFormats =
    "QV-10(*.cam)|*.CAM|"
    "JEIDAのG16-1993ファイル(*.J6I)|*.J6I|"
    "jpegファイル(*.JPG)|*.JPG|"
    "magファイル(*.MAG)|*.MAG|"
    "X68K用ファイル(*.PIC)|*.PIC|"
    "Cyber-shotファイル(*.PMP)|*.PMP|"
    "DIGIOファイル(*.SJ1)|*.SJ1|"
    "X-Windowファイル(*.XBM)|*.XBM|"
    "Sunのラスタファイル(*.SunRaster)|*.SunRaster|"
    "コダック社の写真用ファイル(*.PhotoCD)|*.PhotoCD|"
    "16/256色用ファイル(*.Pi)|*.Pi|"
    "Tagged Image File Formatファイル(*.TIF;*.TIFF)|*.TIF;*.TIFF|"
    "makiファイル(*.MAKI)|*.MAKI|"
    "Mac用ファイル(*.PICT)|*.PICT|"
    "X-Windowファイル(*.XPM)|*.XPM|"
    "Windowsのメタファイル(*.WMF)|*.WMF|"
    "LHAで圧縮したファイル(*.LZH)|*.LZH|"
    "ZIPで圧縮した(*.ZIP)|*.ZIP|"
    "XBMを改良した(*.X)|*.X|"
    "GIFファイル(*.gif)|*.GIF|";

constexpr std::string_view kBmpDialogFormat = "ﾋﾞｯﾄﾏｯﾌﾟﾌｧｲﾙ(*.bmp)|*.BMP|";

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Every second "|"-ended field is a pattern field; its ";"-separated patterns are kept in order.
PicturePatterns PatternsOfFilter(std::string_view filter) {
  PicturePatterns out;
  bool isPatternField = false;
  for (size_t end = filter.find('|'); end != std::string_view::npos; end = filter.find('|')) {
    const std::string_view field = filter.substr(0, end);
    filter.remove_prefix(end + 1);
    if (isPatternField) {
      std::string_view rest = field;
      while (true) {
        const size_t semi = rest.find(';');
        const std::string_view one = TrimBlanks(rest.substr(0, semi));
        if (!one.empty()) out.emplace_back(one);
        if (semi == std::string_view::npos) break;
        rest.remove_prefix(semi + 1);
      }
    }
    isPatternField = !isPatternField;
  }
  return out;
}

}  // namespace

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string FilterPair(std::string_view description, std::string_view pattern) {
  std::string out(description);
  out += "   [";
  out += pattern;
  out += "]|";
  out += pattern;
  out += "|";
  return out;
}

std::string SystemCodecsPair(const std::vector<std::string>& patterns) {
  if (patterns.empty()) return {};
  std::string joined;
  for (const std::string& p : patterns) {
    if (!joined.empty()) joined += ';';
    joined += p;
  }
  return FilterPair("Windows の画像形式", joined);
}

PatternScan BuildPicturePatterns(std::string_view filterText, bool gvKnown, ProgramKind program) {
  PatternScan scan;
  scan.dialogFilter = std::string(filterText);
  PicturePatterns& patterns = scan.picturePatterns;
  patterns = PatternsOfFilter(filterText);

  bool hasBmp = false;
  bool hasJpg = false;
  for (size_t i = patterns.size(); i-- > 0;) {
    if (patterns[i] == "*.*") {
      patterns.erase(patterns.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    const std::string upper = AsciiUpper(patterns[i]);
    hasBmp = hasBmp || upper == "*.BMP";
    hasJpg = hasJpg || upper == "*.JPG";
  }

  if (gvKnown) {
    // With GV at hand, JPEG files are always readable and the BMP entry still comes last.
    hasBmp = false;
    hasJpg = true;
    patterns.insert(patterns.end(), kGvPatterns.begin(), kGvPatterns.end());
    scan.dialogFilter += kGvDialogFormats;
  }
  if (!hasBmp) {
    patterns.emplace_back("*.BMP");
    scan.dialogFilter += kBmpDialogFormat;
  }
  if (hasJpg) patterns.emplace_back("*.JPEG");

  if (program == ProgramKind::kVorelset) {
    for (size_t i = patterns.size(); i-- > 1;) {
      const std::string upper = AsciiUpper(patterns[i]);
      const bool earlier = std::any_of(patterns.begin(), patterns.begin() + static_cast<std::ptrdiff_t>(i),
                                       [&](const std::string& p) { return AsciiUpper(p) == upper; });
      if (earlier) patterns.erase(patterns.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  return scan;
}

}  // namespace vorel
