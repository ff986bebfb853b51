// The command line of a second Vorelset and the message the running one accepts.
#include "resident/remote_command.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vorel {
namespace {

using Kind = CommandLineSwitches::Kind;
using C = RemoteCommand;

TEST(RemoteCommand, SwitchesAreReadWithoutCaseAndAnUnknownOneStopsEverything) {
  struct Case {
    std::vector<std::string> arguments;
    Kind kind;
    std::vector<C> commands;
    std::string unknown;
  };
  const Case cases[] = {
      {{}, Kind::kNone, {}, ""},
      {{"picture.bmp"}, Kind::kNone, {}, ""},  // no switch: the program starts as always
      {{""}, Kind::kNone, {}, ""},
      {{"/next"}, Kind::kCommands, {C::kNext}, ""},
      {{"-PREV"}, Kind::kCommands, {C::kPrev}, ""},
      {{"/Exclude", "-pause", "/RESUME"}, Kind::kCommands, {C::kExclude, C::kPause, C::kResume}, ""},
      {{"/erase", "/settings", "/exit"}, Kind::kCommands, {C::kErase, C::kSettings, C::kExit}, ""},
      {{"/next", "/nxt", "/exit"}, Kind::kUnknown, {}, "/nxt"},
      {{"/"}, Kind::kUnknown, {}, "/"},
      {{"--next"}, Kind::kUnknown, {}, "--next"},
      {{"/next "}, Kind::kUnknown, {}, "/next "},
      {{"/nexts"}, Kind::kUnknown, {}, "/nexts"},
      {{"/ｎｅｘｔ"}, Kind::kUnknown, {}, "/ｎｅｘｔ"},
      {{"/C:\\Windows\\System32\\calc.exe"}, Kind::kUnknown, {}, "/C:\\Windows\\System32\\calc.exe"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.empty() ? "(none)" : c.arguments.front());
    const CommandLineSwitches s = ParseSwitches(c.arguments);
    EXPECT_EQ(s.kind, c.kind);
    EXPECT_EQ(s.commands, c.commands);
    EXPECT_EQ(s.unknown, c.unknown);
  }
}

TEST(RemoteCommand, OnlyAnExactNameWithTheTagIsAccepted) {
  struct Case {
    const char* name;
    uint64_t tag;
    std::string bytes;
    std::optional<C> command;
  };
  const std::string big(kMaxRemoteCommandBytes + 1, 'x');
  const Case cases[] = {
      {"every name", kRemoteCommandTag, "next", C::kNext},
      {"", kRemoteCommandTag, "prev", C::kPrev},
      {"", kRemoteCommandTag, "exclude", C::kExclude},
      {"", kRemoteCommandTag, "pause", C::kPause},
      {"", kRemoteCommandTag, "resume", C::kResume},
      {"", kRemoteCommandTag, "erase", C::kErase},
      {"", kRemoteCommandTag, "settings", C::kSettings},
      {"", kRemoteCommandTag, "exit", C::kExit},
      {"another tag", kRemoteCommandTag + 1, "next", std::nullopt},
      {"a tag with high bits", (uint64_t{1} << 40) | kRemoteCommandTag, "next", std::nullopt},
      {"no data", kRemoteCommandTag, "", std::nullopt},
      {"terminated", kRemoteCommandTag, std::string("next\0", 5), std::nullopt},
      {"upper case", kRemoteCommandTag, "NEXT", std::nullopt},
      {"with its switch", kRemoteCommandTag, "/next", std::nullopt},
      {"a path", kRemoteCommandTag, "C:\\evil.exe", std::nullopt},
      {"oversized", kRemoteCommandTag, big, std::nullopt},
      {"a name and more", kRemoteCommandTag, std::string("next\0calc.exe", 13), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(ReceivedCommand(c.tag, c.bytes.data(), c.bytes.size()), c.command) << c.name;
  }
  EXPECT_EQ(ReceivedCommand(kRemoteCommandTag, nullptr, 4), std::nullopt);
  // What the second process sends is what the first accepts.
  for (const C command : {C::kNext, C::kPrev, C::kExclude, C::kPause, C::kResume, C::kErase, C::kSettings, C::kExit}) {
    const std::string_view name = CommandName(command);
    EXPECT_EQ(ReceivedCommand(kRemoteCommandTag, name.data(), name.size()), command);
  }
}

}  // namespace
}  // namespace vorel
