// Conversions between the UTF-8 strings of the program logic and the UTF-16 of the Win32 API.
#pragma once

#include <string>

namespace ui::win32 {

std::wstring ToUtf16(const std::string& utf8);
std::string ToUtf8(const std::wstring& utf16);

}  // namespace ui::win32
