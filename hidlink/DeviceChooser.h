// Which device a program works with when more than one matches its rule: devices of two product
// IDs on one bus, or a bench of several of one. The program never guesses for
// an update: with several devices the window offers them in a chooser that takes the product
// label's place, and nothing is opened for the update until one is chosen, unless only one of
// them is of the program's own kind. The choice becomes the link's target, which FindTheHid
// alone finds again after every restart of the device.
#pragma once

#include <string>
#include <vector>

#include "hidlink/ApiDeclarations.h"
#include "hidlink/HidLink.h"
#include "window/Window.h"

namespace hidlink {

inline constexpr char kChooserControl[] = "cboDevice";
inline constexpr char kChooserPrompt[] = "Choose a device";

// The device named on the command line (--serial, --port); empty fields pick nothing out.
struct DeviceSelector {
    std::string serial;
    std::string port;
};
bool Selects(const DeviceSelector& selector, const DeviceListing& device);

// The devices a program may take without a choice: those of its own product ID where any is
// listed (wheelflash takes a b02e device by itself beside 2233 ones), else all of them.
// More than one candidate needs a choice.
std::vector<DeviceListing> Candidates(const std::vector<DeviceListing>& devices,
                                      const DeviceProfile& profile);

// A chooser's line, of what the device reports and nothing guessed from its product ID (one
// product ID may be more than one kind of device): "product (1d47:2233), serial S, port P".
std::string ChooserLine(const DeviceListing& device);
// A line of --list: path, product, serial and port, separated by tabs ("-" for none).
std::string ListLine(const DeviceListing& device);

class DeviceChooser {
  public:
    // takesFirst: with several devices and none chosen yet, the first is taken (a program that
    // only reads may show one at once; the user can switch).
    DeviceChooser(ui::Window& window, const DeviceProfile& profile, DeviceSelector selector,
                  bool takesFirst)
        : window_(window),
          profile_(profile),
          selector_(std::move(selector)),
          takesFirst_(takesFirst) {}

    // Lists the devices the profile and the selector accept and settles link.Target: kept while
    // its device is listed or while the user's choice stands; otherwise the only device, or none
    // (several, nothing chosen). Shows the chooser when there is something to choose. Opens
    // nothing for longer than the listing; leaves link.LastSearch as the listing ended.
    void RefreshDevices(HidLink& link, ApiDeclarations& api);
    // The user picked line `index`: the target is that device. False for a line not shown.
    bool Choose(HidLink& link, int index);
    // Whether the user may choose now (not while an update runs).
    void AllowChoosing(bool allowed);
    // Several devices are listed and none is chosen: nothing may be opened for an update.
    bool Undecided(const HidLink& link) const { return !link.Target && shown_.size() > 1; }

  private:
    void Show(const HidLink& link);

    ui::Window& window_;
    const DeviceProfile& profile_;
    DeviceSelector selector_;
    bool takesFirst_;
    std::vector<DeviceListing> shown_;  // the chooser's lines, when several devices are listed
    std::vector<std::string> lines_;
    bool userChose_ = false;
    bool chooserShown_ = false;
};

}  // namespace hidlink
