// The filter texts plug-ins declare (GetPluginInfo's description|pattern pairs) joined the
// way the plug-in scan joins them. Input: flags (1 byte), then the filter text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "converters/patterns.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vorel::fuzz::Reader in(data, size);
  const uint8_t flags = in.Byte();
  const std::string text(in.Rest());
  const bool gvKnown = flags & 1;
  for (const auto program : {vorel::ProgramKind::kVorelset, vorel::ProgramKind::kVorelrun}) {
    vorel::BuildPicturePatterns(text, gvKnown, program);
  }
  // A plug-in's own pair, built from halves of the text, added as the scan adds it.
  const size_t cut = text.size() / 2;
  const std::string pair = vorel::FilterPair(std::string_view(text).substr(0, cut), std::string_view(text).substr(cut));
  vorel::BuildPicturePatterns(std::string(vorel::kInitialFilterText) + pair, gvKnown, vorel::ProgramKind::kVorelset);
  const std::string upper = vorel::AsciiUpper(text);
  if (upper.size() != text.size()) std::abort();
  return 0;
}
