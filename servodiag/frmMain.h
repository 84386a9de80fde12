// The diagnostics window's handlers: find the device at load, read its settings once, read its
// status on every timer tick, close it at unload. Never writes to the device.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "hidlink/ApiDeclarations.h"
#include "hidlink/HidLink.h"
#include "window/Window.h"

namespace servodiag {

class frmMain : public ui::FormHandlers {
  public:
    frmMain(ui::Window& window, hidlink::ApiDeclarations& api);

    void Form_Load() override;
    void Click(const std::string& control) override;
    void Timer_Timer() override;
    void Form_Unload() override;

    // The status exchange: report 17 on the overlapped handle, shown in the status column.
    void Command1_Click();
    void Go_Click();
    // The settings exchange: report 8 on the plain handle, shown in the settings list; then
    // the device details are enabled.
    void ReadSettings();

    const hidlink::HidLink& Link() const { return link_; }

    // Told after every status exchange: the report the device answered with, or null when it did
    // not answer (or no device is open).
    using StatusListener = std::function<void(const std::uint8_t* report)>;
    void OnStatus(StatusListener listener) { statusListener_ = std::move(listener); }

  private:
    ui::Window& window_;
    hidlink::ApiDeclarations& api_;
    hidlink::HidLink link_;
    StatusListener statusListener_;
};

}  // namespace servodiag
