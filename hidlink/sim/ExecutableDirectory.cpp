#include "hidlink/sim/ExecutableDirectory.h"

#include <filesystem>
#include <system_error>

#include "common/SystemText.h"

namespace sim {

std::string ExecutableDirectory(const char* argv0) {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
#ifdef _WIN32
    // argv[0] in UTF-8: the path's own narrow form would go through the ANSI code page.
    if (error)
        exe = std::filesystem::absolute(std::filesystem::path(common::Utf16(argv0)), error);
    return common::Utf8(exe.parent_path().wstring());
#else
    if (error)
        exe = std::filesystem::absolute(argv0, error);
    return exe.parent_path().string();
#endif
}

}  // namespace sim
