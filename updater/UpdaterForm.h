// The window lifecycle both updaters share: the load finds the device and shows it, the unload
// lets go of it, and a close request waits while an update must not be cut short.
#pragma once

#include "hidlink/ApiDeclarations.h"
#include "hidlink/HidLink.h"
#include "window/Window.h"

namespace updater {

class UpdaterForm : public ui::FormHandlers {
  public:
    UpdaterForm(ui::Window& window, hidlink::ApiDeclarations& api, hidlink::DeviceProfile profile)
        : window_(window), api_(api), profile_(profile) {}

    // Shows the window, captures ProgressFullWidth from Pic before hiding it, finds the device
    // and shows its identity.
    void Form_Load() override;
    // Closes whatever handles the link still owns.
    void Form_Unload() override;
    // While an update runs, a close request is remembered and honoured by EndDeferringClose().
    bool Form_QueryUnload() override;

    const hidlink::HidLink& Link() const { return link_; }
    int ProgressFullWidth() const { return progressFullWidth_; }

  protected:
    // From here until EndDeferringClose(), close requests wait.
    void BeginDeferringClose() { deferClose_ = true; }
    // Stops deferring; returns true when a close was requested meanwhile (the window is then
    // unloaded here, and the caller must touch nothing more).
    bool EndDeferringClose();

    ui::Window& window_;
    hidlink::ApiDeclarations& api_;
    hidlink::DeviceProfile profile_;
    hidlink::HidLink link_;
    int progressFullWidth_ = 0;

  private:
    bool deferClose_ = false;
    bool closeRequested_ = false;
};

// Rounds half to even, as the width of a control is turned into a whole number of twips.
int RoundHalfEven(double value);

}  // namespace updater
