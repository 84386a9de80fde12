#include "ampflash/Layout.h"

#include "updater/UpdaterLayout.h"

namespace ampflash {

ui::FormLayout AmpflashLayout() {
    const ui::Font font{"MS Sans Serif", 9, false};
    ui::FormLayout layout = updater::UpdaterWindow("Servo Amplifier Firmware Update", 5420, 3010,
                                                   "ampflash", font, 1860);
    // Its caption reports the update's progress and outcome: announced as it changes.
    ui::ControlSpec upgrade = ui::MakeControl("btnUpgradeFW", ui::ControlKind::Button,
                                              "Upgrade Firmware", 900, 2280, 3615, 495, font);
    upgrade.accessKey = 'U';
    upgrade.announced = true;
    layout.controls.push_back(upgrade);
    ui::ControlSpec loadButton = ui::MakeControl("Command2", ui::ControlKind::Button,
                                                 "2. Load Firmware", 120, 2940, 5175, 495, font);
    loadButton.accessKey = 'L';
    loadButton.visible = false;  // kept from the form's design; never offered
    layout.controls.push_back(loadButton);
    return layout;
}

}  // namespace ampflash
