// Loading and starting code that is not the program's own. Plug-ins and the viewer come from
// wherever the user put them, often a folder the user can write to, and the programs are
// started from folders nobody checks (a download folder, a share): no DLL may come from the
// current folder, a plug-in's own DLLs must come from beside it, and another program is
// started by its whole path, never by a command line the system has to take apart.
#pragma once

#include <windows.h>

#include <string>

namespace vorel {

// First thing at start of each program: from then on no DLL that the program or the system
// loads by name is taken from the current folder.
void KeepDllsOutOfCurrentFolder();

// Loads a plug-in DLL from its path. The DLLs it imports are looked for beside it and in the
// system's folders, never in the current folder. Null, with the error code set, when the DLL
// does not load.
HMODULE LoadPluginModule(const std::wstring& path);

// Starts `program` (its whole path: no folder is searched, no part of it is taken for another
// program) with `arguments` after its quoted path on the command line, shown as `show`, and
// waits up to idleWaitMs for it to be ready for input, as the old WinExec did. False when it
// could not be started.
bool StartProgram(const std::string& program, const std::string& arguments, int show, DWORD idleWaitMs);

}  // namespace vorel
