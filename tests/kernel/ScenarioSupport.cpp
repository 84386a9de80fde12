#include "ScenarioSupport.h"

#include <linux/input.h>
#include <unistd.h>

#include <atomic>
#include <fstream>

#include "HidrawNodes.h"
#include "UhidDevice.h"
#include "UsbGadget.h"

namespace kerneltest {

namespace fs = std::filesystem;

hidlink::Handle ScenarioApi::CreateFileA(const std::string& fileName, std::uint32_t desiredAccess,
                                         std::uint32_t shareMode,
                                         const hidlink::SecurityAttributes* security,
                                         std::uint32_t creationDisposition,
                                         std::uint32_t flagsAndAttributes) {
    const hidlink::Handle h = HidrawApi::CreateFileA(fileName, desiredAccess, shareMode, security,
                                                     creationDisposition, flagsAndAttributes);
    if (h != hidlink::kInvalidHandleValue)
        opened_.push_back(fileName);
    return h;
}

hidlink::Bool32 ScenarioApi::CloseHandle(hidlink::Handle object) {
    const hidlink::Bool32 closed = HidrawApi::CloseHandle(object);
    if (closed == 0)
        ++failedCloses_;
    return closed;
}

ScratchFolder::ScratchFolder() {
    static std::atomic<int> made{0};
    path_ = fs::temp_directory_path() /
            ("scenario-" + std::to_string(::getpid()) + "-" + std::to_string(++made));
    fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::vector<std::uint8_t> WriteImage(const fs::path& file, std::size_t records, std::size_t tail,
                                     std::uint32_t seed) {
    constexpr std::size_t kRecordBytes = 40;
    std::vector<std::uint8_t> bytes(records * kRecordBytes + tail);
    for (auto& b : bytes) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(seed >> 16);
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    bytes.resize(records * kRecordBytes);
    return bytes;
}

std::unique_ptr<ModelCarrier> Carry(Carrier carrier, std::shared_ptr<sim::SimDevice> model,
                                    ReportIdsOf reportIds, int controller) {
    if (carrier == Carrier::Uhid) {
        return std::make_unique<UhidDevice>(
            std::move(model), UhidOptions{BUS_USB, std::move(reportIds), ServedModel::Clock::Real});
    }
    return std::make_unique<UsbGadget>(
        std::move(model),
        GadgetOptions{controller, std::move(reportIds), ServedModel::Clock::Real});
}

std::string Shown(const std::string& value) {
    return " " + value;
}

std::string Mismatch(const std::string& what, const std::string& expected,
                     const std::string& shown) {
    if (expected == shown)
        return {};
    return what + ": expected '" + expected + "', shown '" + shown + "'";
}

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : " ") + item;
    return out.empty() ? "none" : out;
}

void CheckNoHandles(Verdict& verdict, const ScenarioApi& api, const std::string& when) {
    const std::vector<std::string> open = OpenHidrawNodes();
    verdict.Check(open.empty(), "left open " + when + ": " + Joined(open));
    verdict.Check(api.FailedCloses() == 0, "a handle was closed that was not open");
}

}  // namespace kerneltest
