#include "tests/fault_matrix/UpdaterRun.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <stdexcept>

#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "simdevices/Bystanders.h"
#include "wheelflash/Layout.h"
#include "wheelflash/frmMain.h"

namespace fault_matrix {

namespace {

constexpr std::size_t kRecord = 40;
// Far beyond any sequence that ends: both updaters bound their waits.
constexpr std::int64_t kRunawayMs = 10 * 60 * 1000;

// Calls the bus can be made to fail.
const std::set<sim::CallKind> kFailable = {
    sim::CallKind::kHidD_GetAttributes,
    sim::CallKind::kHidD_GetPreparsedData,
    sim::CallKind::kHidP_GetCaps,
    sim::CallKind::kHidD_GetManufacturerString,
    sim::CallKind::kHidD_GetProductString,
    sim::CallKind::kHidD_GetSerialNumberString,
    sim::CallKind::kHidD_GetFeature,
    sim::CallKind::kHidD_SetFeature,
    sim::CallKind::kSetupDiGetClassDevsA,
    sim::CallKind::kSetupDiEnumDeviceInterfaces,
    sim::CallKind::kSetupDiGetDeviceInterfaceDetailA,
    sim::CallKind::kCreateFileA,
    sim::CallKind::kOpenImageFile,
    sim::CallKind::kImageFileSize,
    sim::CallKind::kReadImageFile,
};

// Captions of a check that refused the update before the device was told anything.
const std::regex kRefusal(
    "Image file (not found(: .*)?|is empty|is too short|is too large)|Cannot read image file: .*|"
    "Device report length not supported");

// Calls the scenario's hook before every platform call that reaches a device, and stops a run
// that would never end. Never on the bus itself, so never enumerated.
class ScenarioHook : public sim::SimDevice {
  public:
    ScenarioHook(UpdaterRun& run, std::function<void(UpdaterRun&, std::int64_t)> during)
        : sim::SimDevice(Absent()), run_(run), during_(std::move(during)) {}
    void Advance(std::int64_t nowMs) override {
        if (nowMs > kRunawayMs)
            throw std::runtime_error("the run never ended");
        if (during_)
            during_(run_, nowMs);
    }

  private:
    static sim::DeviceDescription Absent() {
        sim::DeviceDescription d;
        d.present = false;
        return d;
    }
    UpdaterRun& run_;
    std::function<void(UpdaterRun&, std::int64_t)> during_;
};

std::vector<std::uint8_t> ImageBytes(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = 2463534242u;
    for (auto& b : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        b = static_cast<std::uint8_t>(state);
    }
    return bytes;
}

std::filesystem::path ScratchDirectory() {
    static std::atomic<int> serial{0};
    return std::filesystem::temp_directory_path() /
           ("fault-matrix-" + std::to_string(std::random_device{}()) + "-" +
            std::to_string(serial++));
}

// Runs that leave the image alone share one folder per image, written once: thousands of runs
// then cost no file system work beyond reading it.
class SharedImages {
  public:
    ~SharedImages() {
        std::error_code ignored;
        for (const auto& [size, directory] : directories_)
            std::filesystem::remove_all(directory, ignored);
    }
    const std::filesystem::path* Find(std::size_t imageBytes) const {
        const auto it = directories_.find(imageBytes);
        return it == directories_.end() ? nullptr : &it->second;
    }
    void Keep(std::size_t imageBytes, std::filesystem::path directory) {
        directories_.emplace(imageBytes, std::move(directory));
    }

