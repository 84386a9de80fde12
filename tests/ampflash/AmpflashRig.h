// An ampflash window on a simulated bus: a keyboard, then the amplifier, a virtual clock, a
// headless window and a scratch program directory for the image.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "hidlink/sim/SimulatedBus.h"
#include "simdevices/Amplifier.h"
#include "simdevices/Bystanders.h"
#include "window/headless/HeadlessWindow.h"

namespace ampflash_test {

// Bytes that differ from record to record, so order and completeness show.
inline std::vector<std::uint8_t> ImageBytes(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = 12345;
    for (auto& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(state >> 16);
    }
    return bytes;
}

inline std::vector<std::uint8_t> Head(const std::vector<std::uint8_t>& bytes, std::size_t n) {
    return std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
}

struct AmpflashRig {
    explicit AmpflashRig(simdevices::AmplifierOptions options = {}, bool withAmplifier = true)
        : directory(ScratchDirectory()) {
        window.AnswerConfirmation = [this](const std::string&) { return acceptConfirmation; };
        std::filesystem::create_directories(directory);
        bus.SetProgramDirectory(directory.string());
        bus.AddDevice(simdevices::MakeKeyboard());
        if (withAmplifier) {
            amplifier = std::make_shared<simdevices::Amplifier>(options);
            bus.AddDevice(amplifier);
        }
    }
    ~AmpflashRig() {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }

    std::filesystem::path ImageFile() const { return directory / ampflash::kImageFileName; }
    void WriteImage(const std::vector<std::uint8_t>& bytes) const {
        std::ofstream out(ImageFile(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    void Load() { window.Load(form); }
    void Click() { window.Click("btnUpgradeFW"); }
    std::string Caption() const { return window.Text("btnUpgradeFW"); }
    // The caption, or the whole text in the tooltip when the caption had to be shortened.
    std::string WholeCaption() const {
        const std::string& tip = window.Control("btnUpgradeFW").toolTip;
        return tip.empty() ? Caption() : tip;
    }

    // The reports sent, in order, whether the device took them or not.
    std::vector<sim::Call> Reports() const { return bus.CallsNamed("HidD_SetFeature"); }
    std::vector<sim::Call> DataReports() const {
        std::vector<sim::Call> out;
        for (const auto& c : Reports()) {
            if (!c.bytes.empty() && c.bytes[0] == 0x40)
                out.push_back(c);
        }
        return out;
    }
    // The widths the fill was given, in order.
    std::vector<double> FillWidths() const {
        std::vector<double> out;
        for (const auto& e : window.EventsFor("Pic")) {
            if (e.what == "width")
                out.push_back(std::stod(e.value));
        }
        return out;
    }

    // How the user answers the question before flashing.
    bool acceptConfirmation = true;
    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    std::filesystem::path directory;
    std::shared_ptr<simdevices::Amplifier> amplifier;
    ui::HeadlessWindow window{ampflash::AmpflashLayout()};
    ampflash::frmMain form{window, bus};

  private:
    static std::filesystem::path ScratchDirectory() {
        static std::atomic<int> serial{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        return std::filesystem::temp_directory_path() /
               (std::string("ampflash-test-") + std::to_string(stamp) + "-" +
                std::to_string(serial++));
    }
};

}  // namespace ampflash_test

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace ampflash_test {

// Every test ends with the window closed (as the user would) and every handle, list, file and
// precise-timing period accounted for.
template <class Base = ::testing::Test>
class RigTest : public Base {
  protected:
    AmpflashRig& MakeRig(simdevices::AmplifierOptions options = {}, bool withAmplifier = true) {
        rig_ = std::make_unique<AmpflashRig>(options, withAmplifier);
        return *rig_;
    }
    void TearDown() override {
        if (!rig_)
            return;
        if (!rig_->window.IsUnloaded())
            rig_->window.RequestClose();
        EXPECT_TRUE(rig_->window.Terminated());
        EXPECT_THAT(rig_->bus.HandleProblems(), ::testing::IsEmpty());
    }

  private:
    std::unique_ptr<AmpflashRig> rig_;
};

}  // namespace ampflash_test
