#pragma once

#include <windows.h>

#include <ole2.h>

// The names and numbers by which the browser control is known: in the
// registry, on disk and to its containers.

inline constexpr wchar_t kControlProgId[] = L"RUVICTRL.RUVICtrlCtrl.1";
inline constexpr WORD kTypeLibMajorVersion = 1;
inline constexpr WORD kTypeLibMinorVersion = 0;

inline constexpr DWORD kControlMiscStatus = OLEMISC_ACTIVATEWHENVISIBLE |
                                            OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT |
                                            OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
static_assert(kControlMiscStatus == 0x20191);

// The only thing the control persists: the version stamp 1.0 (major in the
// high word), under this name in property bags.
inline constexpr DWORD kVersionStamp = MAKELONG(0, 1);
inline constexpr wchar_t kVersionStampProperty[] = L"_Version";