  private:
    std::map<std::size_t, std::filesystem::path> directories_;
};

SharedImages sharedImages;

// Whether `held` is whole records of `whole`, each at most once, in the image's order.
bool IsOrderedSubset(const std::vector<std::uint8_t>& held,
                     const std::vector<std::uint8_t>& whole) {
    std::size_t next = 0;
    for (std::size_t h = 0; h < held.size(); h += kRecord) {
        while (next < whole.size() &&
               !std::equal(held.begin() + static_cast<std::ptrdiff_t>(h),
                           held.begin() + static_cast<std::ptrdiff_t>(h + kRecord),
                           whole.begin() + static_cast<std::ptrdiff_t>(next))) {
            next += kRecord;
        }
        if (next >= whole.size())
            return false;
        next += kRecord;
    }
    return true;
}

}  // namespace

std::vector<Fault> FailablePositions(const std::vector<sim::Call>& calls) {
    std::vector<Fault> faults;
    std::map<std::string, int> seen;
    for (const sim::Call& call : calls) {
        const int nth = ++seen[call.name];
        if (kFailable.count(call.kind) != 0)
            faults.push_back({call.name, nth});
    }
    return faults;
}

UpdaterRun::UpdaterRun(Program program, const RunSetup& setup, const std::vector<Fault>& faults)
    : program_(program), image_(ImageBytes(setup.imageBytes)), layout_(setup.neighbours) {
    const bool sharesImage = !setup.replaceImage && !setup.during;
    const std::filesystem::path* shared =
        sharesImage ? sharedImages.Find(setup.imageBytes) : nullptr;
    directory_ = shared != nullptr ? *shared : ScratchDirectory();
    ownsDirectory_ = !sharesImage;
    bus_.SetProgramDirectory(directory_.string());
    bus_.AddDevice(simdevices::MakeKeyboard());
    const bool arriving = layout_.arriveDuringRestart;
    AddNeighbours(layout_.before, arriving);
    ampflash_ = program == Program::Ampflash;
    if (setup.baseUnit) {
        base_ = std::make_shared<simdevices::BaseUnit>(*setup.baseUnit);
        bus_.AddDevice(base_);
    }
    if (ampflash_) {
        if (!base_) {
            amplifier_ = std::make_shared<simdevices::Amplifier>(setup.amplifier);
            bus_.AddDevice(amplifier_);
        }
        window_ = std::make_unique<ui::HeadlessWindow>(ampflash::AmpflashLayout());
        form_ = std::make_unique<ampflash::frmMain>(*window_, bus_, "", setup.logPath);
    } else {
        simdevices::WheelControllerOptions options = setup.controller;
        options.startsInImageMode = program == Program::WheelflashLoad;
        if (!base_) {
            controller_ = std::make_shared<simdevices::WheelController>(options);
            bus_.AddDevice(controller_);
        }
        window_ = std::make_unique<ui::HeadlessWindow>(wheelflash::WheelflashLayout());
        form_ = std::make_unique<wheelflash::frmMain>(*window_, bus_, "", setup.logPath);
    }
    home_ = Device().Description().port;
    AddNeighbours(layout_.after, arriving);
    bus_.AddDevice(std::make_shared<ScenarioHook>(
        *this, [this, during = setup.during](UpdaterRun& run, std::int64_t now) {
            FollowLayout(now);
            if (during)
                during(run, now);
        }));
    // The user updates this run's device: a question that names another device is cancelled.
    const std::u16string& serial = *Device().Description().serialNumber;
    window_->AnswerConfirmation =
        [accept = setup.acceptConfirmation,
         serial = std::string(serial.begin(), serial.end())](const std::string& question) {
            return accept && question.find(serial) != std::string::npos;
        };

    if (shared == nullptr) {
        std::filesystem::create_directories(directory_);
        // Both programs' names, so every program finds the shared image.
        for (const char* name : {ampflash::kImageFileName, wheelflash::kImageFileName}) {
            std::ofstream(directory_ / name, std::ios::binary)
                .write(reinterpret_cast<const char*>(image_.data()),
                       static_cast<std::streamsize>(image_.size()));
        }
        if (sharesImage)
            sharedImages.Keep(setup.imageBytes, directory_);
    }
    if (setup.replaceImage) {
        std::filesystem::remove(ImageFile());
        setup.replaceImage(ImageFile());
    }
    for (const Fault& fault : faults)
        bus_.FailNth(fault.call, fault.nth);
}

UpdaterRun::~UpdaterRun() {
    std::error_code ignored;
    if (ownsDirectory_)
        std::filesystem::remove_all(directory_, ignored);
}

void UpdaterRun::AddNeighbours(const std::vector<std::string>& kinds, bool absent) {
    for (const std::string& kind : kinds) {
        const std::string port = "2-" + std::to_string(neighbours_.size() + 1);
        const std::u16string serial = u"DV2N-00000" + std::u16string(1, u'1' + neighbours_.size());
        std::shared_ptr<sim::SimDevice> device;
        if (kind == "amplifier") {
            simdevices::AmplifierOptions options;
            options.port = port;
            options.serialNumber = serial;
            device = std::make_shared<simdevices::Amplifier>(options);
        } else {
            simdevices::WheelControllerOptions options;
            options.port = port;
            options.serialNumber = serial;
            device = std::make_shared<simdevices::WheelController>(options);
        }
        if (absent)
            device->Unplug();
        neighbours_.push_back(device);
        bus_.AddDevice(device);
    }
}

void UpdaterRun::FollowLayout(std::int64_t) {
    const bool restarting =
        base_        ? base_->CurrentMode() == simdevices::BaseUnit::Mode::Restarting
        : amplifier_ ? amplifier_->CurrentMode() == simdevices::Amplifier::Mode::Restarting
                     : controller_->CurrentMode() == simdevices::WheelController::Mode::Restarting;
    if (restarted_ || !restarting || Device().Description().present)
        return;
    restarted_ = true;
    if (layout_.arriveDuringRestart) {
        for (const auto& neighbour : neighbours_)
            neighbour->Replug();
    }
    if (layout_.confirmedMoves)
        Device().MoveTo("3-1");
}

void UpdaterRun::LoadAndClick() {
    window_->Load(*form_);
    // Several devices to update: the user chooses the one this run updates.
    if (window_->Control(hidlink::kChooserControl).visible) {
        const std::vector<std::string>& lines = window_->Control(hidlink::kChooserControl).items;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].find("port " + home_) != std::string::npos)
                window_->Choose(hidlink::kChooserControl, static_cast<int>(i));
        }
    }
    window_->Click(program_ == Program::Ampflash         ? "btnUpgradeFW"
                   : program_ == Program::WheelflashLoad ? "Command2"
                                                         : "Command4");
}

