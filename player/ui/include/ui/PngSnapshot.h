// Saving pictures of what the framework drew as PNG files through GDI+, for
// screenshots a person looks at (tests, the skin gallery).
#pragma once

#include <windows.h>

#include <string>

bool SaveBitmapPng(HBITMAP bitmap, const std::string& path);
// The screen's pixels inside the rectangle (screen coordinates).
bool SaveScreenAreaPng(const RECT& area, const std::string& path);
