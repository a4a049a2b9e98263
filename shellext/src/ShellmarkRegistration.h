#pragma once
// What regsvr32 asks of the module, since no installer of ours registers it.
#include <windows.h>

namespace shellmark {

// Writes the class (HKEY_CLASSES_ROOT\CLSID\{...} with InprocServer32 = this
// module's path, ThreadingModel Apartment) and the context-menu handler key for
// every file; and, only where they are missing, the player's InstallPath (this
// module's folder, the program folder) and AppName under HKEY_CURRENT_USER, so
// the item works for the user who registers it. On failure whatever was
// written is removed and the result is SELFREG_E_CLASS.
HRESULT RegisterShellmark(HMODULE module);

// Removes what registration adds and nothing else: the class key, the handler
// key while it still names this class, and InstallPath and AppName while they
// still hold what registration would write. Parent keys stay.
HRESULT UnregisterShellmark(HMODULE module);

}  // namespace shellmark
