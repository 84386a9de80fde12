// What every scenario of the test machine uses: a verdict that keeps the first failure, the
// hidraw backend with the program folder the scenario chose and a record of its handles, a
// scratch folder with a firmware image in it, and the carriers that put models into the kernel.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ModelCarrier.h"
#include "hidlink/platform/linux/HidrawApi.h"

namespace kerneltest {

class Verdict {
  public:
    // Keeps the first failure's reason; later checks still run so their effects happen.
    void Check(bool ok, const std::string& why) {
        if (!ok && why_.empty())
            why_ = why;
    }
    bool Passed() const { return why_.empty(); }
    const std::string& Why() const { return why_; }

  private:
    std::string why_;
};

// The hidraw backend as the programs use it, with the image folder of the scenario's choosing,
// and a record of which devices were opened and of closes that found no handle to close.
class ScenarioApi : public hidlink::hidraw::HidrawApi {
  public:
    explicit ScenarioApi(std::filesystem::path programDirectory)
        : programDirectory_(std::move(programDirectory)) {}

    std::string ProgramDirectory() override { return programDirectory_.string(); }
    hidlink::Handle CreateFileA(const std::string& fileName, std::uint32_t desiredAccess,
                                std::uint32_t shareMode,
                                const hidlink::SecurityAttributes* security,
                                std::uint32_t creationDisposition,
                                std::uint32_t flagsAndAttributes) override;
    hidlink::Bool32 CloseHandle(hidlink::Handle object) override;

    // Device paths in the order they were opened, one entry per handle.
    const std::vector<std::string>& Opened() const { return opened_; }
    int FailedCloses() const { return failedCloses_; }

  private:
    std::filesystem::path programDirectory_;
    std::vector<std::string> opened_;
    int failedCloses_ = 0;
};

// A folder of its own under /tmp, removed with everything in it at the end of the scenario.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Writes `records` whole records of pseudo-random bytes and a shorter tail; returns the bytes of
// the whole records, which are all a transfer sends.
std::vector<std::uint8_t> WriteImage(const std::filesystem::path& file, std::size_t records,
                                     std::size_t tail, std::uint32_t seed);

enum class Carrier { Uhid, Usb };
// The model in the kernel on a real clock: through uhid (as a USB device without a USB device
// above it) or as a USB gadget on dummy_udc.<controller>.
std::unique_ptr<ModelCarrier> Carry(Carrier carrier, std::shared_ptr<sim::SimDevice> model,
                                    ReportIdsOf reportIds, int controller = 0);

// The caption a label shows for a value, as the programs write it.
std::string Shown(const std::string& value);

// "what: expected 'a', shown 'b'" when they differ; "" when they are equal.
std::string Mismatch(const std::string& what, const std::string& expected,
                     const std::string& shown);

// "hidraw2 hidraw2", or "none".
std::string Joined(const std::vector<std::string>& items);

// Checks that the program holds no hidraw handle now and never closed one twice.
void CheckNoHandles(Verdict& verdict, const ScenarioApi& api, const std::string& when);

}  // namespace kerneltest
