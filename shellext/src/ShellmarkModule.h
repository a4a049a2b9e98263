#pragma once
// What the module keeps for its whole life in Explorer's process: its own
// handle (for its file's path when it registers) and the count of live class
// factories and extension objects, which decides whether COM may unload it.
#include <windows.h>

namespace shellmark {

void SetModuleHandle(HMODULE module);
HMODULE ModuleHandle();

// Every factory and extension object counts itself in at construction and out
// at destruction; from any thread.
void AddModuleObject();
void RemoveModuleObject();
LONG ModuleObjectCount();

}  // namespace shellmark
