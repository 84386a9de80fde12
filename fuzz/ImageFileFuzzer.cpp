// The image check and the record reader on image files that the fuzzer makes up: any contents,
// a size that may disagree with them, reads that come back short or fail, opens that fail.
// The reader must hand over the file's whole records in order and nothing else, every file
// opened must be closed once, and an image the check passes must be readable as records.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/Require.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "updater/FirmwareImage.h"

namespace {

using fuzz::Require;

constexpr hidlink::FileHandle kFile = 7;

struct ImageScript {
    std::vector<std::uint8_t> contents;
    std::int64_t claimedSize = 0;
    bool openFails = false;
    int failingRead = 0;                // 0: no read fails
    std::vector<std::uint32_t> chunks;  // bytes each read returns at most, in turn; 0: all asked
};

// The bus with its image files replaced by one scripted file.
class ScriptedImageBus : public sim::SimulatedBus {
  public:
    ScriptedImageBus(sim::SimClock& clock, ImageScript script)
        : SimulatedBus(clock), script_(std::move(script)) {}

    hidlink::FileHandle OpenImageFile(const std::string& /*path*/, std::string* errorText,
                                      bool* notFound) override {
        *notFound = false;
        if (script_.openFails) {
            *errorText = "scripted open failure";
            return hidlink::kNoFile;
        }
        ++opens_;
        Require(!open_, "the image opened while already open");
        open_ = true;
        position_ = 0;
        return kFile;
    }
    std::int64_t ImageFileSize(hidlink::FileHandle file, std::string* errorText) override {
        Require(file == kFile && open_, "size asked of a file that is not open");
        if (script_.claimedSize < 0)
            *errorText = "scripted size failure";
        return std::max<std::int64_t>(script_.claimedSize, -1);
    }
    std::int64_t ReadImageFile(hidlink::FileHandle file, void* buffer, std::uint32_t length,
                               std::string* errorText) override {
        Require(file == kFile && open_, "read from a file that is not open");
        if (++reads_ == script_.failingRead) {
            *errorText = "scripted read failure";
            return -1;
        }
        std::uint32_t n = length;
        if (!script_.chunks.empty()) {
            const std::uint32_t chunk = script_.chunks[reads_ % script_.chunks.size()];
            n = chunk == 0 ? n : std::min(n, chunk);
        }
        n = static_cast<std::uint32_t>(
            std::min<std::size_t>(n, script_.contents.size() - position_));
        std::copy_n(script_.contents.begin() + static_cast<std::ptrdiff_t>(position_), n,
                    static_cast<std::uint8_t*>(buffer));
        position_ += n;
        return n;
    }
    void CloseImageFile(hidlink::FileHandle file) override {
        Require(file == kFile && open_, "the image closed twice or never opened");
        open_ = false;
        ++closes_;
    }

    bool Open() const { return open_; }
    int Opens() const { return opens_; }
    int Closes() const { return closes_; }
    int Reads() const { return reads_; }

  private:
    ImageScript script_;
    bool open_ = false;
    std::size_t position_ = 0;
    int opens_ = 0;
    int closes_ = 0;
    int reads_ = 0;
};

ImageScript ReadScript(FuzzedDataProvider& input) {
    ImageScript script;
    script.openFails = input.ConsumeIntegralInRange(0, 15) == 0;
    script.failingRead = input.ConsumeBool() ? input.ConsumeIntegralInRange(1, 60) : 0;
    script.chunks.resize(input.ConsumeIntegralInRange<std::size_t>(0, 4));
    for (std::uint32_t& chunk : script.chunks)
        chunk = input.ConsumeIntegralInRange<std::uint32_t>(0, 41);
    const bool trueSize = input.ConsumeBool();
    const auto otherSize = input.ConsumeIntegralInRange<std::int64_t>(-2, 1400000);
    script.contents = input.ConsumeRemainingBytes<std::uint8_t>();
    script.claimedSize = trueSize ? static_cast<std::int64_t>(script.contents.size()) : otherSize;
    return script;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int reportLength = input.ConsumeIntegralInRange(0, 120);
    const ImageScript script = ReadScript(input);
    const auto& contents = script.contents;

    sim::VirtualClock clock;
    ScriptedImageBus bus(clock, script);
    const updater::ImageCheck check = updater::CheckImage(bus, "image.bin", reportLength, 41, 101);
    Require(!bus.Open(), "the check left the image open");
    Require(check.ok == check.problem.empty(), "a check with no verdict, or two");

    Require(bus.Opens() == bus.Closes(), "an image handle not closed once");
    if (!check.ok)
        return 0;

    const std::size_t records = check.records.size();
    Require(records >= 1 && records <= static_cast<std::size_t>(updater::kMaxRecords),
            "the check passed an image that cannot be sent");
    Require(records * updater::kRecordSize <= contents.size(), "a record beyond the file");
    for (std::size_t i = 0; i < records; ++i) {
        const auto at = static_cast<std::ptrdiff_t>(i * updater::kRecordSize);
        Require(std::equal(check.records[i].begin(), check.records[i].end(), contents.begin() + at),
                "a record's bytes are not the file's, in order");
    }
    if (script.claimedSize == static_cast<std::int64_t>(contents.size()))
        Require(records == contents.size() / updater::kRecordSize,
                "not every whole record was kept");
    return 0;
}
