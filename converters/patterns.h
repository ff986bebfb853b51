// The open-dialog filter that grows with each accepted plug-in, and the list of picture-file
// patterns derived from it (plus GV's formats and the BMP files every build can read).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/settings.h"

namespace vorel {

// One pattern a line, such as "*.BMP"; folders are enumerated with these.
using PicturePatterns = std::vector<std::string>;

inline constexpr std::string_view kInitialFilterText = "AllType   [*.*]|*.*|";

// ASCII letters only, so multi-byte UTF-8 characters pass through unchanged.
std::string AsciiUpper(std::string_view text);

// The description|pattern| pair a plug-in adds to the filter text.
std::string FilterPair(std::string_view description, std::string_view pattern);

// The pair the system's codecs add to the filter after the plug-ins' pairs: their patterns
// under one description, or nothing when there are none.
std::string SystemCodecsPair(const std::vector<std::string>& patterns);

struct PatternScan {
  PicturePatterns picturePatterns;
  std::string dialogFilter;
};

// Derives the picture-file patterns and the open dialog's filter from the plug-ins' filter
// text. Vorelset drops repeated patterns; Vorelrun keeps them.
PatternScan BuildPicturePatterns(std::string_view filterText, bool gvKnown, ProgramKind program);

}  // namespace vorel
