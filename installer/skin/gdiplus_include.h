#pragma once

// <gdiplus.h> after <windows.h>. The project builds with NOMINMAX and
// WIN32_LEAN_AND_MEAN: the GDI+ headers need the min and max of their own
// namespace, and the COM declarations that the lean <windows.h> leaves out.
#include <windows.h>

#include <objidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>
