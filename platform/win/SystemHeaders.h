#pragma once

// <windows.h> for the Windows implementations. Its A/W macros DeleteFile, CopyFile and MoveFile
// would rename our own platform functions of those names, so they go; the code calls the W forms.
// WIN32_LEAN_AND_MEAN keeps the old <winsock.h> out of <windows.h>, so <winsock2.h> (declarations only:
// the library itself is loaded at run time) can follow it.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winsock2.h>
// After <windows.h>, which they need: access lists and their text form, known folders.
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#undef DeleteFile
#undef CopyFile
#undef MoveFile
