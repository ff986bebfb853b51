// The stored values under the settings key (and the converters' keys) as a hand edit or an
// older install may have left them, read by LoadSettings for both programs and then drawn
// from by NextPicture. Input: control (3 bytes: candidate count, order and random seed),
// then stored values in the layout of fuzz_input.h.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/picture_order.h"
#include "engine/registry.h"
#include "engine/settings_store.h"
#include "fuzz/fuzz_input.h"

namespace {

using vorel::MemoryRegistry;

void Check(bool ok) {
  if (!ok) std::abort();
}

void Store(MemoryRegistry& registry, vorel::fuzz::Reader& in) {
  const uint8_t typeByte = in.Byte();
  const auto name = in.Bytes(in.Byte());
  const auto value = in.Bytes(in.U16());
  // The top bits pick the key: most values go to the settings key.
  const char* key = vorel::kSettingsKeyPath;
  if ((typeByte & 0xC0) == 0x40) key = vorel::kGvKeyPath;
  if ((typeByte & 0xC0) == 0x80) key = vorel::kSusieKeyPath;
  switch (static_cast<vorel::fuzz::StoredType>(typeByte & 3)) {
    case vorel::fuzz::StoredType::kDword: {
      uint32_t v = 0;
      for (size_t i = 0; i < value.size() && i < 4; ++i)
        v |= static_cast<uint32_t>(static_cast<uint8_t>(value[i])) << (8 * i);
      registry.SetInt(key, name, static_cast<int32_t>(v));
      break;
    }
    case vorel::fuzz::StoredType::kText:
      registry.SetText(key, name, value);
      break;
    case vorel::fuzz::StoredType::kBinary:
      registry.SetBinary(key, name, std::vector<uint8_t>(value.begin(), value.end()));
      break;
    case vorel::fuzz::StoredType::kMultiText:
      registry.SetMultiText(key, name, value);
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vorel::fuzz::Reader in(data, size);
  const uint16_t control = in.U16();
  const uint8_t seed = in.Byte();
  MemoryRegistry registry;
  while (in.Left() > 0) Store(registry, in);

  const vorel::LoadContext context{"C:\\Vorel\\", 1024, 768};
  for (const auto program : {vorel::ProgramKind::kVorelrun, vorel::ProgramKind::kVorelset}) {
    const vorel::Settings s = vorel::LoadSettings(program, registry, context);
    Check(!s.wallFile.empty());
    for (const auto& font : s.fonts) Check(font.name.size() <= 4 * vorel::kMaxFontNameChars);
  }

  // The draw sees whatever "Order", "FileNumMax" and "FileList" hold.
  const vorel::Settings s = vorel::LoadSettings(vorel::ProgramKind::kVorelset, registry, context);
  std::vector<vorel::PictureEntry> candidates = s.pictures;
  const size_t extra = control & 0x0FFF;
  for (size_t i = candidates.size(); i < extra || candidates.empty(); ++i) {
    candidates.push_back({.path = "C:\\p\\" + std::to_string(i) + ".bmp"});
  }
  vorel::Random15 random(seed);
  vorel::OrderPieceCache cache;
  const bool inOrder = control & 0x8000;
  for (int draw = 0; draw < 3; ++draw) {
    const size_t index = vorel::NextPictureIndex(candidates.size(), inOrder, registry, std::ref(random),
                                                 (control & 0x4000) ? &cache : nullptr);
    Check(index < candidates.size());
  }
  const auto& chosen = vorel::NextPicture(candidates, inOrder, registry, std::ref(random));
  Check(&chosen >= candidates.data() && &chosen < candidates.data() + candidates.size());
  return 0;
}
