// <windows.h> for code that also uses the platform interfaces: the Win32 macros that would
// rename the interfaces' methods (CreateDirectory -> CreateDirectoryA, ...) are undefined; call
// the "A" functions by their own names.
#pragma once

#include <windows.h>
// After windows.h:
#include <aclapi.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#undef CopyFile
#undef CreateDirectory
#undef DeleteFile
#undef GetCurrentDirectory
#undef GetDriveType
#undef MoveFile
#undef RemoveDirectory
#undef SetCurrentDirectory
