// The planting itself, shown to work: a plain LoadLibrary looks beside the .exe first, so with
// Wine told to prefer a native DLL, the planted one is the one loaded. Without this, a run that
// leaves no marker would prove nothing. Takes the DLL names to load.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i)
        LoadLibraryW(argv[i]);
    return 0;
}