sim::SimDevice& UpdaterRun::Device() const {
    if (base_)
        return *base_;
    return amplifier_ ? static_cast<sim::SimDevice&>(*amplifier_) : *controller_;
}

bool UpdaterRun::Receiving() const {
    if (base_)
        return base_->CurrentMode() == (ampflash_ ? simdevices::BaseUnit::Mode::AmplifierBootloader
                                                  : simdevices::BaseUnit::Mode::ControllerImage);
    return amplifier_
               ? amplifier_->CurrentMode() == simdevices::Amplifier::Mode::Bootloader
               : controller_->CurrentMode() == simdevices::WheelController::Mode::ImageReceiving;
}

std::size_t UpdaterRun::RecordsHeld() const {
    return Held().size() / kRecord;
}

std::filesystem::path UpdaterRun::ImageFile() const {
    return directory_ / (ampflash_ ? ampflash::kImageFileName : wheelflash::kImageFileName);
}

bool UpdaterRun::ImageChecked() const {
    return !bus_.CallsNamed("CloseImageFile").empty();
}

std::vector<std::uint8_t> UpdaterRun::Held() const {
    if (base_)
        return ampflash_ ? base_->AmplifierImage() : base_->ControllerImage();
    return amplifier_ ? amplifier_->ReceivedImage() : controller_->ReceivedImage();
}

// The caption a failure left, whole (a shortened one is whole in its tooltip): ampflash has one
// button; wheelflash puts it on either.
std::string UpdaterRun::Caption() const {
    const auto whole = [this](const std::string& button) {
        const std::string caption = window_->Text(button);
        const std::string& tip = window_->Control(button).toolTip;
        const bool shortened =
            tip.size() > caption.size() &&
            (tip.rfind(caption, 0) == 0 ||
             (caption.size() >= 3 && caption.substr(caption.size() - 3) == "..."));
        return shortened ? tip : caption;
    };
    if (ampflash_)
        return whole("btnUpgradeFW");
    const std::string load = whole("Command2");
    return load != "2. Load Firmware" ? load : whole("Command4");
}

bool UpdaterRun::WasCancelled() const {
    const std::vector<ui::WindowEvent>& events = window_->Events();
    for (auto e = events.rbegin(); e != events.rend(); ++e) {
        if (e->what == "confirm-answer")
            return e->value == "cancel";
    }
    return false;
}

std::string UpdaterRun::Verdict() {
    const std::vector<std::uint8_t> whole(
        image_.begin(),
        image_.begin() + static_cast<std::ptrdiff_t>(image_.size() / kRecord * kRecord));
    const std::vector<std::uint8_t> held = Held();
    std::string verdict;
    if (window_->IsUnloaded()) {
        if (held != whole) {
            verdict = "closed as done, but the device holds " + std::to_string(held.size()) +
                      " bytes that are not the image's " + std::to_string(whole.size());
        } else if (ampflash_ && !ResetOutOfBootloader()) {
            verdict = "closed as done, but the amplifier was not reset out of its bootloader";
        }
    } else {
        verdict = FailureVerdict(Caption(), held, whole);
        window_->RequestClose();
        if (verdict.empty() && !window_->IsUnloaded())
            verdict = "the window would not close after the failure";
    }
    for (const std::string& problem : bus_.HandleProblems())
        verdict += (verdict.empty() ? "" : "; ") + problem;
    if (const std::string layout = LayoutVerdict(); !layout.empty())
        verdict += (verdict.empty() ? "" : "; ") + layout;
    return verdict;
}

