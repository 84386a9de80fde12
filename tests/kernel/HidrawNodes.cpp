#include "HidrawNodes.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace kerneltest {

namespace fs = std::filesystem;

namespace {

// Enumeration through usbhid under an emulated CPU on a busy machine can take seconds.
constexpr auto kNodeWait = std::chrono::seconds(10);
const fs::path kHidrawClass = "/sys/class/hidraw";

std::string FirstNode(const std::function<bool(const fs::path& classEntry)>& matches) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(kHidrawClass, error)) {
        const std::string node = entry.path().filename().string();
        if (matches(entry.path()) && fs::exists("/dev/" + node, error))
            return node;
    }
    return {};
}

template <typename Done>
bool PollUntil(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + kNodeWait;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        ::usleep(5000);
    }
    return true;
}

}  // namespace

std::string NodeWithPhys(const std::string& phys) {
    return FirstNode([&](const fs::path& entry) {
        std::ifstream uevent(entry / "device" / "uevent");
        for (std::string line; std::getline(uevent, line);) {
            if (line == "HID_PHYS=" + phys)
                return true;
        }
        return false;
    });
}

std::string NodeBelow(const std::string& folderName) {
    return FirstNode([&](const fs::path& entry) {
        std::error_code error;
        const fs::path device = fs::canonical(entry, error);
        if (error)
            return false;
        for (const auto& part : device) {
            if (part == folderName)
                return true;
        }
        return false;
    });
}

std::string HidDeviceOf(const std::string& node) {
    std::error_code error;
    const fs::path device = fs::canonical(kHidrawClass / node / "device", error);
    return error ? std::string() : device.string();
}

std::string WaitForNode(const std::function<std::string()>& find) {
    std::string node;
    PollUntil([&] { return !(node = find()).empty(); });
    return node;
}

bool WaitForNoNode(const std::function<std::string()>& find) {
    return PollUntil([&] { return find().empty(); });
}

void WaitForNodeGone(const std::string& node) {
    PollUntil([&] { return !fs::exists(kHidrawClass / node) && !fs::exists("/dev/" + node); });
}

std::vector<std::string> OpenHidrawNodes() {
    std::vector<std::string> nodes;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd", error)) {
        const fs::path target = fs::read_symlink(entry.path(), error);
        if (!error && target.parent_path() == "/dev" &&
            target.filename().string().rfind("hidraw", 0) == 0) {
            nodes.push_back(target.filename().string());
        }
    }
    return nodes;
}

}  // namespace kerneltest
