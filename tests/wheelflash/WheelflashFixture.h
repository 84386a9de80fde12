// A wheelflash window on a simulated bus with a virtual clock: a keyboard enumerates first, then
// (when a test adds one) the wheel controller; the image lies in a fresh directory of its own.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"
#include "simdevices/Bystanders.h"
#include "simdevices/WheelController.h"
#include "updater/FirmwareImage.h"
#include "wheelflash/Layout.h"
#include "wheelflash/frmMain.h"
#include "window/headless/HeadlessWindow.h"

namespace wheelflash_test {

// Deterministic image bytes whose records all differ, and whose first bytes include 0x08 and
// 0x00 so a report ID taken from the record would show.
inline std::vector<std::uint8_t> ImageBytes(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 40 + 8) & 0xFF);
    return bytes;
}

class WheelflashFixture : public ::testing::Test {
  protected:
    WheelflashFixture() {
        // Parameterised tests are named "Name/3": keep the directory one level deep.
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        // A random part keeps builds that run the same test at once out of each other's way.
        directory_ = std::filesystem::temp_directory_path() /
                     ("wheelflash-test-" + std::to_string(std::random_device{}()) + "-" + name);
        std::filesystem::remove_all(directory_);
        std::filesystem::create_directories(directory_);
        bus.SetProgramDirectory(directory_.string());
        bus.AddDevice(simdevices::MakeKeyboard());
        window.AnswerConfirmation = [this](const std::string&) { return acceptConfirmation; };
    }
    ~WheelflashFixture() override { std::filesystem::remove_all(directory_); }

    std::shared_ptr<simdevices::WheelController> AddController(
        simdevices::WheelControllerOptions options = {}) {
        controller = std::make_shared<simdevices::WheelController>(options);
        bus.AddDevice(controller);
        return controller;
    }

    // As the program builds it, so a fault injected on this path meets the program's open.
    std::string ImagePath() { return updater::ImagePath(bus, wheelflash::kImageFileName); }

    std::vector<std::uint8_t> WriteImage(std::size_t size) {
        std::vector<std::uint8_t> bytes = ImageBytes(size);
        std::ofstream(ImagePath(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return bytes;
    }

    // A button's caption, or the whole text in its tooltip when the caption had to be shortened.
    std::string WholeCaption(const std::string& button) const {
        const std::string& tip = window.Control(button).toolTip;
        return tip.empty() ? window.Text(button) : tip;
    }

    void Load() {
        window.Load(form);
        loadedCalls_ = bus.Calls().size();
    }

    // The calls made since the window finished loading.
    std::vector<sim::Call> CallsAfterLoad() const {
        return {bus.Calls().begin() + static_cast<std::ptrdiff_t>(loadedCalls_), bus.Calls().end()};
    }
    std::vector<sim::Call> CallsAfterLoadNamed(const std::string& name) const {
        std::vector<sim::Call> out;
        for (const sim::Call& c : CallsAfterLoad()) {
            if (c.name == name)
                out.push_back(c);
        }
        return out;
    }

    // How the user answers the question before flashing.
    bool acceptConfirmation = true;
    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    ui::HeadlessWindow window{wheelflash::WheelflashLayout()};
    wheelflash::frmMain form{window, bus};
    std::shared_ptr<simdevices::WheelController> controller;

  private:
    std::filesystem::path directory_;
    std::size_t loadedCalls_ = 0;
};

}  // namespace wheelflash_test
