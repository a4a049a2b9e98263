// The skin the player ships with, for tests of windows that wear it: the
// build puts Skins\Default beside every test program.
#pragma once

#include <windows.h>

#include <string>

#include "ui/CProfileHelper.h"
#include "ui/CSkinManager.h"

// Points the skin manager at the shipped skin and loads it; answers what
// LoadSkinScheme answered (0 when every image loaded).
inline int LoadShippedSkin() {
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  CSkinManager* skins = GetSkinManager();
  skins->SetSchemeFolder(std::string(folder) + "\\Skins\\Default");
  return skins->LoadSkinScheme();
}
