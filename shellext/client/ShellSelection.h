#pragma once
// The data object Explorer hands a context-menu handler for a selection of
// files, made through the shell's own folder objects, for programs that drive
// the handler as Explorer does (shellmark_try, the tests).
#include <windows.h>
#include <objidl.h>

#include <string>
#include <vector>

namespace shellmark {

// A data object for the files, in the given order. All of them must be in one
// folder, as an Explorer selection is; the caller releases the object. Needs
// COM initialised on the calling thread.
HRESULT CreateShellSelection(const std::vector<std::wstring>& paths, IDataObject** data);

}  // namespace shellmark
