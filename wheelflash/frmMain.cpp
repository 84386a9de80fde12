#include "wheelflash/frmMain.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "updater/FirmwareImage.h"
#include "wheelflash/Reports.h"

namespace wheelflash {

namespace {

constexpr char kPleaseWait[] = "Please wait...";

const hidlink::DeviceProfile kProfile{hidlink::WheelflashAccepts,
                                      hidlink::NoDeviceRule::LeaveUntouched, 0};

// Counting pass: the whole records of the image at `path`, or -1 when it cannot be read (the
// reader then holds the error).
std::int64_t CountRecords(updater::ImageReader& image, const std::string& path) {
    if (!image.Open(path))
        return -1;
    updater::ImageRecord record;
    updater::ImageReader::Result result;
    std::int64_t records = 0;
    while ((result = image.Next(record)) == updater::ImageReader::Result::Record)
        ++records;
    image.Close();
    return result == updater::ImageReader::Result::End ? records : -1;
}

}  // namespace

frmMain::frmMain(ui::Window& window, hidlink::ApiDeclarations& api, std::string imagePath)
    : updater::UpdaterForm(window, api, kProfile), imagePath_(std::move(imagePath)) {}

void frmMain::Click(const std::string& control) {
    if (control == "Command4")
        Command4_Click();
    else if (control == "Command2")
        Command2_Click();
}

updater::ImageCheck frmMain::CheckUpdate(const std::string& path) {
    // The report buffer is as long as the device's reports, so no length is too long.
    return updater::CheckImage(api_, path, link_.Capabilities.FeatureReportByteLength,
                               kMinReportLength, std::numeric_limits<int>::max());
}

void frmMain::Command2_Click() {
    if (busy_ || ended_ || !link_.DeviceDetected)
        return;
    const std::string path = updater::ChosenImagePath(api_, imagePath_, kImageFileName);
    const updater::ImageCheck check = CheckUpdate(path);
    if (!check.ok) {
        window_.SetText("Command2", check.problem);
        return;
    }
    busy_ = true;
    BeginDeferringClose();
    SendImage(path);
}

void frmMain::Command4_Click() {
    if (busy_ || ended_ || !link_.DeviceDetected)
        return;
    const std::string path = updater::ChosenImagePath(api_, imagePath_, kImageFileName);
    updater::ImageCheck check = CheckUpdate(path);
    if (!check.ok) {
        window_.SetText("Command4", check.problem);
        return;
    }
    busy_ = true;
    BeginDeferringClose();
    window_.SetText("Command4", kPleaseWait);
    window_.SetEnabled("Command4", false);

    // Taken as the device was opened at load; the controller acts on it and drops off the bus.
    const std::uint16_t length = link_.Capabilities.FeatureReportByteLength;
    std::vector<std::uint8_t> command = UpgradeCommandReport(length);
    link_.LastResult = api_.HidD_SetFeature(link_.DeviceHandle, command.data(), length);
    hidlink::CloseDevice(link_, api_);

    if (!WaitForReturn()) {
        Abandon("Command4", "Device did not come back");
        return;
    }
    // The controller may come back with another report length: check against the new one.
    check = CheckUpdate(path);
    if (!check.ok) {
        Abandon("Command2", check.problem);
        return;
    }
    SendImage(path);
}

bool frmMain::WaitForReturn() {
    api_.Sleep(kSettleDelayMs);
    for (int search = 1;; ++search) {
        link_.DeviceDetected = hidlink::FindTheHid(link_, api_, profile_);
        // Keep the window drawn through the wait; input stays queued until the transfer.
        window_.ProcessPaintEvents();
        if (link_.DeviceDetected)
            return true;
        if (search == kMaxSearches)
            return false;
        api_.Sleep(kSearchIntervalMs);
    }
}

void frmMain::SendImage(const std::string& path) {
    updater::ImageReader image(api_);
    const std::int64_t wholeRecords = CountRecords(image, path);
    if (wholeRecords < 0 || !image.Open(path)) {
        Abandon("Command2", "Cannot read image file: " + image.Error());
        return;
    }
    // Checked a moment ago; only a file rewritten since can fail this.
    if (wholeRecords < 1 || wholeRecords > updater::kMaxRecords) {
        Abandon("Command2", "Image file changed during the update");
        return;
    }
    // The progress denominator: whole records + 1, as the counting pass's read attempts.
    const int recordCount =
        updater::RecordCountFor(wholeRecords * static_cast<std::int64_t>(updater::kRecordSize));

    window_.SetVisible("Pic", true);
    window_.SetWidth("Pic", 0);

    // Sending pass: one report per record, no pause between them. Every record goes out even
    // when one is refused, so the controller sees the reports in file order either way.
    using Result = updater::ImageReader::Result;
    Result result;
    updater::ImageRecord record;
    const std::uint16_t length = link_.Capabilities.FeatureReportByteLength;
    std::vector<std::uint8_t> report(length, 0x00);
    std::int64_t sent = 0;
    std::int64_t refused = 0;
    while ((result = image.Next(record)) == Result::Record) {
        PutRecord(report, record);
        link_.LastResult = api_.HidD_SetFeature(link_.DeviceHandle, report.data(), length);
        if (link_.LastResult == 0)
            ++refused;
        ++sent;
        window_.SetWidth("Pic", updater::ProgressWidth(sent, ProgressFullWidth(), recordCount));
        window_.Refresh("Pic");
        window_.ProcessEvents();
    }
    image.Close();

    if (result == Result::Error) {
        Abandon("Command2", "Cannot read image file: " + image.Error());
        return;
    }
    if (refused > 0) {
        Abandon("Command2", "Update failed: " + std::to_string(refused) + " of " +
                                std::to_string(sent) + " records not accepted");
        return;
    }
    hidlink::CloseDevice(link_, api_);
    busy_ = false;
    if (!EndDeferringClose())
        window_.Unload();
}

void frmMain::Abandon(const std::string& control, const std::string& caption) {
    hidlink::CloseDevice(link_, api_);
    window_.SetVisible("Pic", false);
    window_.SetText(control, caption);
    // Nothing waits any more; the reason is on the other button.
    if (control != "Command4" && window_.Text("Command4") == kPleaseWait)
        window_.SetText("Command4", "Upgrade Firmware");
    window_.SetEnabled("Command4", false);
    window_.SetEnabled("Command2", false);
    ended_ = true;
    busy_ = false;
    EndDeferringClose();
}

}  // namespace wheelflash