bool UpdaterRun::ResetOutOfBootloader() const {
    if (base_)
        return base_->CurrentMode() == simdevices::BaseUnit::Mode::Normal && base_->Restarts() > 0;
    return amplifier_->CurrentMode() == simdevices::Amplifier::Mode::Application &&
           amplifier_->ResetReports() != 0;
}

std::string UpdaterRun::LayoutVerdict() const {
    for (const auto& neighbour : neighbours_) {
        if (neighbour->FeatureReportsReached() != 0)
            return std::to_string(neighbour->FeatureReportsReached()) +
                   " reports reached the other device on port " + neighbour->Description().port;
    }
    const auto& events = window_->Events();
    const bool completeShown = std::any_of(events.begin(), events.end(), [](const auto& e) {
        return e.what == "text" && e.value.rfind("Update complete", 0) == 0;
    });
    const sim::DeviceDescription& device = Device().Description();
    // A base unit that received the controller's image restarts into its normal mode once let go
    // of: off the bus for a moment, on its port.
    const bool present = device.present || (base_ && !ampflash_);
    if (completeShown && !(present && device.port == home_))
        return "\"Update complete\" shown, but the updated device is not back on its port";
    return {};
}

std::string UpdaterRun::FailureVerdict(const std::string& caption,
                                       const std::vector<std::uint8_t>& held,
                                       const std::vector<std::uint8_t>& whole) const {
    const std::size_t records = whole.size() / kRecord;
    const std::string where = "caption \"" + caption + "\": ";
    const std::size_t reportsSent = bus_.CallsNamed("HidD_SetFeature").size();
    std::smatch m;
    if (std::regex_match(caption, m, std::regex("Update failed at record (\\d+) of (\\d+)"))) {
        const std::size_t k = std::stoul(m[1]);
        const std::size_t n = std::stoul(m[2]);
        if (n != records || k < 1 || k > n)
            return where + "not the image's " + std::to_string(records) + " records";
        if (held !=
            std::vector<std::uint8_t>(
                whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>((k - 1) * kRecord)))
            return where + "but the device holds " + std::to_string(held.size() / kRecord);
        return {};
    }
    if (std::regex_match(caption, m,
                         std::regex("Update failed: (\\d+) of (\\d+) records not accepted"))) {
        const std::size_t refused = std::stoul(m[1]);
        const std::size_t n = std::stoul(m[2]);
        if (n != records || refused < 1 || refused > n)
            return where + "not the image's " + std::to_string(records) + " records";
        if (held.size() / kRecord != n - refused || !IsOrderedSubset(held, whole))
            return where + "but the device holds " + std::to_string(held.size() / kRecord);
        return {};
    }
    if (caption.rfind("Reset not accepted", 0) == 0 ||
        caption == "Amplifier did not come back: unplug and replug it" ||
        caption == "Amplifier not seen restarting: unplug and replug it") {
        if (!ampflash_ || held != whole)
            return where + "but the image had not arrived whole";
        return {};
    }
    if (!ampflash_ && caption == "Controller not waiting for an image: use Upgrade Firmware") {
        if (!held.empty())
            return where + "but the device holds " + std::to_string(held.size() / kRecord);
        return {};
    }
    if (!ampflash_ && caption.rfind("Controller did not restart", 0) == 0 &&
        caption.find("the update was not started") != std::string::npos) {
        // The upgrade command, and at most the one record the controller refused.
        if (!held.empty() || reportsSent > 2)
            return where + "but " + std::to_string(reportsSent) + " reports were sent";
        return {};
    }
    if (caption == "Device did not come back" ||
        (!ampflash_ && caption == "Device report length not supported" && reportsSent == 1)) {
        if (!held.empty() || reportsSent != 1)
            return where + "but more than the upgrade command was sent";
        return {};
    }
    if (caption == "Device not found" || caption == "Device access refused" ||
        caption == "Device in use" || caption == "Choose the device above first" ||
        WasCancelled()) {
        if (reportsSent != 0)
            return where + "but the device was sent " + std::to_string(reportsSent) + " reports";
        return {};
    }
    if (std::regex_match(caption, kRefusal)) {
        if (reportsSent != 0)
            return where + "reads as a refusal, but the device was sent " +
                   std::to_string(reportsSent) + " reports";
        return {};
    }
    // A window that found no device at load ignores the click and shows nothing new.
    if ((caption == "Upgrade Firmware" || caption == "2. Load Firmware") && reportsSent == 0 &&
        !form_->Link().DeviceDetected)
        return {};
    return where + "the window stays open without saying what happened";
}

}  // namespace fault_matrix
