// One run of an updater on the simulated bus, from the window's load through one click, and the
// verdict on how it ended. A run ends truthfully in one of two states:
//   - success: the program closed its own window; the device holds exactly the checked image's
//     whole records, once each, in order, and an amplifier was reset out of its bootloader;
//   - failure: the window is open with a caption that says what happened, and what the device
//     holds agrees with it;
//   - cancelled: the user answered no to the question before flashing; nothing was sent and the
//     window is open as before the click;
// and in each, once the window is closed, no handle was closed twice or left open, the image
// file is closed and precise timing is off again. Where other matching devices share the bus, the
// user chooses the device under update in the window, and no report ever reaches another device;
// "Update complete" is only ever shown with the chosen device back on its own port.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hidlink/DeviceChooser.h"
#include "hidlink/sim/SimulatedBus.h"
#include "simdevices/Amplifier.h"
#include "simdevices/BaseUnit.h"
#include "simdevices/WheelController.h"
#include "updater/UpdaterForm.h"
#include "window/headless/HeadlessWindow.h"

namespace fault_matrix {

enum class Program {
    Ampflash,        // "Upgrade Firmware": switch, transfer, reset, wait
    Wheelflash,      // "Upgrade Firmware": command, wait, transfer
    WheelflashLoad,  // "2. Load Firmware" on a controller already waiting for an image
};

// A platform call to fail: its nth occurrence (from 1) counted from the start of the run.
struct Fault {
    std::string call;
    int nth = 0;
};

class UpdaterRun;

// Other matching devices beside the device under update ("amplifier", "controller"), each on a
// port and with a serial number of its own.
struct Neighbours {
    std::vector<std::string> before;  // enumerated before the device under update
    std::vector<std::string> after;
    // Absent at the load: plugged in once the device under update has left the bus to restart.
    bool arriveDuringRestart = false;
    // The device under update comes back from its restart on another port.
    bool confirmedMoves = false;
};

struct RunSetup {
    std::size_t imageBytes = 3 * 40 + 7;
    simdevices::AmplifierOptions amplifier;
    simdevices::WheelControllerOptions controller;
    // Puts something else where the image should be, before the run.
    std::function<void(const std::filesystem::path& image)> replaceImage;
    // The user's answer to the question before flashing.
    bool acceptConfirmation = true;
    // The update log to append to; empty for none.
    std::string logPath;
    // Runs before every platform call that reaches a device, with the virtual time.
    std::function<void(UpdaterRun& run, std::int64_t nowMs)> during;
    Neighbours neighbours;
    // Set: the device under update is a base unit, which either program updates.
    std::optional<simdevices::BaseUnitOptions> baseUnit;
};

class UpdaterRun {
  public:
    UpdaterRun(Program program, const RunSetup& setup, const std::vector<Fault>& faults = {});
    ~UpdaterRun();
    UpdaterRun(const UpdaterRun&) = delete;
    UpdaterRun& operator=(const UpdaterRun&) = delete;

    // Loads the window and clicks the program's button once.
    void LoadAndClick();
    // "" when the run ended truthfully (then the window is closed by the user if it is still
    // open, and the handles are checked); otherwise what is wrong.
    std::string Verdict();

    // --- for scenarios ----------------------------------------------------------------------
    sim::SimDevice& Device() const;
    // Whether the device takes image records now, and how many it holds.
    bool Receiving() const;
    std::size_t RecordsHeld() const;
    std::filesystem::path ImageFile() const;
    // Whether the click's image check has read the image.
    bool ImageChecked() const;
    // Free for a scenario's own bookkeeping (a time, a step).
    std::int64_t scenarioMark = -1;

    sim::SimulatedBus& Bus() { return bus_; }
    ui::HeadlessWindow& Window() { return *window_; }
    // The status the program would exit with now.
    int ExitStatus() const { return form_->ExitStatus(); }

  private:
    void AddNeighbours(const std::vector<std::string>& kinds, bool absent);
    // What the neighbours and the restart do, before every call that reaches a device.
    void FollowLayout(std::int64_t nowMs);
    std::string LayoutVerdict() const;
    // Whether the amplifier (or the base unit's) is back from its bootloader after a reset.
    bool ResetOutOfBootloader() const;
    std::vector<std::uint8_t> Held() const;
    std::string FailureVerdict(const std::string& caption, const std::vector<std::uint8_t>& held,
                               const std::vector<std::uint8_t>& whole) const;
    std::string Caption() const;
    // Whether the last question before flashing was answered no.
    bool WasCancelled() const;

    Program program_;
    sim::VirtualClock clock_;
    sim::SimulatedBus bus_{clock_};
    std::filesystem::path directory_;
    bool ownsDirectory_ = false;
    std::vector<std::uint8_t> image_;  // as the click checks it
    std::shared_ptr<simdevices::Amplifier> amplifier_;
    std::shared_ptr<simdevices::WheelController> controller_;
    std::shared_ptr<simdevices::BaseUnit> base_;
    bool ampflash_ = false;  // the program updates the amplifier (its image and its bootloader)
    std::unique_ptr<ui::HeadlessWindow> window_;
    std::unique_ptr<updater::UpdaterForm> form_;
    Neighbours layout_;
    std::vector<std::shared_ptr<sim::SimDevice>> neighbours_;
    std::string home_;  // the port of the device under update
    bool restarted_ = false;
};

// The calls of a good run, as faults: every occurrence of every call the bus can fail.
std::vector<Fault> FailablePositions(const std::vector<sim::Call>& calls);

}  // namespace fault_matrix
