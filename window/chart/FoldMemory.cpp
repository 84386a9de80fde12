#include "window/chart/FoldMemory.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace ui {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

constexpr char kFolded[] = "folded";
constexpr char kOpen[] = "open";

}  // namespace

std::string FoldMemoryPath(const std::string& key) {
#ifdef _WIN32
    std::string folder = Environment("APPDATA");
#else
    std::string folder = Environment("XDG_CONFIG_HOME");
    if (folder.empty() && !Environment("HOME").empty())
        folder = Environment("HOME") + "/.config";
#endif
    if (folder.empty())
        return {};
    return (std::filesystem::path(folder) / "drivanta" / (key + "-folded")).string();
}

std::optional<bool> RecallFolded(const std::string& path) {
    std::ifstream file(path);
    std::string word;
    if (path.empty() || !(file >> word))
        return std::nullopt;
    if (word == kFolded)
        return true;
    if (word == kOpen)
        return false;
    return std::nullopt;
}

void RememberFolded(const std::string& path, bool folded) {
    if (path.empty())
        return;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::ofstream(path) << (folded ? kFolded : kOpen) << "\n";
}

}  // namespace ui
