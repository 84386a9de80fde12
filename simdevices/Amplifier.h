// The simulated servo amplifier. Its application firmware answers the bootloader-switch report
// (08 DE FA BB) by starting its bootloader on the same bus connection. The bootloader stores the
// record of every data report with ID 0x40 and, on the reset report (08 DE FA DE), restarts the
// amplifier: it leaves the bus and comes back a moment later running the new firmware, with a
// higher version number.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "hidlink/sim/SimDevice.h"
#include "simdevices/RecordStore.h"

namespace simdevices {

struct AmplifierOptions {
    std::uint16_t vendorId = 0x1D47;
    std::uint16_t productId = 0x2233;
    std::uint16_t versionNumber = 0x0203;
    std::uint16_t reportLength = 65;
    std::u16string serialNumber = u"DV2A-010342";
    std::string port = "1-2";           // the USB port it is plugged into; also names its path
    std::int64_t returnAfterMs = 1500;  // from the reset report to being back on the bus
    // The host misses the restart: it goes on listing the amplifier as it was (its old version)
    // and never sees it come back, as a HID stack without device events does.
    bool listedThroughRestart = false;
    // The host notices the restart this late: until then it lists the amplifier as it was, and
    // its old handles still answer; it then sees it leave, and come back no earlier than that.
    std::int64_t listedAfterResetMs = 0;
    bool printSummaryOnReturn = false;  // the -sim program's line on standard error
};

class Amplifier : public sim::SimDevice {
  public:
    enum class Mode { Application, Bootloader, Restarting };

    explicit Amplifier(const AmplifierOptions& options = {});

    Mode CurrentMode() const { return mode_; }
    // The records stored since the bootloader last started, in the order received.
    const std::vector<std::uint8_t>& ReceivedImage() const { return store_.Image(); }
    std::size_t ReceivedRecords() const { return store_.Records(); }
    int SwitchReports() const { return switchReports_; }
    int ResetReports() const { return resetReports_; }
    // Refuse the data reports with these 1-based indexes (counted since the bootloader started).
    void RefuseRecords(std::set<std::size_t> indexes) { store_.Refuse(std::move(indexes)); }
    // "simulated amplifier: received N records (M bytes), crc32 xxxxxxxx"
    std::string Summary() const;

    void Advance(std::int64_t nowMs) override;
    bool SetFeature(const std::uint8_t* report, std::uint32_t length, std::int64_t nowMs) override;

  private:
    AmplifierOptions options_;
    Mode mode_ = Mode::Application;
    std::int64_t returnAtMs_ = -1;
    std::int64_t leaveAtMs_ = -1;  // a restart the host has not noticed yet
    RecordStore store_{0x40};
    int switchReports_ = 0;
    int resetReports_ = 0;
};

}  // namespace simdevices
