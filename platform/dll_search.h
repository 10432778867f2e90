// Where the process looks for the DLLs that it, the common controls, COM and
// the shell load by name after start.
#pragma once

namespace ovsetup::platform {

// Makes the DLLs loaded by name from now on come from the system folder,
// never from the program's own folder (a Downloads folder, where anyone's
// files land) nor from the current folder: the search is restricted where
// Windows allows it, and the DLLs known to be loaded later are loaded from
// the system folder at once. Call it first thing in main, before any window,
// COM or shell call. Nothing is reported; a DLL the system lacks is simply
// not loaded. No effect on Linux.
void LoadDllsFromSystemFolderOnly();

}  // namespace ovsetup::platform
