// The ampflash window: shows the servo amplifier and, on one click, switches it to its
// bootloader, sends it the image beside the program, resets it, waits for it to come back and
// closes.
#pragma once

#include <string>
#include <vector>

#include "updater/FirmwareImage.h"
#include "updater/UpdaterForm.h"

namespace ampflash {

inline constexpr const char* kImageFileName = updater::kAmplifierImage.imageName;

// The amplifier: product 2233 of any vendor.
inline const hidlink::DeviceProfile kProfile{hidlink::AmpflashAccepts,
                                             hidlink::NoDeviceRule::BlankVersionSpace, 0};

class frmMain : public updater::UpdaterForm {
  public:
    // imagePath: the image to send; empty for the one beside the program. logPath: the update
    // log to append to; empty for none. selector: the device named on the command line.
    frmMain(ui::Window& window, hidlink::ApiDeclarations& api, std::string imagePath = {},
            std::string logPath = {}, hidlink::DeviceSelector selector = {});

    void Click(const std::string& control) override;
    // Lets go of whatever the link still owns and unloads the window if something destroys it
    // while it is still loaded.
    void Form_Terminate() override;

    // The whole upgrade: the device found, the image checked, the user asked, then bootloader
    // switch, six seconds, transfer, "complete", and the window closes. An image that cannot be
    // sent whole is refused before anything goes to the device; after a failure the button
    // starts the whole sequence again.
    void btnUpgradeFW_Click();
    // Sends the records the click checked, resets the amplifier and waits for it. True when the
    // amplifier came back. False when it was not detected, when the transfer stopped (the button
    // then says at which record), when the reset was refused or the amplifier was not back within
    // the limit (the button says so), or when the window was destroyed during the wait.
    bool SendFlashData();

  private:
    void ShowReady() override;
    // Ends a transfer that cannot go on: fill empty, device closed, the button says why.
    void StopTransfer(const std::string& caption);
    // After a probe or a wait step: the identity of whatever FindTheHid found.
    void Discover();

    std::string imagePath_;
    bool busy_ = false;
    // The image as read at the check; nothing else is sent.
    std::vector<updater::ImageRecord> records_;
    // Whether the reset report of the running update went through.
    bool resetAccepted_ = false;
    // Why the last transfer stopped, as shown on the button; empty when it did not say.
    std::string failure_;
};

}  // namespace ampflash
