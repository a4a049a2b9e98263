#pragma once
// The song file library's factories. Each takes a version number, gives a new
// object for version 1 and null for any other (or when memory runs out). The
// caller ends the object with its Release. Libraries that load Scrivel.dll by
// name look the factories up with GetProcAddress and the typedefs below.
#include "scrivel/ISmfParser.h"
#include "scrivel/ISmfParser2.h"
#include "scrivel/ISmfParserHandler.h"

extern "C" {
ISmfParser* CreateScrivel(int version);
ISmfParser2* CreateScrivel2(int version);
ISmfParserHandler* CreateScrivelHandler(int version);
}

typedef ISmfParser* (*CreateScrivelFn)(int version);
typedef ISmfParser2* (*CreateScrivel2Fn)(int version);
typedef ISmfParserHandler* (*CreateScrivelHandlerFn)(int version);

constexpr const char kScrivelDll[] = "Scrivel.dll";
