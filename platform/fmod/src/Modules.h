#pragma once
// Tracker modules: recognised by their signature only; they play silence.

namespace soundlib {

// The module type (FMUSIC_TYPE_*), its channels and order count; false for
// anything that is not a module we know (MP3, WAV and the like).
bool DetectModule(const char* path, int* type, int* channels, int* orders);

}  // namespace soundlib
