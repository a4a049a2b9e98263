// The library's factories; version 1 is the only one there is. No exception
// leaves them: running out of memory gives null.
#include <windows.h>

#include <new>

#include "CSmfParser.h"
#include "CSmfParser2.h"
#include "CSmfParserHandler.h"
#include "base/Guarded.h"
#include "scrivel/Scrivel.h"

namespace {
template <class Object, class Interface>
Interface* Make(int version) {
  if (version != 1) return nullptr;
  return base::Guarded([] { return static_cast<Interface*>(new Object); }, static_cast<Interface*>(nullptr));
}
}  // namespace

extern "C" {
ISmfParser* CreateScrivel(int version) { return Make<CSmfParser, ISmfParser>(version); }
ISmfParser2* CreateScrivel2(int version) { return Make<CSmfParser2, ISmfParser2>(version); }
ISmfParserHandler* CreateScrivelHandler(int version) {
  return Make<CSmfParserHandler, ISmfParserHandler>(version);
}
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
