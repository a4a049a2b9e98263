// GDI+ with what it expects from the Windows headers: min and max (which
// NOMINMAX hides) and the COM types.
#pragma once

#include <windows.h>
// WIN32_LEAN_AND_MEAN leaves out the COM types GDI+ uses.
#include <objidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>
