#include "wheelflash/Layout.h"

#include "updater/UpdaterLayout.h"

namespace wheelflash {

ui::FormLayout WheelflashLayout() {
    const ui::Font font;  // "MS Sans Serif"
    ui::FormLayout layout = updater::UpdaterWindow("Wheel Controller Firmware Update", 5420, 3280,
                                                   "wheelflash", font, 1740);
    // In tab order: "Upgrade Firmware" comes before "2. Load Firmware" and holds the focus. As
    // wide as the window allows: its bold caption also tells why an update cannot start.
    ui::ControlSpec upgrade = ui::MakeControl("Command4", ui::ControlKind::Button,
                                              "Upgrade Firmware", 120, 2040, 5175, 495, font);
    upgrade.font.bold = true;
    upgrade.accessKey = 'U';
    upgrade.announced = true;  // its caption reports progress and outcome
    layout.controls.push_back(upgrade);
    ui::ControlSpec load = ui::MakeControl("Command2", ui::ControlKind::Button, "2. Load Firmware",
                                           120, 2700, 5175, 495, font);
    load.accessKey = 'L';
    load.announced = true;  // so does this one's, when it loads the image
    layout.controls.push_back(load);
    return layout;
}

}  // namespace wheelflash
