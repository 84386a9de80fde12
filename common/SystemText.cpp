#include "common/SystemText.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>
#endif

namespace common {

#ifdef _WIN32

std::wstring Utf16(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string Utf8(const std::wstring& utf16) {
    if (utf16.empty())
        return {};
    const int size = static_cast<int>(utf16.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::optional<std::string> EnvironmentText(const char* name) {
    // Straight from the process's UTF-16 block: _wgetenv in a program started through main()
    // converts from the narrow environment, whose ANSI code page has already lost what it cannot
    // hold.
    const std::wstring wideName = Utf16(name);
    std::wstring value(64, L'\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(),
                                                     static_cast<DWORD>(value.size()));
        if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND)
            return std::nullopt;
        // Too small, the length asked for counts the terminating null; otherwise it does not.
        if (length < value.size()) {
            value.resize(length);
            return Utf8(value);
        }
        value.resize(length);
    }
}

Utf8Arguments::Utf8Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        values_.assign(argv, argv + argc);
    } else {
        for (int i = 0; i < count; ++i)
            values_.push_back(Utf8(wide[i]));
        LocalFree(wide);
    }
    for (std::string& value : values_)
        pointers_.push_back(value.data());
    pointers_.push_back(nullptr);
}

#else

std::optional<std::string> EnvironmentText(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr)
        return std::nullopt;
    return std::string(value);
}

Utf8Arguments::Utf8Arguments(int argc, char** argv) : values_(argv, argv + argc) {
    for (std::string& value : values_)
        pointers_.push_back(value.data());
    pointers_.push_back(nullptr);
}

#endif

}  // namespace common
