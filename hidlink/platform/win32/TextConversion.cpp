#include "hidlink/platform/win32/TextConversion.h"

#include "common/SystemText.h"

namespace hidlink::win32 {

bool Utf8ToUtf16(const std::string& utf8, std::wstring* utf16) {
    utf16->clear();
    if (utf8.empty())
        return true;
    const int size = static_cast<int>(utf8.size());
    const int length =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (length == 0)
        return false;
    utf16->resize(static_cast<std::size_t>(length));
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, utf16->data(), length);
    return true;
}

std::string Utf16ToUtf8(const std::wstring& utf16) {
    return common::Utf8(utf16);
}

std::wstring DirectoryOf(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos)
        return {};
    const bool driveRoot = separator > 0 && path[separator - 1] == L':';
    return path.substr(0, driveRoot || separator == 0 ? separator + 1 : separator);
}

std::string SystemErrorText(DWORD error) {
    wchar_t* message = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    if (length == 0)
        return "Error " + std::to_string(error);
    std::wstring text(message, length);
    ::LocalFree(message);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n'))
        text.pop_back();
    return Utf16ToUtf8(text);
}

}  // namespace hidlink::win32
