#pragma once
// The packer (outside/pack) as the song maker runs it: pack\pack.exe beside
// the test program.
#include <string>

namespace testsupport {

// Runs pack\pack.exe with the arguments and answers its exit code: -1 when it
// cannot be started, 255 when it has not ended within 30 seconds.
int RunPack(const std::string& arguments);

}  // namespace testsupport
