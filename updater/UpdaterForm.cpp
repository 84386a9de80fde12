#include "updater/UpdaterForm.h"

#include <cmath>
#include <cstdio>
#include <thread>
#include <utility>

#include "cmdline/CommandLine.h"
#include "hidlink/DeviceIdentity.h"
#include "updater/ButtonCaption.h"
#include "updater/Crc32.h"
#include "updater/UpdateAttempt.h"

namespace updater {

namespace {

constexpr std::uint32_t kCompleteStepMs = 100;
constexpr char kNotRead[] = "not read";

constexpr char kNotFound[] = "Device not found";
constexpr char kChooseFirst[] = "Choose the device above first";
constexpr char kAccessRefused[] = "Device access refused";
constexpr char kAccessRefusedHelp[] =
    "A device was found, but this user may not open it. On Linux, install the udev rule: see "
    "the README section \"Linux: device access without root\".";
constexpr char kInUse[] = "Device in use";
constexpr char kInUseHelp[] =
    "A device was found, but another program holds it. Close servodiag or the other program "
    "using it, then try again.";

}  // namespace

int RoundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));  // the default rounding mode is to-even
}

void UpdaterForm::Form_Load() {
    window_.Show();
    progressFullWidth_ = RoundHalfEven(window_.Width("Pic"));
    window_.SetVisible("Pic", false);
    OpenChosenDevice();
    Settle(link_.DeviceDetected ? cmdline::kCancelled : cmdline::kNoDevice);
}

void UpdaterForm::OpenChosenDevice() {
    chooser_.RefreshDevices(link_, api_);
    link_.DeviceDetected = link_.Target && hidlink::FindTheHid(link_, api_, profile_);
    hidlink::RefreshDeviceInfo(link_, api_, profile_, window_);
    if (chooser_.Undecided(link_)) {
        for (const char* label : {"lblManuf", "lblVersion", "lblSerialNumber"})
            window_.SetText(label, "");
    }
}

void UpdaterForm::Chosen(const std::string& control, int index) {
    if (control != hidlink::kChooserControl || deferClose_ || updateEnded_ ||
        !chooser_.Choose(link_, index))
        return;
    hidlink::CloseDevice(link_, api_);
    link_.DeviceDetected = hidlink::FindTheHid(link_, api_, profile_);
    hidlink::RefreshDeviceInfo(link_, api_, profile_, window_);
    Settle(link_.DeviceDetected ? cmdline::kCancelled : cmdline::kNoDevice);
    ShowReady();
}

void UpdaterForm::Settle(int status) {
    exitStatus_ = cmdline::MostSerious(exitStatus_, status);
}

void UpdaterForm::BeginDeferringClose() {
    deferClose_ = true;
    chooser_.AllowChoosing(false);
}

void UpdaterForm::Form_Unload() {
    hidlink::CloseDevice(link_, api_);
    if (keepAwake_)
        keepAwake_->Release();
}

bool UpdaterForm::Form_QueryUnload() {
    if (!deferClose_)
        return true;
    if (!closeRequested_)
        window_.SetTitle(window_.Title() + kClosingAfterUpdate);
    closeRequested_ = true;
    return false;
}

bool UpdaterForm::EndDeferringClose() {
    deferClose_ = false;
    chooser_.AllowChoosing(true);
    if (!closeRequested_)
        return false;
    // An attempt still open here sent its whole image (a failure is logged before): closed now,
    // its end is not seen, and it must neither pass for nothing updated nor go unlogged.
    if (attempt_)
        UpdateSentNotSeenBack();
    window_.Unload();
    return true;
}

bool UpdaterForm::FindDeviceForClick(const std::string& button, std::size_t room) {
    if (updateEnded_)
        return false;
    if (link_.DeviceDetected && link_.OwnsDeviceHandle)
        return true;
    hidlink::CloseDevice(link_, api_);
    OpenChosenDevice();
    if (link_.DeviceDetected)
        return true;
    Settle(cmdline::kNoDevice);
    if (chooser_.Undecided(link_)) {
        ShowOnButton(button, room, kChooseFirst);
    } else if (link_.LastSearch == hidlink::SearchOutcome::AccessRefused) {
        window_.SetText(button, kAccessRefused);
        toolTips_[button] = kAccessRefusedHelp;
        window_.SetToolTip(button, kAccessRefusedHelp);
    } else if (link_.LastSearch == hidlink::SearchOutcome::InUse) {
        window_.SetText(button, kInUse);
        toolTips_[button] = kInUseHelp;
        window_.SetToolTip(button, kInUseHelp);
    } else {
        ShowOnButton(button, room, kNotFound);
    }
    return false;
}

