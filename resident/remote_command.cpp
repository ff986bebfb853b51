// The command line of a second Vorelset and the message that carries one command.
#include "resident/remote_command.h"

#include <array>
#include <cstring>

namespace vorel {
namespace {

struct Named {
  RemoteCommand command;
  std::string_view name;
};
constexpr std::array<Named, 8> kCommands{{
    {RemoteCommand::kNext, "next"},
    {RemoteCommand::kPrev, "prev"},
    {RemoteCommand::kExclude, "exclude"},
    {RemoteCommand::kPause, "pause"},
    {RemoteCommand::kResume, "resume"},
    {RemoteCommand::kErase, "erase"},
    {RemoteCommand::kSettings, "settings"},
    {RemoteCommand::kExit, "exit"},
}};

std::optional<RemoteCommand> CommandNamed(std::string_view name) {
  for (const Named& n : kCommands)
    if (n.name == name) return n.command;
  return std::nullopt;
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

}  // namespace

std::string_view CommandName(RemoteCommand command) {
  for (const Named& n : kCommands)
    if (n.command == command) return n.name;
  return {};
}

CommandLineSwitches ParseSwitches(const std::vector<std::string>& arguments) {
  CommandLineSwitches result;
  for (const std::string& argument : arguments) {
    if (argument.empty() || (argument.front() != '/' && argument.front() != '-')) continue;
    const std::optional<RemoteCommand> command = CommandNamed(LowerAscii(std::string_view(argument).substr(1)));
    if (!command) {
      result.kind = CommandLineSwitches::Kind::kUnknown;
      result.commands.clear();
      result.unknown = argument;
      return result;
    }
    result.kind = CommandLineSwitches::Kind::kCommands;
    result.commands.push_back(*command);
  }
  return result;
}

std::optional<RemoteCommand> ReceivedCommand(uint64_t tag, const void* data, size_t size) {
  if (tag != kRemoteCommandTag || !data || size == 0 || size > kMaxRemoteCommandBytes) return std::nullopt;
  char name[kMaxRemoteCommandBytes];
  std::memcpy(name, data, size);
  return CommandNamed(std::string_view(name, size));
}

}  // namespace vorel
