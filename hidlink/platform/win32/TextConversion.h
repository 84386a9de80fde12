// Text and path helpers of the Win32 backend: the programs speak UTF-8, the W functions UTF-16.
#pragma once

#include <windows.h>

#include <string>

namespace hidlink::win32 {

// False for text that is not valid UTF-8 (such a path names no file the programs could mean).
bool Utf8ToUtf16(const std::string& utf8, std::wstring* utf16);

// A lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::wstring& utf16);

// The directory part of a path: everything before the last separator ('\' or '/'). A drive root
// keeps its separator ("C:\app.exe" gives "C:\"), as Windows itself writes it; a path without a
// separator gives the empty text.
std::wstring DirectoryOf(const std::wstring& path);

// The system's message for an error code, in UTF-8, without the line end FormatMessage appends.
std::string SystemErrorText(DWORD error);

}  // namespace hidlink::win32
