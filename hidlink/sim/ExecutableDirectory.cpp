#include "hidlink/sim/ExecutableDirectory.h"

#include <filesystem>
#include <system_error>

namespace sim {

std::string ExecutableDirectory(const char* argv0) {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        exe = std::filesystem::absolute(argv0, error);
    return exe.parent_path().string();
}

}  // namespace sim
