// The wheel-controller updater's window and its two buttons.
//
// "Upgrade Firmware" (Command4_Click) sends the controller the upgrade command, lets go of it,
// waits for it to come back in its image-receiving mode and runs the transfer. "2. Load
// Firmware" (Command2_Click) runs the transfer alone: every whole 40-byte record of the image
// beside the program, one data report each, then the window closes and the program ends.
//
// Before the device is touched the image and the device's report length are checked and the user
// is asked; a problem is shown on the clicked button and nothing is sent. An update that has
// started and then fails (records refused, the device not back) lets go of the device and leaves
// the window open with the reason on a button; either button then starts again from the search.
// A good update shows "complete" with the controller's version, then the window closes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hidlink/ApiDeclarations.h"
#include "updater/FirmwareImage.h"
#include "updater/UpdaterForm.h"
#include "window/Window.h"

namespace wheelflash {

inline constexpr const char* kImageFileName = updater::kControllerImage.imageName;
inline constexpr std::uint32_t kSettleDelayMs = 500;     // from the command to the first look
inline constexpr std::uint32_t kSearchIntervalMs = 500;  // between two looks
// 30 seconds of looking, for the controller to leave and come back: it takes about two.
inline constexpr int kMaxSearches = 60;
// A controller that refused the upgrade command is taken as it is after this many looks (3 s)
// without leaving.
inline constexpr int kLooksBeforeTakingAsItIs = 6;

// The wheel controller (b02e) and the amplifier (2233), of Drivanta's vendor ID: the controller
// first.
inline const hidlink::DeviceProfile kProfile{hidlink::WheelflashAccepts,
                                             hidlink::NoDeviceRule::LeaveUntouched, 0, 0xB02E};

class frmMain : public updater::UpdaterForm {
  public:
    // imagePath: the image to send; empty for the one beside the program. logPath: the update
    // log to append to; empty for none. selector: the device named on the command line.
    frmMain(ui::Window& window, hidlink::ApiDeclarations& api, std::string imagePath = {},
            std::string logPath = {}, hidlink::DeviceSelector selector = {});

    void Click(const std::string& control) override;
    void Command2_Click();
    void Command4_Click();

  private:
    void ShowReady() override;
    // Whether the image and the open device's report length allow an update; when they do, the
    // buttons get back the captions a failed check may have replaced, and when they do not the
    // clicked button says why.
    updater::ImageCheck CheckUpdate(const std::string& button);
    // A click's steps before anything is sent: the device found (again, after a failure), the
    // image checked, the user asked. True when the update may start with check's records.
    bool ReadyToSend(const std::string& button, updater::ImageCheck& check);
    enum class Return { Back, NeverLeft, NotBack };
    // After the upgrade command: watches the controller until it has left (it restarts into
    // receiving an image), then searches for it until it is back; the searches are bounded. Only
    // a controller seen to have left is taken: before, a search finds it still in its normal mode.
    // restartExpected: the controller accepted the command.
    Return WaitForReturn(bool restartExpected);
    // Sends the checked records to the open device, then shows "complete" and closes the
    // window, or keeps it open and says why when any record was refused. A refused first record
    // ends the transfer at once: the controller was not waiting for an image, which notWaiting
    // says.
    void SendImage(const std::vector<updater::ImageRecord>& records, const char* notWaiting);
    // Ends an update that could not complete: see the header comment.
    void Abandon(const std::string& control, const std::string& caption);

    std::string imagePath_;
    bool busy_ = false;  // a sequence or transfer runs; clicks are ignored
};

}  // namespace wheelflash
