#include "ShellmarkModule.h"

namespace shellmark {

namespace {
HMODULE g_module = nullptr;
LONG volatile g_objects = 0;
}  // namespace

void SetModuleHandle(HMODULE module) { g_module = module; }
HMODULE ModuleHandle() { return g_module; }

void AddModuleObject() { InterlockedIncrement(&g_objects); }
void RemoveModuleObject() { InterlockedDecrement(&g_objects); }
LONG ModuleObjectCount() { return InterlockedCompareExchange(&g_objects, 0, 0); }

}  // namespace shellmark
