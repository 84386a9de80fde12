#include "wheelflash/Layout.h"

namespace wheelflash {

namespace {

ui::ControlSpec Control(std::string name, ui::ControlKind kind, std::string caption, int left,
                        int top, int width, int height) {
    ui::ControlSpec c;
    c.name = std::move(name);
    c.kind = kind;
    c.caption = std::move(caption);
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
    return c;
}

ui::ControlSpec InFrame(ui::ControlSpec c) {
    c.container = "Frame1";
    return c;
}

// The labels that show the device's values read like text fields: window colours, not the
// frame's.
ui::ControlSpec ValueLabel(std::string name, int top, int width) {
    ui::ControlSpec c =
        InFrame(Control(std::move(name), ui::ControlKind::Label, "", 1560, top, width, 330));
    c.backColor = ui::kSystemWindowBackground;
    c.foreColor = ui::kSystemWindowText;
    return c;
}

}  // namespace

ui::FormLayout WheelflashLayout() {
    using ui::ControlKind;
    ui::FormLayout layout;
    layout.caption = "Firmware Update";
    layout.clientWidth = 5420;
    layout.clientHeight = 3280;
    layout.iconName = "wheelflash";

    // The identity block only shows; it takes no input.
    ui::ControlSpec frame = Control("Frame1", ControlKind::Frame, "", 120, 0, 5175, 1695);
    frame.font = ui::Font{"Arial", 10, false};
    frame.enabled = false;

    // The fill sits 60 twips inside the track on every side; its full width is the width a
    // complete transfer would reach.
    ui::ControlSpec fill = Control("Pic", ControlKind::PictureBox, "", 180, 1800, 5055, 75);
    fill.backColor = ui::Rgb(128, 128, 255);

    ui::ControlSpec upgrade =
        Control("Command4", ControlKind::Button, "Upgrade Firmware", 1500, 2040, 2415, 495);
    upgrade.font.bold = true;

    // In tab order: "Upgrade Firmware" comes before "2. Load Firmware" and holds the focus.
    layout.controls = {
        frame,
        InFrame(Control("Label4", ControlKind::Label, "Manufacturer", 120, 240, 1215, 285)),
        ValueLabel("lblManuf", 240, 3540),
        InFrame(Control("Label5", ControlKind::Label, "Product", 120, 600, 1215, 285)),
        ValueLabel("lblProduct", 600, 3540),
        InFrame(Control("Label2", ControlKind::Label, "Version", 120, 960, 1455, 285)),
        ValueLabel("lblVersion", 960, 3540),
        InFrame(Control("Label3", ControlKind::Label, "Serial Number", 120, 1320, 1455, 285)),
        ValueLabel("lblSerialNumber", 1320, 3480),
        Control("Picture1", ControlKind::PictureBox, "", 120, 1740, 5175, 195),
        fill,
        upgrade,
        Control("Command2", ControlKind::Button, "2. Load Firmware", 120, 2700, 5175, 495),
    };
    return layout;
}

}  // namespace wheelflash
