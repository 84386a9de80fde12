// The program's surroundings on Windows: its directory, the ANSI code page and image files.
#include <string>

#include "hidlink/platform/win32/TextConversion.h"
#include "hidlink/platform/win32/Win32Api.h"

namespace hidlink::win32 {

namespace {

HANDLE ToHandle(FileHandle file) {
    return reinterpret_cast<HANDLE>(file);
}

void Report(DWORD error, std::string* errorText) {
    if (errorText != nullptr)
        *errorText = SystemErrorText(error);
}

}  // namespace

std::string Win32Api::ProgramDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // truncated: a long path
    }
    return Utf16ToUtf8(DirectoryOf(path));
}

std::string Win32Api::PathSeparator() const {
    return "\\";
}

char32_t Win32Api::AnsiToUnicode(std::uint8_t code) const {
    const char byte = static_cast<char>(code);
    wchar_t units[2] = {};
    const int count = ::MultiByteToWideChar(CP_ACP, 0, &byte, 1, units, 2);
    if (count == 1)
        return units[0];
    if (count == 2 && IS_HIGH_SURROGATE(units[0]) && IS_LOW_SURROGATE(units[1])) {
        return 0x10000 + ((char32_t(units[0]) - 0xD800) << 10) + (char32_t(units[1]) - 0xDC00);
    }
    return U'\uFFFD';  // a lead byte of a multi-byte code page means nothing alone
}

FileHandle Win32Api::OpenImageFile(const std::string& path, std::string* errorText,
                                   bool* notFound) {
    if (notFound != nullptr)
        *notFound = false;
    std::wstring widePath;
    if (!Utf8ToUtf16(path, &widePath)) {
        Report(ERROR_NO_UNICODE_TRANSLATION, errorText);
        return kNoFile;
    }
    // OPEN_EXISTING: an image that is not there is reported, never created.
    const HANDLE file = ::CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (notFound != nullptr) {
            *notFound = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        }
        Report(error, errorText);
        return kNoFile;
    }
    return reinterpret_cast<FileHandle>(file);
}

std::int64_t Win32Api::ImageFileSize(FileHandle file, std::string* errorText) {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(ToHandle(file), &size)) {
        Report(::GetLastError(), errorText);
        return -1;
    }
    return size.QuadPart;
}

std::int64_t Win32Api::ReadImageFile(FileHandle file, void* buffer, std::uint32_t length,
                                     std::string* errorText) {
    DWORD read = 0;
    if (!::ReadFile(ToHandle(file), buffer, length, &read, nullptr)) {
        Report(::GetLastError(), errorText);
        return -1;
    }
    return read;
}

void Win32Api::CloseImageFile(FileHandle file) {
    if (file != kNoFile)
        ::CloseHandle(ToHandle(file));
}

}  // namespace hidlink::win32
