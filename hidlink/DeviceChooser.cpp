#include "hidlink/DeviceChooser.h"

#include <algorithm>
#include <cstdio>

namespace hidlink {

namespace {

// The label whose place the chooser takes: the product, which tells the devices apart least.
constexpr char kReplacedLabel[] = "lblProduct";

std::optional<std::string> Reported(const std::string& serial) {
    return serial.empty() ? std::nullopt : std::optional<std::string>(serial);
}

// The target's line: the one at its path, else the first that IsTarget() takes for it (as
// FindTheHid looks for it).
int IndexOf(const std::vector<DeviceListing>& devices, const DeviceTarget& target) {
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (devices[i].path == target.path &&
            IsTarget(target, devices[i].port, Reported(devices[i].serial), target.path))
            return static_cast<int>(i);
    }
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const DeviceListing& d = devices[i];
        if (IsTarget(target, d.port, Reported(d.serial), d.path))
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

bool Selects(const DeviceSelector& selector, const DeviceListing& device) {
    return (selector.serial.empty() || device.serial == selector.serial) &&
           (selector.port.empty() || device.port == selector.port);
}

std::vector<DeviceListing> Candidates(const std::vector<DeviceListing>& devices,
                                      const DeviceProfile& profile) {
    std::vector<DeviceListing> own;
    std::copy_if(
        devices.begin(), devices.end(), std::back_inserter(own),
        [&](const DeviceListing& d) { return d.attributes.ProductID == profile.ownProductId; });
    return own.empty() ? devices : own;
}

std::string ChooserLine(const DeviceListing& device) {
    char ids[16];
    std::snprintf(ids, sizeof ids, " (%04x:%04x)", device.attributes.VendorID,
                  device.attributes.ProductID);
    std::string line = device.product.empty() ? "(no product name)" : device.product;
    line += ids;
    if (!device.serial.empty())
        line += ", serial " + device.serial;
    if (!device.port.empty())
        line += ", port " + device.port;
    return line;
}

std::string ListLine(const DeviceListing& device) {
    const auto field = [](const std::string& text) { return text.empty() ? "-" : text; };
    return device.path + "\t" + field(device.product) + "\t" + field(device.serial) + "\t" +
           field(device.port);
}

void DeviceChooser::RefreshDevices(HidLink& link, ApiDeclarations& api) {
    const MatchingDevices matching = ListMatchingDevices(api, profile_);
    std::vector<DeviceListing> devices;
    std::copy_if(matching.devices.begin(), matching.devices.end(), std::back_inserter(devices),
                 [this](const DeviceListing& d) { return Selects(selector_, d); });
    link.LastSearch = !devices.empty() ? SearchOutcome::Found : OutcomeOfRefusal(matching.refusal);

    const bool targetListed = link.Target && IndexOf(devices, *link.Target) >= 0;
    if (!targetListed && !userChose_) {
        const std::vector<DeviceListing> candidates = Candidates(devices, profile_);
        if (candidates.size() == 1 || (!candidates.empty() && takesFirst_))
            link.Target = TargetOf(candidates.front());
        else
            link.Target.reset();
    }
    // A choice whose device has gone stays offered against the others, so that the user can
    // choose again even when only one is left.
    const bool offer = devices.size() > 1 || (userChose_ && !targetListed && !devices.empty());
    shown_ = offer ? std::move(devices) : std::vector<DeviceListing>();
    Show(link);
}

bool DeviceChooser::Choose(HidLink& link, int index) {
    if (index < 0 || index >= static_cast<int>(shown_.size()))
        return false;
    link.Target = TargetOf(shown_[static_cast<std::size_t>(index)]);
    userChose_ = true;
    return true;
}

void DeviceChooser::AllowChoosing(bool allowed) {
    if (chooserShown_)
        window_.SetEnabled(kChooserControl, allowed);
}

void DeviceChooser::Show(const HidLink& link) {
    // With one device or none the window stays as it always was, chooser untouched.
    if (shown_.empty() && !chooserShown_)
        return;
    std::vector<std::string> lines;
    for (const DeviceListing& device : shown_)
        lines.push_back(ChooserLine(device));
    if (lines != lines_) {
        lines_ = std::move(lines);
        window_.SetItems(kChooserControl, lines_);
    }
    const int choice = link.Target ? IndexOf(shown_, *link.Target) : -1;
    if (window_.Choice(kChooserControl) != choice)
        window_.SetChoice(kChooserControl, choice);
    const bool offered = !shown_.empty();
    if (offered != chooserShown_) {
        chooserShown_ = offered;
        window_.SetVisible(kReplacedLabel, !offered);
        window_.SetVisible(kChooserControl, offered);
    }
}

}  // namespace hidlink
