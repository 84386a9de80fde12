#include "window/chart/FoldMemory.h"

#include "common/FileAccess.h"
#include "common/SystemText.h"

namespace ui {

namespace {

std::string Environment(const char* name) {
    return common::EnvironmentText(name).value_or("");
}

constexpr char kFolded[] = "folded";
constexpr char kOpen[] = "open";

}  // namespace

std::string FoldMemoryPath(const std::string& key) {
#ifdef _WIN32
    const std::string folder = Environment("APPDATA");
    if (folder.empty())
        return {};
    return folder + "\\Drivanta\\" + key + "-folded";
#else
    std::string folder = Environment("XDG_CONFIG_HOME");
    // A relative value is to be ignored: it would put the file wherever the program was started.
    if (!folder.empty() && folder[0] != '/')
        folder.clear();
    if (folder.empty() && !Environment("HOME").empty())
        folder = Environment("HOME") + "/.config";
    if (folder.empty())
        return {};
    return folder + "/drivanta/" + key + "-folded";
#endif
}

std::optional<bool> RecallFolded(const std::string& path) {
    if (path.empty())
        return std::nullopt;
    std::optional<common::File> file = common::File::OpenForReading(path);
    char word[16] = {};
    const long long got = file ? file->Read(word, sizeof word - 1) : -1;
    if (got <= 0)
        return std::nullopt;
    const std::string text(word, static_cast<std::size_t>(got));
    const std::string first = text.substr(0, text.find_first_of(" \t\r\n"));
    if (first == kFolded)
        return true;
    if (first == kOpen)
        return false;
    return std::nullopt;
}

void RememberFolded(const std::string& path, bool folded) {
    if (path.empty())
        return;
    common::CreateFoldersFor(path);
    if (std::optional<common::File> file = common::File::CreateEmptied(path))
        static_cast<void>(file->WriteAll(std::string(folded ? kFolded : kOpen) + "\n"));
}

}  // namespace ui
