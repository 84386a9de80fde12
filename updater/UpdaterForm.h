// The window lifecycle both updaters share: the load finds the device and shows it, the unload
// lets go of it, and a close request waits while an update must not be cut short. And the states
// of an update the user sees the same in both: no device, the question before flashing, done,
// failed (and clicked again), each with the status the program exits with and a line in the
// update log.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "cmdline/CommandLine.h"
#include "hidlink/ApiDeclarations.h"
#include "hidlink/DeviceChooser.h"
#include "hidlink/HidLink.h"
#include "updater/FirmwareImage.h"
#include "updater/ImagePlausibility.h"
#include "updater/KeepAwake.h"
#include "updater/UpdateLog.h"
#include "window/Window.h"

namespace updater {

// Which program updates, and where it keeps its log.
struct UpdaterLogging {
    std::string program;  // "ampflash", "wheelflash"
    std::string logPath;  // empty: no log is kept
};

// How long "Update complete" stays on screen before the window closes itself.
inline constexpr std::uint32_t kCompleteShownMs = 2000;
// Appended to the title when a close is asked while an update must not be cut short.
inline constexpr char kClosingAfterUpdate[] = " \u2014 Closing after the update\u2026";
// Appended to the title when an attempt's line could not be added to the update log; the button's
// tooltip says which file and why.
inline constexpr char kLogNotWritten[] = " \u2014 Update log not written";
// The outcome logged for an attempt the process could not finish: its console was closed, or the
// session ended.
inline constexpr char kInterruptedOutcome[] = "interrupted";
// How long a process about to be ended lets an attempt end by itself before logging it
// interrupted: well within the five seconds Windows gives.
inline constexpr std::chrono::milliseconds kEndingGrace{3000};

class UpdaterForm : public ui::FormHandlers {
  public:
    UpdaterForm(ui::Window& window, hidlink::ApiDeclarations& api, hidlink::DeviceProfile profile,
                UpdaterLogging logging = {}, hidlink::DeviceSelector selector = {})
        : window_(window),
          api_(api),
          profile_(profile),
          chooser_(window, profile_, std::move(selector), false),
          logging_(std::move(logging)) {}

    // Shows the window, captures ProgressFullWidth from Pic before hiding it, finds the device
    // and shows its identity.
    void Form_Load() override;
    // Closes whatever handles the link still owns.
    void Form_Unload() override;
    // The user chose a device among several: it is opened and shown, and the buttons are ready.
    // Ignored while an update runs (the chooser is disabled then).
    void Chosen(const std::string& control, int index) override;
    // While an update runs, a close request is remembered, acknowledged in the title at once and
    // honoured when the update has ended.
    bool Form_QueryUnload() override;
    // The most serious outcome of the run (cmdline::MostSerious): an attempt that failed stays
    // failed whatever is picked or closed afterwards, unless a retry updated that same device; with
    // no attempt, the last outcome: 5 (nothing was updated), 3 (no device found) or 4 (image
    // refused).
    int ExitStatus() const override { return exitStatus_; }

    // Run with the question answered yes unasked (--yes): a file that does not look like this
    // device's image is then refused, unless force (--force) sends it anyway.
    void AnswerUnattended(bool answeredYes, bool force) {
        answeredYes_ = answeredYes;
        force_ = force;
    }

    // Keeps the computer awake with this lock from the answer to the update's end; the log says
    // whether it was taken.
    void KeepAwakeDuringUpdates(KeepAwake& awake) { keepAwake_ = &awake; }

    // The process is about to end (its console closed, the session ending): an attempt under way
    // is given `grace` to end by itself and log how; otherwise it is logged as interrupted at the
    // record reached, once. Safe from another thread (the console's close handler) while the
    // update runs; nothing when no attempt is under way.
    void LogInterrupted(const std::string& cause, std::chrono::milliseconds grace = kEndingGrace);

    const hidlink::HidLink& Link() const { return link_; }
    int ProgressFullWidth() const { return progressFullWidth_; }

  protected:
    // From here until EndDeferringClose(), close requests wait, and the device stays chosen.
    void BeginDeferringClose();
    // Stops deferring; returns true when a close was requested meanwhile (the window is then
    // unloaded here, and the caller must touch nothing more; an attempt not yet ended is then
    // logged as sent but not seen back).
    bool EndDeferringClose();

