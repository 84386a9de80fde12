#include "wheelflash/frmMain.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "hidlink/DeviceIdentity.h"
#include "hidlink/RestartWatch.h"
#include "updater/FirmwareImage.h"
#include "wheelflash/Reports.h"

namespace wheelflash {

namespace {

constexpr char kPleaseWait[] = "Please wait...";
constexpr char kUpgradeCaption[] = "Upgrade Firmware";  // the layout's captions
constexpr char kLoadCaption[] = "2. Load Firmware";
constexpr char kNotWaiting[] = "Controller not waiting for an image: use Upgrade Firmware";
// After the upgrade command the controller must restart into receiving an image; these say it did
// not, and that nothing of the image was sent.
constexpr char kDidNotLeave[] = "Controller did not restart: the update was not started";
constexpr char kDidNotSwitch[] =
    "Controller did not restart into receiving an image: the update was not started";
constexpr char kNotBack[] = "Device did not come back";

// The characters each button holds whole; longer captions are shortened, whole in the tooltip.
std::size_t RoomOn(const std::string& button) {
    return button == "Command2" ? 50 : 34;
}
}  // namespace

frmMain::frmMain(ui::Window& window, hidlink::ApiDeclarations& api, std::string imagePath,
                 std::string logPath, hidlink::DeviceSelector selector)
    : updater::UpdaterForm(window, api, kProfile, {"wheelflash", std::move(logPath)},
                           std::move(selector)),
      imagePath_(std::move(imagePath)) {
    ExpectImageOf(updater::kControllerImage, updater::kAmplifierImage);
}

void frmMain::ShowReady() {
    for (const auto& [control, caption] :
         {std::pair{"Command4", kUpgradeCaption}, std::pair{"Command2", kLoadCaption}})
        ShowOnButton(control, RoomOn(control), caption);
}

void frmMain::Click(const std::string& control) {
    if (control == "Command4")
        Command4_Click();
    else if (control == "Command2")
        Command2_Click();
}

updater::ImageCheck frmMain::CheckUpdate(const std::string& button) {
    // The report buffer is as long as the device's reports, so no length is too long.
    updater::ImageCheck check =
        updater::CheckImage(api_, updater::ChosenImagePath(api_, imagePath_, kImageFileName),
                            link_.Capabilities.FeatureReportByteLength, kMinReportLength,
                            std::numeric_limits<int>::max());
    if (!check.ok) {
        RejectImage(button, RoomOn(button), check.problem);
        return check;
    }
    ShowReady();
    return check;
}

bool frmMain::ReadyToSend(const std::string& button, updater::ImageCheck& check) {
    if (busy_ || !FindDeviceForClick(button, RoomOn(button)))
        return false;
    check = CheckUpdate(button);
    return check.ok && ConfirmUpdate(check, button, RoomOn(button));
}

void frmMain::Command2_Click() {
    updater::ImageCheck check;
    if (!ReadyToSend("Command2", check))
        return;
    busy_ = true;
    BeginDeferringClose();
    SendImage(check.records, kNotWaiting);
}

void frmMain::Command4_Click() {
    updater::ImageCheck check;
    if (!ReadyToSend("Command4", check))
        return;
    busy_ = true;
    BeginDeferringClose();
    window_.SetText("Command4", kPleaseWait);
    window_.SetEnabled("Command4", false);

    // Taken as the device was opened at load; the controller acts on it and drops off the bus.
    const std::uint16_t length = link_.Capabilities.FeatureReportByteLength;
    std::vector<std::uint8_t> command = UpgradeCommandReport(length);
    link_.LastResult = api_.HidD_SetFeature(link_.DeviceHandle, command.data(), length);

    // The handles stay open until the controller has left: the watch asks the plain one.
    const Return back = WaitForReturn(link_.LastResult != 0);
    if (back != Return::Back) {
        Abandon("Command4", back == Return::NeverLeft ? kDidNotLeave : kNotBack);
        return;
    }
    // The labels show the device as it came back, not as it was before the command.
    hidlink::RefreshDeviceInfo(link_, api_, profile_, window_);
    const std::string problem =
        updater::ReportLengthProblem(link_.Capabilities.FeatureReportByteLength, kMinReportLength,
                                     std::numeric_limits<int>::max());
    if (!problem.empty()) {
        Abandon("Command2", problem);
        return;
    }
    SendImage(check.records, kDidNotSwitch);
}

frmMain::Return frmMain::WaitForReturn(bool restartExpected) {
    hidlink::RestartWatch watch(link_, api_);
    api_.Sleep(kSettleDelayMs);
    for (int look = 1;; ++look) {
        const bool left = watch.Left(link_, profile_);
        // A controller that refused the command may still restart (one that resets before it
        // answers fails the request): it has as long to leave as any other before it is taken as
        // it is, which may be waiting for an image already; its first record tells.
        const bool takenAsItIs = !restartExpected && !left && look > kLooksBeforeTakingAsItIs;
        if (left || takenAsItIs) {
            // Whatever is found must tell its own report length: a failed read of it must not
            // pass for the length the controller had before.
            link_.Capabilities = hidlink::HidpCaps{};
            link_.DeviceDetected =
                hidlink::FindTheHid(link_, api_, profile_) && (takenAsItIs || watch.FoundAnew());
            if (!link_.DeviceDetected)
                hidlink::CloseDevice(link_, api_);
        }
        // Keep the window drawn through the wait; input stays queued until the transfer.
        window_.ProcessPaintEvents();
        if (link_.DeviceDetected)
            return Return::Back;
        if (look == kMaxSearches)
            return left ? Return::NotBack : Return::NeverLeft;
        api_.Sleep(kSearchIntervalMs);
    }
}

void frmMain::SendImage(const std::vector<updater::ImageRecord>& records, const char* notWaiting) {
    // The progress denominator: whole records + 1, as the counting pass's read attempts.
    const int recordCount =
        updater::RecordCountFor(static_cast<std::int64_t>(records.size()) *
                                static_cast<std::int64_t>(updater::kRecordSize));

    window_.SetVisible("Pic", true);
    window_.SetWidth("Pic", 0);

    // Sending pass: one report per record, no pause between them. A controller in its normal
    // mode refuses every data report and stores none, so a refused first record means it was not
    // waiting for an image: the transfer stops there, as the rest could only be refused too (a
    // waiting controller that refused it holds nothing either, and still waits). After an
    // accepted first record every record goes out even when one is refused, so the controller
    // sees the reports in file order either way.
    const std::uint16_t length = link_.Capabilities.FeatureReportByteLength;
    std::vector<std::uint8_t> report(length, 0x00);
    std::int64_t sent = 0;
    std::int64_t refused = 0;
    for (const updater::ImageRecord& record : records) {
        PutRecord(report, record);
        link_.LastResult = api_.HidD_SetFeature(link_.DeviceHandle, report.data(), length);
        if (link_.LastResult == 0)
            ++refused;
        ++sent;
        RecordsSent(static_cast<int>(sent - refused));
        if (refused == sent) {
            Abandon("Command2", notWaiting);
            return;
        }
        window_.SetWidth("Pic", updater::ProgressWidth(sent, ProgressFullWidth(), recordCount));
        window_.Refresh("Pic");
        window_.ProcessEvents();
    }

    if (refused > 0) {
        Abandon("Command2", "Update failed: " + std::to_string(refused) + " of " +
                                std::to_string(sent) + " records not accepted");
        return;
    }
    // The controller keeps its image-receiving mode after the transfer; what it reports now is
    // read for the log and the labels, but its version is not the new firmware's until it
    // restarts, so "complete" names none.
    link_.LastResult = api_.HidD_GetAttributes(link_.DeviceHandle, &link_.Attributes);
    hidlink::RefreshDeviceInfo(link_, api_, profile_, window_);
    hidlink::CloseDevice(link_, api_);
    ShowOnButton("Command4", RoomOn("Command4"), kUpgradeCaption);
    window_.SetEnabled("Command4", true);
    UpdateSucceeded("Command2", RoomOn("Command2"), false);
}

void frmMain::Abandon(const std::string& control, const std::string& caption) {
    hidlink::CloseDevice(link_, api_);
    window_.SetVisible("Pic", false);
    ShowOnButton(control, RoomOn(control), caption);
    // Nothing waits any more; the reason is on the other button.
    if (control != "Command4" && window_.Text("Command4") == kPleaseWait)
        window_.SetText("Command4", kUpgradeCaption);
    UpdateFailed(caption);
    busy_ = false;
    // Either button starts again: it finds the controller, checks the image and asks.
    if (!EndDeferringClose()) {
        window_.SetEnabled("Command4", true);
        window_.SetEnabled("Command2", true);
    }
}

}  // namespace wheelflash
