#include "tools/demo/DemoLayout.h"

namespace demo {

namespace {

ui::ControlSpec Spec(std::string name, ui::ControlKind kind, std::string caption, int left, int top,
                     int width, int height) {
    return ui::MakeControl(std::move(name), kind, std::move(caption), left, top, width, height,
                           ui::Font{"Arial", 10, false});
}

ui::ControlSpec InFrame(ui::ControlSpec spec) {
    spec.container = "Frame1";
    return spec;
}

ui::ControlSpec AsField(ui::ControlSpec spec) {
    spec.backColor = ui::kSystemWindowBackground;
    spec.foreColor = ui::kSystemWindowText;
    return spec;
}

}  // namespace

ui::FormLayout DemoLayout() {
    using K = ui::ControlKind;
    ui::FormLayout layout;
    layout.caption = "Window layer demo";
    layout.clientWidth = 6000;
    layout.clientHeight = 4020;
    layout.iconName = "servodiag";

    auto& c = layout.controls;
    c.push_back(Spec("Frame1", K::Frame, "Device details", 120, 60, 5760, 1455));
    c.push_back(InFrame(Spec("Label4", K::Label, "Manufacturer", 180, 300, 1335, 285)));
    c.push_back(InFrame(AsField(Spec("lblManuf", K::Label, "", 1620, 300, 3960, 330))));
    c.push_back(InFrame(Spec("Label5", K::Label, "Product", 180, 660, 1335, 285)));
    c.push_back(InFrame(AsField(Spec("lblProduct", K::Label, "", 1620, 660, 3960, 330))));
    c.push_back(InFrame(Spec("Label2", K::Label, "Version & build", 180, 1020, 1335, 285)));
    c.push_back(InFrame(AsField(Spec("lblVersion", K::Label, "", 1620, 1020, 3960, 330))));

    c.push_back(Spec("Label30", K::Label, "Bus voltage", 120, 1700, 1335, 285));
    auto busVoltage = Spec("bus_v", K::TextField, "", 1560, 1660, 1035, 360);
    busVoltage.enabled = false;
    c.push_back(busVoltage);
    c.push_back(Spec("Label33", K::Label, "E-STOP", 3000, 1700, 1000, 285));
    auto estop = Spec("estop", K::TextField, "", 4080, 1660, 1035, 360);
    estop.enabled = false;
    c.push_back(estop);

    c.push_back(Spec("Line1", K::Line, "", 120, 2160, 5760, 0));
    c.push_back(Spec("Picture1", K::PictureBox, "", 120, 2340, 5760, 195));
    auto fill = Spec("Pic", K::PictureBox, "", 180, 2400, 5640, 75);
    fill.backColor = ui::Rgb(128, 128, 255);
    c.push_back(fill);

    auto start = Spec("btnStart", K::Button, "Start transfer", 1500, 2760, 3000, 495);
    start.font = ui::Font{"MS Sans Serif", 9, true};
    c.push_back(start);
    auto close = Spec("btnClose", K::Button, "Close", 1500, 3360, 3000, 495);
    close.font = ui::Font{"MS Sans Serif", 9, false};
    c.push_back(close);

    auto timer = Spec("Timer", K::Timer, "", 0, 0, 0, 0);
    timer.intervalMs = 200;
    timer.enabled = false;
    c.push_back(timer);
    return layout;
}

void FillDemoWindow(ui::Window& window) {
    window.SetText("lblManuf", "Example Devices Ltd");
    window.SetText("lblProduct", "Demo Wheel Base");
    window.SetText("lblVersion", "1" + window.DecimalSeparator() + "02");
    window.SetText("bus_v", "24" + window.DecimalSeparator() + "1");
    window.SetText("estop", "OK");
    window.SetBackColor("estop", ui::kGreen);
    window.SetWidth("Pic", window.Width("Pic") / 2);
}

}  // namespace demo
