#include "ampflash/frmMain.h"

#include "ampflash/Reports.h"
#include "hidlink/DeviceIdentity.h"

namespace ampflash {

namespace {

const hidlink::DeviceProfile kProfile{hidlink::AmpflashAccepts,
                                      hidlink::NoDeviceRule::BlankVersionSpace, 0};

constexpr const char* kButton = "btnUpgradeFW";
constexpr const char* kFill = "Pic";

// The amplifier needs this long to start its bootloader; it is not polled meanwhile.
constexpr int kBootloaderSeconds = 6;
constexpr std::uint32_t kAfterDataReportMs = 4;
constexpr std::uint32_t kBetweenPassesMs = 10;
constexpr std::uint32_t kAroundResetMs = 500;
constexpr std::uint32_t kDiscoveryIntervalMs = 100;
constexpr int kProbes = 5;

}  // namespace

frmMain::frmMain(ui::Window& window, hidlink::ApiDeclarations& api, std::string imagePath)
    : updater::UpdaterForm(window, api, kProfile), imagePath_(std::move(imagePath)) {}

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
    if (busy_ || !link_.DeviceDetected)
        return;

    // FeatureReportByteLength is read as a signed 16-bit number.
    const int reportLength = static_cast<std::int16_t>(link_.Capabilities.FeatureReportByteLength);
    const updater::ImageCheck check =
        updater::CheckImage(api_, updater::ChosenImagePath(api_, imagePath_, kImageFileName),
                            reportLength, kMinReportLength, kMaxReportLength);
    if (!check.ok) {
        window_.SetText(kButton, check.problem);
        return;
    }

    busy_ = true;  // for good: after a failure the amplifier waits in its bootloader
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

    if (!SendFlashData()) {
        api_.EndPreciseTiming();
        // Stopped transfer: a close requested meanwhile is honoured now; otherwise the window
        // stays open with the failure on the button.
        if (!window_.IsUnloaded())
            EndDeferringClose();
        return;
    }
    hidlink::CloseDevice(link_, api_);
    api_.EndPreciseTiming();
    window_.Unload();
}

int frmMain::CountRecords(updater::ImageReader& image, const std::string& path) {
    if (!image.Open(path)) {
        ShowReadProblem(image);
        return -1;
    }
    int records = 0;
    updater::ImageRecord record;
    for (;;) {
        switch (image.Next(record)) {
            case updater::ImageReader::Result::Record:
                if (++records > updater::kMaxRecords) {
                    window_.SetText(kButton, "Image file is too large");
                    return -1;
                }
                break;
            case updater::ImageReader::Result::End:
                image.Close();
                if (records == 0)
                    window_.SetText(kButton, "Image file is too short");
                return records == 0 ? -1 : records;
            case updater::ImageReader::Result::Error:
                ShowReadProblem(image);
                return -1;
        }
    }
}

// Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) on literal + std::string.
void frmMain::ShowReadProblem(const updater::ImageReader& image) {
    std::string text = "Cannot read image file: ";
    text += image.Error();
    window_.SetText(kButton, text);
}

void frmMain::AbandonTransfer(updater::ImageReader& image) {
    window_.SetWidth(kFill, 0);
    image.Close();
    hidlink::CloseDevice(link_, api_);
}

void frmMain::StopTransfer(updater::ImageReader& image, int record, int records) {
    AbandonTransfer(image);
    std::string text = "Update failed at record ";
    text += std::to_string(record);
    text += " of ";
    text += std::to_string(records);
    window_.SetText(kButton, text);
}

void frmMain::Discover() {
    link_.DeviceDetected = hidlink::FindTheHid(link_, api_, profile_);
    hidlink::RefreshDeviceInfo(link_, api_, profile_, window_);
}

bool frmMain::SendFlashData() {
    if (!link_.DeviceDetected)
        return false;
    ReportBuffer report{};
    updater::ImageRecord record{};
    const std::string path = updater::ChosenImagePath(api_, imagePath_, kImageFileName);
    updater::ImageReader image(api_);

    // The image was checked before the click went on, but it may have changed since.
    const int records = CountRecords(image, path);
    if (records < 0) {
        AbandonTransfer(image);
        return false;
    }
    const int recordCount = records + 1;  // read attempts of the counting pass
    api_.Sleep(kBetweenPassesMs);

    window_.SetVisible(kFill, true);
    window_.SetWidth(kFill, 0);
    window_.SetText(kButton, "Updating firmware...");

    if (!image.Open(path)) {
        StopTransfer(image, 1, records);
        return false;
    }
    int sent = 0;
    for (;;) {
        const updater::ImageReader::Result read = image.Next(record);
        if (read == updater::ImageReader::Result::End)
            break;
        if (read == updater::ImageReader::Result::Error) {
            StopTransfer(image, sent + 1, records);
            return false;
        }
        PutDataReport(report, record);
        link_.LastResult = api_.HidD_SetFeature(link_.DeviceHandle, report.data(),
                                                link_.Capabilities.FeatureReportByteLength);
        if (link_.LastResult == 0) {
            StopTransfer(image, sent + 1, records);
            return false;
        }
        api_.Sleep(kAfterDataReportMs);
        ++sent;
        window_.SetWidth(kFill, static_cast<float>(
                                    updater::ProgressWidth(sent, progressFullWidth_, recordCount)));
        window_.Refresh(kFill);
        window_.ProcessEvents();
    }
    image.Close();

    window_.SetText(kButton, "Resetting...");
    api_.Sleep(kAroundResetMs);
    PutResetReport(report);
    link_.LastResult = api_.HidD_SetFeature(link_.DeviceHandle, report.data(),
                                            link_.Capabilities.FeatureReportByteLength);
    // The amplifier now has the whole image and restarts by itself: a close asked for during
    // the transfer can be honoured without harm.
    if (EndDeferringClose())
        return false;

    api_.Sleep(kAroundResetMs);
    window_.SetWidth(kFill, 0);
    hidlink::CloseDevice(link_, api_);

    for (int probe = 0; probe < kProbes; ++probe) {
        api_.Sleep(kDiscoveryIntervalMs);
        hidlink::CloseDevice(link_, api_);  // what the previous probe found and opened
        Discover();
    }
    hidlink::CloseDevice(link_, api_);
    link_.DeviceDetected = false;

    while (!link_.DeviceDetected) {
        window_.ProcessEvents();
        if (window_.IsUnloaded())
            return false;  // closed meanwhile: the unload has let go of the device
        api_.Sleep(kDiscoveryIntervalMs);
        Discover();
    }
    return link_.Attributes.ProductID == kAmplifierProductId;
}

}  // namespace ampflash
