// The hot keys' stored values, names and the tray's tip.
#include "resident/hot_keys.h"

#include <array>

namespace vorel {
namespace {

constexpr std::array kBindings{
    HotKeyBinding{HotKeyAction::kNext, "HotKeyNext", &Settings::hotKeyNext, "次の壁紙に張り替える"},
    HotKeyBinding{HotKeyAction::kPrev, "HotKeyPrev", &Settings::hotKeyPrev, "前の壁紙に戻す"},
    HotKeyBinding{HotKeyAction::kPause, "HotKeyPause", &Settings::hotKeyPause, "書き換えの一時停止／再開"},
    HotKeyBinding{HotKeyAction::kExclude, "HotKeyExclude", &Settings::hotKeyExclude, "この絵を今後使わない"},
};

// UTF-16 units of a UTF-8 text: a character beyond the basic plane takes two.
size_t WideLength(const std::string& text) {
  size_t units = 0;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if ((b & 0xC0) != 0x80) ++units;
    if (b >= 0xF0) ++units;
  }
  return units;
}

// The first `units` UTF-16 units of a UTF-8 text, never splitting a character.
std::string Head(const std::string& text, size_t units) {
  size_t used = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    const auto b = static_cast<unsigned char>(text[pos]);
    const size_t length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    const size_t cost = b >= 0xF0 ? 2 : 1;
    if (used + cost > units) break;
    used += cost;
    pos += length;
  }
  return text.substr(0, std::min(pos, text.size()));
}

// The last `units` UTF-16 units, never splitting a character.
std::string Tail(const std::string& text, size_t units) {
  const size_t total = WideLength(text);
  if (total <= units) return text;
  size_t skip = total - units;
  size_t pos = 0;
  while (pos < text.size() && skip > 0) {
    const auto b = static_cast<unsigned char>(text[pos]);
    const size_t length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    const size_t cost = b >= 0xF0 ? 2 : 1;
    skip = cost > skip ? 0 : skip - cost;
    pos += length;
  }
  return text.substr(std::min(pos, text.size()));
}

// Cut in the middle, where a long file name says least: "長い名前の…最後.jpg".
std::string ShortenMiddle(const std::string& text, size_t units) {
  if (WideLength(text) <= units) return text;
  if (units == 0) return {};
  const size_t keep = units - 1;  // one for the ellipsis
  return Head(text, keep - keep / 2) + "…" + Tail(text, keep / 2);
}

}  // namespace

HotKey HotKey::FromStored(int32_t value) {
  constexpr uint8_t kKnownFlags = kHotKeyShift | kHotKeyControl | kHotKeyAlt | kHotKeyExtended;
  if (value <= 0 || value > 0xFFFF) return {};
  const auto key = static_cast<uint8_t>(value & 0xFF);
  const auto flags = static_cast<uint8_t>(value >> 8);
  if (key == 0 || (flags & ~kKnownFlags) != 0) return {};
  return {key, flags};
}

uint32_t HotKey::Modifiers() const {
  uint32_t mod = kModNoRepeat;
  if (flags & kHotKeyAlt) mod |= kModAlt;
  if (flags & kHotKeyControl) mod |= kModControl;
  if (flags & kHotKeyShift) mod |= kModShift;
  return mod;
}

std::span<const HotKeyBinding> HotKeyBindings() { return kBindings; }

std::string HotKeyName(HotKey key, const std::function<std::string(uint8_t, bool)>& keyName) {
  if (key.None()) return {};
  std::string name;
  if (key.flags & kHotKeyControl) name += "Ctrl+";
  if (key.flags & kHotKeyShift) name += "Shift+";
  if (key.flags & kHotKeyAlt) name += "Alt+";
  std::string own = keyName ? keyName(key.virtualKey, (key.flags & kHotKeyExtended) != 0) : std::string();
  if (own.empty()) {
    const char hex[] = "0123456789ABCDEF";
    own = std::string("キー 0x") + hex[key.virtualKey >> 4] + hex[key.virtualKey & 15];
  }
  return name + own;
}

std::string TrayTip(bool paused, const std::string& picturePath, const std::vector<std::string>& keysHeldElsewhere,
                    size_t maxChars) {
  const std::string first = paused ? "Vorel（一時停止中）" : "Vorel";
  const size_t slash = picturePath.find_last_of("\\/");
  const std::string file = slash == std::string::npos ? picturePath : picturePath.substr(slash + 1);
  std::string keys;
  for (const std::string& key : keysHeldElsewhere) keys += (keys.empty() ? "使えないキー: " : ", ") + key;

  std::string tip = first;
  size_t room = maxChars > WideLength(first) ? maxChars - WideLength(first) : 0;
  // The key line is told in full where it fits; the file name gets what is left.
  const size_t keysCost = keys.empty() ? 0 : 1 + WideLength(keys);
  if (keysCost > room) keys = keys.empty() || room < 2 ? std::string() : ShortenMiddle(keys, room - 1);
  const size_t keysUsed = keys.empty() ? 0 : 1 + WideLength(keys);
  room -= keysUsed;
  if (!file.empty() && room >= 2) tip += "\n" + ShortenMiddle(file, room - 1);
  if (!keys.empty()) tip += "\n" + keys;
  return tip;
}

}  // namespace vorel
