#include "tests/win32_window/TestForm.h"

namespace ui::test {

namespace {

ControlSpec Control(std::string name, ControlKind kind, std::string caption, int left, int top,
                    int width, int height) {
    return MakeControl(std::move(name), kind, std::move(caption), left, top, width, height,
                       Font{"Arial", 10, false});
}

}  // namespace

FormLayout SampleForm() {
    FormLayout form;
    form.caption = "Prüfstand – Drivanta";
    form.clientWidth = 8100;
    form.clientHeight = 9620;
    form.iconName = "servodiag";

    auto frame = Control("Frame1", ControlKind::Frame, "Device details", 60, 60, 4935, 1755);
    auto caption = Control("Label4", ControlKind::Label, "Manufacturer", 180, 300, 1215, 285);
    caption.container = "Frame1";
    auto value = Control("lblManuf", ControlKind::Label, "", 1620, 300, 3300, 285);
    value.container = "Frame1";
    value.backColor = kSystemWindowBackground;
    value.selectable = true;
    auto field = Control("USBerr", ControlKind::TextField, "17", 6600, 200, 1035, 360);
    auto degrees = Control("Degrees", ControlKind::Label, "-12.5", 2160, 2520, 1000, 285);
    degrees.font.bold = true;
    auto line = Control("Line1", ControlKind::Line, "", 120, 3420, 4800, 0);
    auto track = Control("Picture1", ControlKind::PictureBox, "", 120, 4000, 5175, 195);
    auto fill = Control("Pic", ControlKind::PictureBox, "", 180, 4060, 5055, 75);
    fill.backColor = Rgb(128, 128, 255);
    auto hidden = Control("Command1", ControlKind::Button, "Get data", 120, 5000, 1500, 495);
    hidden.visible = false;
    auto disabled = Control("Command3", ControlKind::Button, "Disabled", 1800, 5000, 1500, 495);
    disabled.enabled = false;
    auto go = Control("Go", ControlKind::Button, "Upgrade Firmware", 3480, 5000, 2000, 495);
    go.font.bold = true;
    auto other = Control("Command2", ControlKind::Button, "2. Load Firmware", 120, 5700, 5175, 495);
    auto device = Control("Device", ControlKind::Chooser, "Choose a device", 120, 6400, 3000, 315);
    auto timer = Control("Timer", ControlKind::Timer, "", 0, 0, 0, 0);
    timer.enabled = false;
    timer.intervalMs = 10;

    form.controls = {frame, caption, value,    field, degrees, line,   track,
                     fill,  hidden,  disabled, go,    other,   device, timer};
    return form;
}

void LoggingHandlers::Form_Load() {
    log.push_back("load");
    if (onLoad)
        onLoad();
}

void LoggingHandlers::Click(const std::string& control) {
    log.push_back("click " + control);
    if (onClick)
        onClick(control);
}

void LoggingHandlers::Chosen(const std::string& control, int index) {
    log.push_back("chosen " + control + " " + std::to_string(index));
}

void LoggingHandlers::Timer_Timer() {
    ++ticks;
    if (onTick)
        onTick();
}

bool LoggingHandlers::Form_QueryUnload() {
    log.push_back("query");
    return agreeToClose;
}

}  // namespace ui::test