void UpdaterForm::RejectImage(const std::string& button, std::size_t room,
                              const std::string& problem) {
    Settle(cmdline::kImageRejected);
    ShowOnButton(button, room, problem);
}

bool UpdaterForm::ConfirmUpdate(const ImageCheck& image, const std::string& button,
                                std::size_t room) {
    const std::string implausible = ImplausibleImage(image, otherImage_);
    if (!implausible.empty() && answeredYes_ && !force_) {
        RejectImage(button, room,
                    std::string("Not the ") + ownImage_.device + "'s image: " + implausible +
                        " (--force sends it anyway)");
        return false;
    }
    const LoggedIdentity device = IdentityRead();
    std::string question = ConfirmationQuestion(device, image);
    if (!implausible.empty())
        question += "\n\n" + ImageWarning(implausible, ownImage_);
    if (!window_.Confirm(question, "Update")) {
        Settle(cmdline::kCancelled);
        return false;
    }
    UpdateRecord record;
    record.start = std::chrono::system_clock::now();
    record.program = logging_.program;
    record.before = device;
    record.imagePath = image.path;
    record.imageSize = image.fileSize;
    record.imageRecords = static_cast<std::int64_t>(image.records.size());
    record.imageCrc32 = Crc32OfRecords(image.records);
    if (keepAwake_) {
        const std::string problem = keepAwake_->Hold();
        record.sleepLock = problem.empty() ? "held" : "not taken: " + problem;
    }
    recordsSent_ = 0;
    const std::lock_guard<std::mutex> lock(attemptLock_);
    attemptThread_ = std::this_thread::get_id();
    attempt_ = record;
    attemptLogged_ = false;
    return true;
}

void UpdaterForm::ShowOnButton(const std::string& button, std::size_t room,
                               const std::string& text) {
    const ButtonCaption fitted = FitButtonCaption(text, room);
    if (window_.Text(button) != fitted.caption)
        window_.SetText(button, fitted.caption);
    outcomeButton_ = button;
    outcomeText_ = text;
    outcomeRoom_ = room;
    // The caption is in sight: the tooltip adds the whole of a shortened one and the log's
    // problem.
    std::string wanted = fitted.toolTip;
    if (!logProblem_.empty()) {
        if (!wanted.empty())
            wanted += '\n';
        wanted += LogProblemNote(logProblem_);
    }
    std::string& toolTip = toolTips_[button];
    if (toolTip != wanted) {
        toolTip = wanted;
        window_.SetToolTip(button, toolTip);
    }
}

std::string UpdaterForm::AttemptedDevice() const {
    // The device chosen for the attempt, as it is found again after every restart: its port and
    // the serial number it was listed with (not its product: a device left in its loader names
    // itself otherwise). A device known by neither cannot be told from another: its failure is
    // never taken for mended.
    if (!link_.Target || (link_.Target->port.empty() && link_.Target->serial.empty()))
        return "unknown device " + std::to_string(unmended_.size());
    return link_.Target->port + "\n" + link_.Target->serial;
}

void UpdaterForm::UpdateFailed(const std::string& failure) {
    Settle(cmdline::kUpdateFailed);
    unmended_.insert(AttemptedDevice());
    Log("failed", failure, std::nullopt);
}

void UpdaterForm::UpdateSentNotSeenBack() {
    Settle(cmdline::kNotSeenBack);
    unmended_.insert(AttemptedDevice());
    Log("sent, closed before the device came back", {}, std::nullopt);
}

void UpdaterForm::UpdateSucceeded(const std::string& button, std::size_t room, bool showVersion) {
    updateEnded_ = true;
    // A retry that updates the device an attempt failed on mends it; another device's failure
    // stays the run's outcome.
    unmended_.erase(AttemptedDevice());
    if (unmended_.empty())
        exitStatus_ = cmdline::kUpdated;
    Settle(cmdline::kUpdated);
    const std::string version = hidlink::FormatVersion(link_.Attributes.VersionNumber);
    if (window_.Text("lblVersion") != version)
        window_.SetText("lblVersion", version);
    const LoggedIdentity after = IdentityRead();
    Log("updated", {}, after);
    deferClose_ = false;
    if (closeRequested_) {
        window_.Unload();
        return;
    }
    const bool stayOpen = !logProblem_.empty();

    // The whole bar first, then the words that say it is done.
    window_.SetVisible("Pic", true);
    window_.SetWidth("Pic", progressFullWidth_);
    window_.Refresh("Pic");
    ShowOnButton(button, room,
                 showVersion ? "Update complete: version " + after.version : "Update complete");
    window_.SetEnabled(button, true);
    window_.Refresh(button);
    // A log that could not be written is left for the user to read: the user closes the window.
    if (stayOpen)
        return;
    // Long enough to be read; the window takes input meanwhile, and a close ends the wait.
    for (std::uint32_t waited = 0; waited < kCompleteShownMs && !window_.IsUnloaded();
         waited += kCompleteStepMs) {
        window_.ProcessEvents();
        if (!window_.IsUnloaded())
            api_.Sleep(kCompleteStepMs);
    }
    if (!window_.IsUnloaded())
        window_.Unload();
}

