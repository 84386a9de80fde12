#include "ampflash/Layout.h"

namespace ampflash {

namespace {

const ui::Font kControlFont{"MS Sans Serif", 9, false};
const ui::Font kFrameFont{"Arial", 10, false};

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
    c.font = kControlFont;
    return c;
}

ui::ControlSpec FrameLabel(std::string name, std::string caption, int left, int top, int width,
                           int height) {
    ui::ControlSpec c = Control(std::move(name), ui::ControlKind::Label, std::move(caption), left,
                                top, width, height);
    c.container = "Frame1";
    return c;
}

// The labels that show the device's values read like a text field.
ui::ControlSpec ValueLabel(std::string name, int top, int width) {
    ui::ControlSpec c = FrameLabel(std::move(name), "", 1560, top, width, 330);
    c.backColor = ui::kSystemWindowBackground;
    c.foreColor = ui::kSystemWindowText;
    return c;
}

}  // namespace

ui::FormLayout AmpflashLayout() {
    ui::FormLayout layout;
    layout.caption = "Firmware Update";
    layout.clientWidth = 5420;
    layout.clientHeight = 3010;
    layout.iconName = "ampflash";

    ui::ControlSpec frame = Control("Frame1", ui::ControlKind::Frame, "", 120, 0, 5175, 1695);
    frame.font = kFrameFont;
    frame.enabled = false;  // the identity block is display only
    layout.controls.push_back(frame);

    layout.controls.push_back(FrameLabel("Label4", "Manufacturer", 120, 240, 1215, 285));
    layout.controls.push_back(ValueLabel("lblManuf", 240, 3540));
    layout.controls.push_back(FrameLabel("Label5", "Product", 120, 600, 1215, 285));
    layout.controls.push_back(ValueLabel("lblProduct", 600, 3540));
    layout.controls.push_back(FrameLabel("Label2", "Version", 120, 960, 1455, 285));
    layout.controls.push_back(ValueLabel("lblVersion", 960, 3540));
    layout.controls.push_back(FrameLabel("Label3", "Serial Number", 120, 1320, 1455, 285));
    layout.controls.push_back(ValueLabel("lblSerialNumber", 1320, 3480));

    layout.controls.push_back(
        Control("Picture1", ui::ControlKind::PictureBox, "", 120, 1860, 5175, 195));
    // The fill sits 60 twips inside the track. It starts visible so that the load can read its
    // design width, the scale of the progress, before hiding it.
    ui::ControlSpec fill = Control("Pic", ui::ControlKind::PictureBox, "", 180, 1920, 5055, 75);
    fill.backColor = ui::Rgb(128, 128, 255);
    layout.controls.push_back(fill);

    layout.controls.push_back(
        Control("btnUpgradeFW", ui::ControlKind::Button, "Upgrade Firmware", 900, 2280, 3615, 495));
    ui::ControlSpec loadButton =
        Control("Command2", ui::ControlKind::Button, "2. Load Firmware", 120, 2940, 5175, 495);
    loadButton.visible = false;  // kept from the form's design; never offered
    layout.controls.push_back(loadButton);
    return layout;
}

}  // namespace ampflash
