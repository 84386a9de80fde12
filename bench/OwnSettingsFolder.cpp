#include "bench/OwnSettingsFolder.h"

#include <stdlib.h>

#include <stdexcept>
#include <string>

namespace bench {

OwnSettingsFolder::OwnSettingsFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "bench-settings-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temp folder");
    directory_ = pattern;
    // Where the chart remembers being folded, on either system, and where an update is logged.
    for (const char* variable : {"XDG_CONFIG_HOME", "APPDATA", "XDG_STATE_HOME", "LOCALAPPDATA"})
        ::setenv(variable, pattern.c_str(), 1);
}

OwnSettingsFolder::~OwnSettingsFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

}  // namespace bench
