// Vorelset's four system-wide keys ("HotKeyNext", "HotKeyPrev", "HotKeyPause",
// "HotKeyExclude"): the stored value as a hot-key control gives it, the modifiers the system
// registers it with, the name the user reads when another program holds it, and the tray's
// tip that says so. Platform-neutral: the constants are Windows' own numbers.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "engine/settings.h"

namespace vorel {

// HOTKEYF_ flags of a hot-key control, and the MOD_ flags of RegisterHotKey.
inline constexpr uint8_t kHotKeyShift = 0x01;
inline constexpr uint8_t kHotKeyControl = 0x02;
inline constexpr uint8_t kHotKeyAlt = 0x04;
inline constexpr uint8_t kHotKeyExtended = 0x08;
inline constexpr uint32_t kModAlt = 0x0001;
inline constexpr uint32_t kModControl = 0x0002;
inline constexpr uint32_t kModShift = 0x0004;
inline constexpr uint32_t kModNoRepeat = 0x4000;

struct HotKey {
  uint8_t virtualKey = 0;
  uint8_t flags = 0;  // kHotKey* flags
  // The stored value: low byte the key, next byte the flags. Anything else (0, a value with
  // higher bits, a flag that is none of the four, no key) is no key.
  static HotKey FromStored(int32_t value);
  bool None() const { return virtualKey == 0; }
  int32_t Stored() const { return None() ? 0 : (static_cast<int32_t>(flags) << 8) | virtualKey; }
  // For RegisterHotKey: a key held down fires once.
  uint32_t Modifiers() const;
  bool operator==(const HotKey&) const = default;
};

// What each key does, in the order of the page "キー操作".
enum class HotKeyAction { kNext, kPrev, kPause, kExclude };
struct HotKeyBinding {
  HotKeyAction action;
  const char* valueName;
  int32_t Settings::*field;
  const char* caption;  // on the page and in the report of a key another program holds
};
std::span<const HotKeyBinding> HotKeyBindings();

// "Ctrl+Alt+N": the modifiers in the order Windows' own hot-key control shows them, then the
// key's name as the keyboard gives it (keyName: virtual key and the extended flag → name).
std::string HotKeyName(HotKey key, const std::function<std::string(uint8_t virtualKey, bool extended)>& keyName);

// The tray's tip: "Vorel" (with "（一時停止中）" while paused), the current picture's file name
// on the second line, and the keys another program holds on the third, cut to fit the tip's
// maxChars characters (UTF-16 units) by shortening the file name in its middle first.
inline constexpr size_t kTrayTipChars = 63;
std::string TrayTip(bool paused, const std::string& picturePath, const std::vector<std::string>& keysHeldElsewhere,
                    size_t maxChars = kTrayTipChars);

}  // namespace vorel
