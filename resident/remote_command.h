// What another process may tell a running Vorelset: "Vorelset.exe /next" and its siblings.
// The second process reads its switches here, hands each command's name over (WM_COPYDATA
// to the tray form) and ends with an exit code; the running Vorelset accepts a message only
// when it is exactly one of these names, so nothing but these commands can pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorel {

enum class RemoteCommand { kNext, kPrev, kExclude, kPause, kResume, kErase, kSettings, kExit };

// The switch's name without its "/" or "-": "next", "prev", ...
std::string_view CommandName(RemoteCommand command);

struct CommandLineSwitches {
  enum class Kind {
    kNone,      // no switch: the program starts as it always has
    kCommands,  // every switch known: hand them over in order
    kUnknown,   // a switch that is not one of them: nothing is handed over
  };
  Kind kind = Kind::kNone;
  std::vector<RemoteCommand> commands;
  std::string unknown;  // the first unknown switch, as written
};

// The arguments after the program's name. A switch begins with "/" or "-" and is compared
// without case; arguments that are no switches are ignored, as they always were.
CommandLineSwitches ParseSwitches(const std::vector<std::string>& arguments);

// The message's tag (WM_COPYDATA's dwData) and the longest name it may carry.
inline constexpr uint32_t kRemoteCommandTag = 0x566F5231;  // "VoR1"
inline constexpr size_t kMaxRemoteCommandBytes = 16;

// The command a received message carries; nullopt for anything else (another tag, no data,
// more than kMaxRemoteCommandBytes, a name that is not exactly one of the commands).
std::optional<RemoteCommand> ReceivedCommand(uint64_t tag, const void* data, size_t size);

// The second process's exit codes.
inline constexpr int kExitHandedOver = 0;
inline constexpr int kExitNoVorelset = 1;
inline constexpr int kExitUnknownSwitch = 2;

}  // namespace vorel
