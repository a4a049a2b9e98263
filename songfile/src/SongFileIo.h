#pragma once
// Whole-file reading and writing for songs.
#include <cstddef>
#include <cstdint>
#include <vector>

// MIDI songs are small; a file beyond this is read only up to it, so a hostile
// or mistaken path cannot make a load take the machine's memory.
constexpr size_t kMaxSongFileBytes = 256u * 1024 * 1024;

// False when the file cannot be opened or read.
bool ReadSongFile(const char* path, std::vector<uint8_t>& out);
