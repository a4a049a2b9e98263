// Texts of the player's string table (player/res/Melodara.rc), which the
// program and the test programs of its windows carry as their own resources.
#pragma once

#include <windows.h>

#include <string>

// Empty for an id the table lacks. Defined once, with the framework's tool
// frame (ui/CToolFrame.h), which the lyrics window shares.
std::string LoadPlayerString(UINT id);
