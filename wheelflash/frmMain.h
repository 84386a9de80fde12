// The wheel-controller updater's window and its two buttons.
//
// "Upgrade Firmware" (Command4_Click) sends the controller the upgrade command, lets go of it,
// waits for it to come back in its image-receiving mode and runs the transfer. "2. Load
// Firmware" (Command2_Click) runs the transfer alone: every whole 40-byte record of the image
// beside the program, one data report each, then the window closes and the program ends.
//
// Before the device is touched the image and the device's report length are checked; a problem
// is shown on the clicked button and nothing is sent. An update that has started and then fails
// (records refused, the device not back, an unreadable image) lets go of the device, disables
// both buttons and leaves the window open with the reason on a button, until the user closes it.
#pragma once

#include <cstdint>
#include <string>

#include "hidlink/ApiDeclarations.h"
#include "updater/FirmwareImage.h"
#include "updater/UpdaterForm.h"
#include "window/Window.h"

namespace wheelflash {

inline constexpr char kImageFileName[] = "wheelflash.bin";
inline constexpr std::uint32_t kSettleDelayMs = 500;     // from the command to the first search
inline constexpr std::uint32_t kSearchIntervalMs = 500;  // between two searches
// 30 seconds of searching: the controller comes back in about two.
inline constexpr int kMaxSearches = 60;

class frmMain : public updater::UpdaterForm {
  public:
    // imagePath: the image to send; empty for the one beside the program.
    frmMain(ui::Window& window, hidlink::ApiDeclarations& api, std::string imagePath = {});

    void Click(const std::string& control) override;
    void Command2_Click();
    void Command4_Click();

  private:
    // Whether the image and the open device's report length allow an update.
    updater::ImageCheck CheckUpdate(const std::string& path);
    // Searches for the controller after the upgrade command until it is back or the searches
    // run out; returns whether it is back.
    bool WaitForReturn();
    // Sends the checked image to the open device, then closes the window, or keeps it open and
    // says why when any record was refused.
    void SendImage(const std::string& path);
    // Ends an update that could not complete: see the header comment.
    void Abandon(const std::string& control, const std::string& caption);

    std::string imagePath_;
    bool busy_ = false;   // a sequence or transfer runs; clicks are ignored
    bool ended_ = false;  // an update failed; the window only waits to be closed
};

}  // namespace wheelflash
