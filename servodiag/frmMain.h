// The diagnostics window's handlers: find the device at load, read its settings once, read its
// status on every timer tick, close it at unload. Never writes to the device.
//
// Without a device, the window says so and searches again every second. When the status reads
// fail several times in a row, the device is let go: the window says it is not responding, greys
// the values it last showed and searches again. A device found again is read as at start-up.
// A device that has answered no status read since it was opened, and whose handle still works,
// is not lost but shown as it is: one that reports no status, asked again once a second. Every
// device found starts with blank values: nothing of the device before stays on screen.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "hidlink/ApiDeclarations.h"
#include "hidlink/DeviceChooser.h"
#include "hidlink/HidLink.h"
#include "servodiag/DeviceState.h"
#include "servodiag/StatusChart.h"
#include "window/Window.h"

namespace servodiag {

// The wheel controller (1020, taken first) and the amplifier (2233, 2232), of Drivanta's vendor
// ID; each identity string read is followed by a pause.
inline const hidlink::DeviceProfile kProfile{hidlink::ServodiagAccepts,
                                             hidlink::NoDeviceRule::BlankAll, 100, 0x1020};

class frmMain : public ui::FormHandlers {
  public:
    // selector: the device named on the command line. With several devices and none named, the
    // first is shown and the window offers the others.
    frmMain(ui::Window& window, hidlink::ApiDeclarations& api,
            hidlink::DeviceSelector selector = {});

    void Form_Load() override;
    void Click(const std::string& control) override;
    void Timer_Timer() override;
    // The user chose another device among several: the window shows that one from now on.
    void Chosen(const std::string& control, int index) override;
    void Form_Unload() override;

    // The status exchange: report 17 on the overlapped handle, shown in the status column.
    void Command1_Click();
    void Go_Click();
    // The settings exchange: report 8 on the plain handle, shown in the settings list; then
    // the device details are enabled.
    void ReadSettings();

    const hidlink::HidLink& Link() const { return link_; }
    DeviceState State() const { return state_; }

    // Timer ticks (200 ms each) between searches while there is no device: one second.
    static constexpr int kTicksPerSearch = 5;
    // Status reads that fail in a row before the device counts as not responding.
    static constexpr int kFailedReadsBeforeLost = 3;

    // Told after every status exchange: the report the device answered with, or null when it did
    // not answer (or no device is open).
    using StatusListener = std::function<void(const std::uint8_t* report)>;
    void OnStatus(StatusListener listener) { statusListener_ = std::move(listener); }
    // Told when another device is chosen or a device is opened, before anything is read from
    // it: what was kept of the device before is not this device's.
    void OnDeviceChange(std::function<void()> listener) { changeListener_ = std::move(listener); }
    // A device was opened since the window was loaded.
    bool DeviceEverFound() const { return deviceEverFound_; }
    // The clock the chart places each exchange by: a test's virtual one.
    void UseChartClock(StatusChartClock clock) { chartClock_ = std::move(clock); }

  private:
    // Looks for the device; when found, shows its identity and settings as at start-up.
    void Search();
    void LoseDevice();
    // A status read failed: counted, and after several in a row the device is taken for one
    // that reports no status (never answered, still there) or let go.
    void StatusReadFailed();
    // Asked of the open handle without sending anything to the device: it fails once the device
    // has left the bus.
    bool StillThere();
    void ShowState(DeviceState state);
    // Empties every status and settings field, and the signal colours: they showed another
    // device, or this one before it was opened again.
    void ClearDeviceValues();
    // Greys (stale) or restores every control that shows a device value, and the colour of
    // every signal among them; the fields of a report this device does not answer stay grey.
    void ShowValuesStale(bool stale);
    // A value's signal colour (E-STOP, bus voltage), remembered for when it is live again.
    void ShowSignalColor(const char* control, const std::optional<ui::ColorRef>& color);
    // Every status exchange, answered (the report) or not (null): to the listener and the chart.
    void RecordStatusExchange(const std::uint8_t* report);

    ui::Window& window_;
    hidlink::ApiDeclarations& api_;
    hidlink::HidLink link_;
    hidlink::DeviceChooser chooser_;
    StatusListener statusListener_;
    std::string title_;  // the window's own title, before any state is added
    DeviceState state_ = DeviceState::NoDevice;
    bool stateShown_ = false;
    bool stateReportsSettings_ = true;  // as the state line says it
    int ticksSinceSearch_ = 0;
    int failedReads_ = 0;
    int ticksSinceStatusAsked_ = 0;   // while the device reports no status
    bool statusSinceOpened_ = false;  // by this device, also before it was last let go of
    std::string answeredBy_;          // the last device that answered a status read
    bool settingsAnswered_ = false;
    bool deviceEverFound_ = false;
    std::function<void()> changeListener_;
    StatusChartClock chartClock_;
    std::string chartDevice_;  // the device found last, as the chart names it
    std::map<std::string, ui::ColorRef> signalColors_;
};

}  // namespace servodiag
