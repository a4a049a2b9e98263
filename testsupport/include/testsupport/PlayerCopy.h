#pragma once
// Copies of the player program in folders of their own, for the tests and
// benchmarks that start it: its settings file and last play list live beside
// the program, so each copy starts from what its folder holds.
#include <string>

namespace testsupport {

// Copies the folder from with everything under it to to, made if missing.
bool CopyTree(const std::string& from, const std::string& to);

// Copies Melodara.exe and what it loads from its own folder (the libraries,
// the music font, the skin schemes and the pictures) from the output folder
// out into to; the settings file is left to the caller.
bool CopyPlayerProgram(const std::string& out, const std::string& to);

}  // namespace testsupport