LoggedIdentity UpdaterForm::IdentityRead() const {
    const auto text = [](const std::optional<std::string>& read) {
        return read ? *read : std::string(kNotRead);
    };
    char ids[10];
    std::snprintf(ids, sizeof ids, "%04x:%04x", link_.Attributes.VendorID,
                  link_.Attributes.ProductID);
    const std::string version = hidlink::FormatVersion(link_.Attributes.VersionNumber);
    return {text(link_.Strings.product), text(link_.Strings.serial), version.substr(1), ids,
            link_.Target ? link_.Target->port : std::string()};
}

void UpdaterForm::Log(const std::string& outcome, const std::string& failure,
                      std::optional<LoggedIdentity> after) {
    if (!attempt_)
        return;
    if (keepAwake_)
        keepAwake_->Release();
    std::string problem;
    bool written = true;
    {
        // Held until the line is written: a process ended meanwhile waits for it, rather than
        // finding no attempt and ending with no line at all.
        const std::lock_guard<std::mutex> lock(attemptLock_);
        UpdateRecord record = *std::exchange(attempt_, std::nullopt);
        if (!attemptLogged_) {
            record.after = std::move(after);
            record.outcome = outcome;
            record.failure = failure;
            written = AppendRecord(std::move(record), &problem);
        }
    }
    attemptEnded_.notify_all();
    if (!written)
        SayLogNotWritten(problem);
}

void UpdaterForm::LogInterrupted(const std::string& cause, std::chrono::milliseconds grace) {
    std::unique_lock<std::mutex> lock(attemptLock_);
    // An update near its end may still finish before Windows ends the process: its own line then
    // says how it ended. Called on the update's own thread (a window told the session ends), it
    // cannot end while this waits.
    if (std::this_thread::get_id() != attemptThread_)
        attemptEnded_.wait_for(lock, grace, [this] { return !attempt_ || attemptLogged_; });
    if (!attempt_ || attemptLogged_)
        return;
    attemptLogged_ = true;
    UpdateRecord record = *attempt_;
    record.outcome = kInterruptedOutcome;
    record.failure = cause + " at record " + std::to_string(recordsSent_.load()) + " of " +
                     std::to_string(record.imageRecords);
    std::string problem;
    // Nobody is left to read a window: standard error is all there is.
    if (!AppendRecord(std::move(record), &problem))
        std::fprintf(stderr, "%s: update log not written: %s\n", logging_.program.c_str(),
                     problem.c_str());
}

bool UpdaterForm::AppendRecord(UpdateRecord record, std::string* problem) const {
    if (logging_.logPath.empty())
        return true;
    record.end = std::chrono::system_clock::now();
    return AppendToUpdateLog(logging_.logPath, UpdateLogLine(record), problem);
}

void UpdaterForm::SayLogNotWritten(const std::string& problem) {
    // A log that cannot be written never stops an update, nor changes its outcome: it is said.
    // On standard error too, unless the window is there already: a window closed at once (asked
    // during the update) is never read.
    if (!window_.ShowsOnStandardError())
        std::fprintf(stderr, "%s: %s\n", logging_.program.c_str(), LogProblemNote(problem).c_str());
    if (logProblem_.empty())
        window_.SetTitle(window_.Title() + kLogNotWritten);
    logProblem_ = problem;
    // An outcome already on the button gets the note now; one still to come gets it with it.
    if (!outcomeButton_.empty() &&
        window_.Text(outcomeButton_) == FitButtonCaption(outcomeText_, outcomeRoom_).caption)
        ShowOnButton(outcomeButton_, outcomeRoom_, outcomeText_);
}

std::string UpdaterForm::LogProblemNote(const std::string& problem) {
    return "Update log not written: " + problem;
}

}  // namespace updater
