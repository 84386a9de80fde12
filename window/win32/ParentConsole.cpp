// The console side of the Win32 programs: they are window programs, so Windows gives them no
// console; for --help, --version and --no-window they borrow the one they were started from.
#include <windows.h>

#include <cstdio>

#include "window/PlatformWindow.h"

namespace ui {

namespace {

// A stream redirected to a file or a pipe already leads somewhere and is left alone.
bool LeadsSomewhere(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

bool CanOpenWindows() {
    return true;
}

void UseParentConsole() {
    const bool out = LeadsSomewhere(STD_OUTPUT_HANDLE);
    const bool err = LeadsSomewhere(STD_ERROR_HANDLE);
    const bool in = LeadsSomewhere(STD_INPUT_HANDLE);
    if ((out && err && in) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!out)
        std::freopen("CONOUT$", "w", stdout);
    if (!err)
        std::freopen("CONOUT$", "w", stderr);
    if (!in)
        std::freopen("CONIN$", "r", stdin);
}

}  // namespace ui
