#pragma once
// WMA, ASF and WMV files through the system's Windows Media reader (the
// first audio stream, as 16-bit PCM).
#include <memory>

#include "Decoder.h"

namespace soundlib {

// Null when the file is not Windows Media or the reader is missing.
std::unique_ptr<Decoder> OpenWindowsMediaDecoder(const char* path);

}  // namespace soundlib
