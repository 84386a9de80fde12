// A small window with one control of every kind, laid out like the programs' windows.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "window/FormLayout.h"
#include "window/PlatformWindow.h"
#include "window/qt/QtWindow.h"

namespace qttest {

inline ui::ControlSpec Spec(std::string name, ui::ControlKind kind, std::string caption, int left,
                            int top, int width, int height) {
    return ui::MakeControl(std::move(name), kind, std::move(caption), left, top, width, height,
                           ui::Font{"Arial", 10, false});
}

inline ui::FormLayout TestLayout() {
    using K = ui::ControlKind;
    ui::FormLayout layout;
    layout.caption = "Test window";
    layout.clientWidth = 8100;
    layout.clientHeight = 9620;
    layout.iconName = "servodiag";
    auto& c = layout.controls;

    // Listed before its frame, so the window must place it inside a frame realised later.
    auto manufacturer = Spec("lblManuf", K::Label, "", 1620, 300, 3300, 285);
    manufacturer.container = "Frame1";
    manufacturer.backColor = ui::kSystemWindowBackground;
    manufacturer.foreColor = ui::kSystemWindowText;
    manufacturer.selectable = true;
    c.push_back(manufacturer);
    c.push_back(Spec("Frame1", K::Frame, "Device details", 60, 60, 4935, 1755));
    auto caption = Spec("Label4", K::Label, "Manufacturer", 180, 300, 1335, 285);
    caption.container = "Frame1";
    c.push_back(caption);

    auto degrees = Spec("Degrees", K::Label, "", 2160, 2520, 1000, 285);
    degrees.font.bold = true;
    c.push_back(degrees);
    c.push_back(Spec("USBerr", K::TextField, "", 6600, 200, 1035, 360));
    c.push_back(Spec("Line1", K::Line, "", 120, 3420, 4800, 0));
    c.push_back(Spec("Picture1", K::PictureBox, "", 120, 1860, 5175, 195));
    auto fill = Spec("Pic", K::PictureBox, "", 180, 1920, 5055, 75);
    fill.backColor = ui::Rgb(128, 128, 255);
    c.push_back(fill);

    auto hidden = Spec("Command1", K::Button, "Get data", 120, 4000, 1500, 495);
    hidden.visible = false;
    c.push_back(hidden);
    auto disabled = Spec("Disabled", K::Button, "Disabled", 120, 4600, 1500, 495);
    disabled.enabled = false;
    c.push_back(disabled);
    c.push_back(Spec("Go", K::Button, "Go", 120, 5200, 1500, 495));
    auto stop = Spec("Stop", K::Button, "Stop", 1800, 5200, 1500, 495);
    stop.accessKey = 't';
    c.push_back(stop);
    c.push_back(Spec("Device", K::Chooser, "Choose a device", 120, 5900, 3000, 315));

    auto timer = Spec("Timer", K::Timer, "", 0, 0, 0, 0);
    timer.intervalMs = 1;
    timer.enabled = false;
    c.push_back(timer);
    return layout;
}

inline std::unique_ptr<ui::qt::QtWindow> CreateTestWindow() {
    std::unique_ptr<ui::Window> window = ui::CreatePlatformWindow(TestLayout());
    auto* qtWindow = dynamic_cast<ui::qt::QtWindow*>(window.get());
    if (qtWindow == nullptr)
        throw std::logic_error("the platform window is not the Qt window");
    window.release();
    return std::unique_ptr<ui::qt::QtWindow>(qtWindow);
}

template <typename W = QWidget>
W* Child(const ui::qt::QtWindow& window, const char* name) {
    return window.Form()->findChild<W*>(name);
}

}  // namespace qttest
