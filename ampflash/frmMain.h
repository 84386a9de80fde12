// The ampflash window: shows the servo amplifier and, on one click, switches it to its
// bootloader, sends it the image beside the program, resets it, waits for it to come back and
// closes.
#pragma once

#include <string>

#include "updater/FirmwareImage.h"
#include "updater/UpdaterForm.h"

namespace ampflash {

inline constexpr const char* kImageFileName = "servoamp-Orla-RevA.bin";

class frmMain : public updater::UpdaterForm {
  public:
    // imagePath: the image to send; empty for the one beside the program.
    frmMain(ui::Window& window, hidlink::ApiDeclarations& api, std::string imagePath = {});

    void Click(const std::string& control) override;
    // Lets go of whatever the link still owns and unloads the window if something destroys it
    // while it is still loaded.
    void Form_Terminate() override;

    // The whole upgrade: bootloader switch, six seconds, transfer, then the window closes. An
    // image that cannot be sent whole is refused before anything goes to the device.
    void btnUpgradeFW_Click();
    // Sends the image, resets the amplifier and waits for it. True when the amplifier came back.
    // False when it was not detected, when the transfer stopped (the button then says at which
    // record), or when the window was closed during the wait.
    bool SendFlashData();

  private:
    void ShowReadProblem(const updater::ImageReader& image);
    // Ends a transfer that cannot go on: fill empty, file and device closed, no reset report.
    void AbandonTransfer(updater::ImageReader& image);
    // As AbandonTransfer, and the button says at which record (1-based) of how many.
    void StopTransfer(updater::ImageReader& image, int record, int records);
    // The counting pass: the image's whole records, or -1 when it cannot be sent (the button
    // then says why).
    int CountRecords(updater::ImageReader& image, const std::string& path);
    // After a probe or a wait step: the identity of whatever FindTheHid found.
    void Discover();

    std::string imagePath_;
    bool busy_ = false;
};

}  // namespace ampflash
