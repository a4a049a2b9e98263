#include "ui/IPlayerHost.h"

namespace {

// Set and read on the UI thread only, so no lock.
IPlayerHost* g_host = nullptr;

}  // namespace

IPlayerHost* GetPlayerHost() { return g_host; }

void SetPlayerHost(IPlayerHost* host) { g_host = host; }