    // A click's first step. With no device open (none at load, or let go of after a failure)
    // it searches again and shows what it found; false when nothing can be updated, with the
    // reason on the button: no device, or several and none chosen.
    bool FindDeviceForClick(const std::string& button, std::size_t room);
    // The buttons' own captions, once a device is chosen.
    virtual void ShowReady() = 0;
    // The image check failed: the reason on the button, nothing sent.
    void RejectImage(const std::string& button, std::size_t room, const std::string& problem);
    // The image this updater sends, and the other updater's, told apart before anything is sent.
    void ExpectImageOf(ImageKind own, ImageKind other) {
        ownImage_ = own;
        otherImage_ = other;
    }
    // After the image check: asks the user, with a warning when the file does not look like
    // this device's image (refused on the button when answered unattended without force). On
    // yes the attempt starts (and will be logged); on no nothing changes but the exit status.
    bool ConfirmUpdate(const ImageCheck& image, const std::string& button, std::size_t room);
    // The text on the button, shortened to `room` characters when needed, whole in its tooltip.
    void ShowOnButton(const std::string& button, std::size_t room, const std::string& text);
    // The attempt failed with this text (the window stays open): logged, status 1.
    void UpdateFailed(const std::string& failure);
    // The whole image was sent and the device told to start it, but the window was closed before
    // it was seen back: logged as such, status 8.
    void UpdateSentNotSeenBack();
    // The attempt succeeded: logged, then the window unloads: at once when a close was asked
    // during the update, otherwise after "Update complete" has been shown for kCompleteShownMs on
    // the button (enabled, so that it is drawn readable; clicks do nothing any more) over the full
    // bar. With showVersion, the caption adds the version the device reports now.
    void UpdateSucceeded(const std::string& button, std::size_t room, bool showVersion = true);
    // How far the attempt under way got: records the device accepted, for a line logged when the
    // process is ended in its middle.
    void RecordsSent(int sent) { recordsSent_ = sent; }
    // Whether an update has ended with success: from then on nothing in the window starts
    // anything.
    bool UpdateEnded() const { return updateEnded_; }

    ui::Window& window_;
    hidlink::ApiDeclarations& api_;
    hidlink::DeviceProfile profile_;
    hidlink::HidLink link_;
    int progressFullWidth_ = 0;

  private:
    // Lists the devices, settles on the one to update and opens it; with several and none
    // chosen, opens nothing and shows no identity.
    void OpenChosenDevice();
    // Records an outcome of the run; the exit status keeps the most serious one.
    void Settle(int status);
    // The device of the attempt under way: its serial number as shown.
    std::string AttemptedDevice() const;

    hidlink::DeviceChooser chooser_;
    // The device the link has open, as read from it since it was found (or found back).
    LoggedIdentity IdentityRead() const;
    void Log(const std::string& outcome, const std::string& failure,
             std::optional<LoggedIdentity> after);
    // Appends the finished record to the log; false, with *problem set, when it could not.
    bool AppendRecord(UpdateRecord record, std::string* problem) const;
    // A line that could not be logged is said in the window (on a terminal, on standard error): a
    // note in the title, the file and why in the tooltip of the button that tells the outcome.
    void SayLogNotWritten(const std::string& problem);
    static std::string LogProblemNote(const std::string& problem);

    UpdaterLogging logging_;
    KeepAwake* keepAwake_ = nullptr;
    bool deferClose_ = false;
    bool closeRequested_ = false;
    bool updateEnded_ = false;
    bool answeredYes_ = false;
    bool force_ = false;
    ImageKind ownImage_ = kAmplifierImage;
    ImageKind otherImage_ = kControllerImage;
    int exitStatus_ = cmdline::kCancelled;
    // The devices an attempt failed on, or was closed on before they came back, not updated since.
    std::set<std::string> unmended_;
    // The attempt under way, from the confirmation to its end. Changed only on the window's
    // thread, under attemptLock_, which LogInterrupted takes from the close handler's thread.
    std::optional<UpdateRecord> attempt_;
    std::mutex attemptLock_;
    std::condition_variable attemptEnded_;  // attempt_ reset: its own line is written
    std::thread::id attemptThread_;
    bool attemptLogged_ = false;  // by LogInterrupted: the window's thread logs nothing more
    std::atomic<int> recordsSent_{0};
    // The tooltip each button was given last.
    std::map<std::string, std::string> toolTips_;
    // The button that tells the outcome, and what it tells: a log problem is added to its tooltip.
    std::string outcomeButton_;
    std::string outcomeText_;
    std::size_t outcomeRoom_ = 0;
    std::string logProblem_;  // the last one, with the file's path
};

// Rounds half to even, as the width of a control is turned into a whole number of twips.
int RoundHalfEven(double value);

}  // namespace updater
