// Writes 32-bit top-down BGRX pixels as an RGB PNG file, uncompressed
// (stored deflate blocks): review images need no zlib.
#pragma once

#include <cstdint>
#include <string>

bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height);
