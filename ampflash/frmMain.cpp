#include "ampflash/frmMain.h"

#include "ampflash/Reports.h"
#include "hidlink/DeviceIdentity.h"
#include "hidlink/RestartWatch.h"

namespace ampflash {

namespace {

constexpr const char* kButton = "btnUpgradeFW";
constexpr const char* kFill = "Pic";
constexpr const char* kUpgradeCaption = "Upgrade Firmware";  // the layout's caption
// The characters the button holds whole; longer captions are shortened, whole in the tooltip.
constexpr std::size_t kButtonRoom = 38;

// The amplifier needs this long to start its bootloader; it is not polled meanwhile.
constexpr int kBootloaderSeconds = 6;
constexpr std::uint32_t kAfterDataReportMs = 4;
constexpr std::uint32_t kBetweenPassesMs = 10;
constexpr std::uint32_t kAroundResetMs = 500;
constexpr std::uint32_t kDiscoveryIntervalMs = 100;
// How long the amplifier may take to come back after the reset: 30 seconds, as wheelflash waits
// for the controller. The amplifier is back in about a second and a half (it restarts the way the
// controller does, which takes about two); a USB hub or a busy host adds a few seconds to
// enumeration, never tens. Beyond that it hangs in its bootloader or is gone, and only a replug
// brings it back.
constexpr std::uint32_t kReturnLimitMs = 30 * 1000;
constexpr char kNotBack[] = "Amplifier did not come back: unplug and replug it";
// Never seen to leave: it did not restart, or the HID stack missed its restart.
constexpr char kNotSeenRestarting[] = "Amplifier not seen restarting: unplug and replug it";

}  // namespace

frmMain::frmMain(ui::Window& window, hidlink::ApiDeclarations& api, std::string imagePath,
                 std::string logPath, hidlink::DeviceSelector selector)
    : updater::UpdaterForm(window, api, kProfile, {"ampflash", std::move(logPath)},
                           std::move(selector)),
      imagePath_(std::move(imagePath)) {
    ExpectImageOf(updater::kAmplifierImage, updater::kControllerImage);
}

void frmMain::ShowReady() {
    ShowOnButton(kButton, kButtonRoom, kUpgradeCaption);
}

void frmMain::Click(const std::string& control) {
    if (control == kButton)
        btnUpgradeFW_Click();
}

void frmMain::Form_Terminate() {
    hidlink::CloseDevice(link_, api_);
    if (!window_.IsUnloaded())
        window_.Unload();
}

void frmMain::btnUpgradeFW_Click() {
    CommandBuffer command{};
    if (busy_ || !FindDeviceForClick(kButton, kButtonRoom))
        return;

    // FeatureReportByteLength is read as a signed 16-bit number.
    const int reportLength = static_cast<std::int16_t>(link_.Capabilities.FeatureReportByteLength);
    updater::ImageCheck check =
        updater::CheckImage(api_, updater::ChosenImagePath(api_, imagePath_, kImageFileName),
                            reportLength, kMinReportLength, kMaxReportLength);
    if (!check.ok) {
        RejectImage(kButton, kButtonRoom, check.problem);
        return;
    }
    ShowReady();
    if (!ConfirmUpdate(check, kButton, kButtonRoom))
        return;
    records_ = std::move(check.records);

    busy_ = true;
    window_.SetEnabled(kButton, false);
    BeginDeferringClose();
    api_.BeginPreciseTiming();

    if (link_.Attributes.ProductID == kAmplifierProductId) {
        window_.SetText(kButton, "Switching to bootloader...");
        PutSwitchReport(command);
        link_.LastResult = api_.HidD_SetFeature(link_.DeviceHandle, command.data(),
                                                link_.Capabilities.FeatureReportByteLength);
    }
    for (int second = 1; second <= kBootloaderSeconds; ++second) {
        api_.Sleep(1000);
        window_.SetText(kButton, window_.Text(kButton).append("."));
        if (second < kBootloaderSeconds)
            window_.ProcessEvents();
    }

    resetAccepted_ = false;
    if (!SendFlashData()) {
        api_.EndPreciseTiming();
        if (resetAccepted_ && window_.IsUnloaded()) {
            // Destroyed after the whole image and an accepted reset: the amplifier restarts into
            // it by itself; only its return was not seen.
            UpdateSentNotSeenBack();
            return;
        }
        if (failure_.empty())
            StopTransfer("Device did not come back");
        UpdateFailed(failure_);
        failure_.clear();
        busy_ = false;
        // Stopped transfer: a close requested meanwhile is honoured now; otherwise the window
        // stays open with the failure on the button, and the button can start again: an
        // amplifier left in its bootloader is found by the same product ID.
        if (!window_.IsUnloaded() && !EndDeferringClose())
            window_.SetEnabled(kButton, true);
        return;
    }
    hidlink::CloseDevice(link_, api_);
    api_.EndPreciseTiming();
    busy_ = false;
    UpdateSucceeded(kButton, kButtonRoom);
}

void frmMain::StopTransfer(const std::string& caption) {
    window_.SetWidth(kFill, 0);
    hidlink::CloseDevice(link_, api_);
    failure_ = caption;
    ShowOnButton(kButton, kButtonRoom, caption);
}

void frmMain::Discover() {
    link_.DeviceDetected = hidlink::FindTheHid(link_, api_, profile_);
    hidlink::RefreshDeviceInfo(link_, api_, profile_, window_);
}

bool frmMain::SendFlashData() {
    if (!link_.DeviceDetected)
        return false;
    ReportBuffer report{};
    const int records = static_cast<int>(records_.size());
    const int recordCount = records + 1;  // read attempts of the counting pass
    api_.Sleep(kBetweenPassesMs);

    window_.SetVisible(kFill, true);
    window_.SetWidth(kFill, 0);
    window_.SetText(kButton, "Updating firmware...");

    int sent = 0;
    for (const updater::ImageRecord& record : records_) {
        PutDataReport(report, record);
        link_.LastResult = api_.HidD_SetFeature(link_.DeviceHandle, report.data(),
                                                link_.Capabilities.FeatureReportByteLength);
        if (link_.LastResult == 0) {
            std::string text = "Update failed at record ";
            text += std::to_string(sent + 1);
            text += " of ";
            text += std::to_string(records);
            StopTransfer(text);
            return false;
        }
        api_.Sleep(kAfterDataReportMs);
        ++sent;
        RecordsSent(sent);
        window_.SetWidth(kFill, static_cast<float>(
                                    updater::ProgressWidth(sent, progressFullWidth_, recordCount)));
        window_.Refresh(kFill);
        window_.ProcessEvents();
    }

    window_.SetText(kButton, "Resetting...");
    api_.Sleep(kAroundResetMs);
    PutResetReport(report);
    link_.LastResult = api_.HidD_SetFeature(link_.DeviceHandle, report.data(),
                                            link_.Capabilities.FeatureReportByteLength);
    // A refused reset leaves the amplifier in its bootloader, which answers with the same
    // product ID as the firmware: waiting for that ID would mistake it for success.
    if (link_.LastResult == 0) {
        StopTransfer("Reset not accepted: unplug and replug the amplifier");
        return false;
    }
    // The amplifier now has the whole image and restarts by itself. A close asked for meanwhile
    // still waits for its return (bounded), so that the log and the status say how it ended.
    resetAccepted_ = true;

    api_.Sleep(kAroundResetMs);
    window_.SetWidth(kFill, 0);

    // The watch keeps the plain handle to ask whether the amplifier left. Only an amplifier seen
    // to have restarted is searched for, and only one found while the old handle no longer
    // answers is taken: before, a search finds it as it was (a HID stack that missed the restart,
    // or a bootloader that did not restart), and taking it would report the old version as new.
    hidlink::RestartWatch watch(link_, api_);
    for (std::uint32_t waited = 0;; waited += kDiscoveryIntervalMs) {
        if (watch.Left(link_, profile_)) {
            Discover();
            if (link_.DeviceDetected && watch.FoundAnew())
                break;
            hidlink::CloseDevice(link_, api_);
            link_.DeviceDetected = false;
        }
        window_.ProcessEvents();
        if (window_.IsUnloaded())
            return false;  // destroyed meanwhile: the unload has let go of the device
        if (waited >= kReturnLimitMs) {
            StopTransfer(watch.Left(link_, profile_) ? kNotBack : kNotSeenRestarting);
            return false;
        }
        api_.Sleep(kDiscoveryIntervalMs);
    }
    return link_.Attributes.ProductID == kAmplifierProductId;
}

}  // namespace ampflash
