#include "updater/UpdaterLayout.h"

#include "hidlink/DeviceChooser.h"

namespace updater {

namespace {

constexpr int kTrackLeft = 120;
constexpr int kTrackWidth = 5175;
constexpr int kTrackHeight = 195;
constexpr int kFillMargin = 60;

ui::ControlSpec InFrame(ui::ControlSpec c) {
    c.container = "Frame1";
    return c;
}

// The labels that show the device's values read like text fields: window colours, not the
// frame's, and text that can be selected and copied.
ui::ControlSpec ValueLabel(std::string name, std::string caption, int top, int width,
                           const ui::Font& font) {
    ui::ControlSpec c = InFrame(
        ui::MakeControl(std::move(name), ui::ControlKind::Label, "", 1560, top, width, 330, font));
    c.labelledBy = std::move(caption);
    c.backColor = ui::kSystemWindowBackground;
    c.foreColor = ui::kSystemWindowText;
    c.selectable = true;  // the serial number above all is copied into reports and tickets
    return c;
}

// In the product label's place, shown instead of it where several devices match.
ui::ControlSpec DeviceChooser(int top, int width, const ui::Font& font) {
    ui::ControlSpec c =
        InFrame(ui::MakeControl(hidlink::kChooserControl, ui::ControlKind::Chooser,
                                hidlink::kChooserPrompt, 1560, top, width, 330, font));
    c.visible = false;
    c.accessibleName = "Device";
    return c;
}

ui::ControlSpec Caption(std::string name, std::string caption, int top, int width,
                        const ui::Font& font) {
    return InFrame(ui::MakeControl(std::move(name), ui::ControlKind::Label, std::move(caption), 120,
                                   top, width, 285, font));
}

}  // namespace

std::vector<ui::ControlSpec> IdentityControls(const ui::Font& labelFont) {
    ui::ControlSpec frame =
        ui::MakeControl("Frame1", ui::ControlKind::Frame, "", 120, 0, 5175, 1695, {"Arial", 10});
    frame.accessibleName = "Device";  // the frame has no title to be named by
    return {
        frame,
        Caption("Label4", "Manufacturer", 240, 1215, labelFont),
        ValueLabel("lblManuf", "Label4", 240, 3540, labelFont),
        Caption("Label5", "Product", 600, 1215, labelFont),
        ValueLabel("lblProduct", "Label5", 600, 3540, labelFont),
        DeviceChooser(600, 3540, labelFont),
        Caption("Label2", "Version", 960, 1455, labelFont),
        ValueLabel("lblVersion", "Label2", 960, 3540, labelFont),
        Caption("Label3", "Serial Number", 1320, 1455, labelFont),
        ValueLabel("lblSerialNumber", "Label3", 1320, 3480, labelFont),
    };
}

std::vector<ui::ControlSpec> ProgressBar(int trackTop) {
    const ui::ControlSpec track = ui::MakeControl("Picture1", ui::ControlKind::PictureBox, "",
                                                  kTrackLeft, trackTop, kTrackWidth, kTrackHeight);
    // The fill starts visible so that the load can read its design width, the scale of the
    // progress, before hiding it.
    ui::ControlSpec fill = ui::MakeControl(
        "Pic", ui::ControlKind::PictureBox, "", kTrackLeft + kFillMargin, trackTop + kFillMargin,
        kTrackWidth - 2 * kFillMargin, kTrackHeight - 2 * kFillMargin);
    fill.backColor = ui::Rgb(128, 128, 255);
    fill.accessibleName = "Update progress";
    fill.announced = true;
    return {track, fill};
}

ui::FormLayout UpdaterWindow(std::string caption, int clientWidth, int clientHeight,
                             std::string iconName, const ui::Font& labelFont, int trackTop) {
    ui::FormLayout layout;
    layout.caption = std::move(caption);
    layout.clientWidth = clientWidth;
    layout.clientHeight = clientHeight;
    layout.iconName = std::move(iconName);
    layout.controls = IdentityControls(labelFont);
    for (ui::ControlSpec& c : ProgressBar(trackTop))
        layout.controls.push_back(c);
    return layout;
}

}  // namespace updater
