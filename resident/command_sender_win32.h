// The second Vorelset of "Vorelset.exe /next": it finds the running one, hands each command
// over and waits until it has been accepted, and shows nothing, so that a script or an
// installer never hangs on it.
#pragma once

#include <windows.h>

#include <vector>

#include "resident/remote_command.h"

namespace vorel {

struct HandOverWaits {
  // A Vorelset that has just been started runs a moment before it holds "Vorel" and a moment
  // more before its window exists: while the name is held or another process of this program
  // runs, and no Vorelrun shows, the window is looked for this long.
  DWORD windowMs = 10000;
  // How long the running Vorelset may take to accept all the commands; it accepts at its next
  // message, which a change run in progress (a large picture, the viewer converting one) delays.
  DWORD acceptMs = 30000;
};

// The exit code: kExitHandedOver when every command was accepted; kExitNoVorelset when no
// Vorelset runs (nothing does, or only Vorelrun holds "Vorel"), or it did not accept in time.
int HandOverCommands(const std::vector<RemoteCommand>& commands, const HandOverWaits& waits = {});

}  // namespace vorel
