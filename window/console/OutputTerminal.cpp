#include "window/console/OutputTerminal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace ui {

namespace {

// The common convention (no-color.org): set and not empty, it turns colours off.
bool ColoursRefused() {
    const char* noColour = std::getenv("NO_COLOR");
    return noColour != nullptr && noColour[0] != '\0';
}

#ifdef _WIN32
// Wine's console takes the mode below but shows the sequences as text.
bool RunsOnWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool ConsoleTakesControlSequences() {
    // The handle the C runtime writes to, which is the borrowed console's after a reopen.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdout)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || GetConsoleMode(handle, &mode) == 0 || RunsOnWine())
        return false;  // a file, a pipe, or Wine
    // Fails on consoles older than Windows 10, which then get a line per reading.
    return SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}
#else
bool ConsoleTakesControlSequences() {
    // A terminal that says it is "dumb" moves no cursor.
    const char* term = std::getenv("TERM");
    return isatty(fileno(stdout)) != 0 && term != nullptr && term[0] != '\0' &&
           std::strcmp(term, "dumb") != 0;
}
#endif

}  // namespace

OutputTerminal StandardOutputTerminal() {
    OutputTerminal terminal;
    terminal.movesCursor = ConsoleTakesControlSequences();
    terminal.colours = terminal.movesCursor && !ColoursRefused();
    return terminal;
}

}  // namespace ui
