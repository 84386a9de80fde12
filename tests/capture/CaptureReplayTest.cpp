// Each flow captured on the simulated bus, judged by the checker, and replayed on the emulated
// device: the same calls, and the same window for the user, without the devices or the image.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include "ProgramRuns.h"
#include "hidlink/capture/CapturingApi.h"
#include "hidlink/capture/EmulatedDevice.h"
#include "hidlink/sim/SimulatedBus.h"
#include "simdevices/Amplifier.h"
#include "simdevices/Bystanders.h"
#include "simdevices/WheelController.h"
#include "tools/capturecheck/CaptureCheck.h"

namespace capture_test {
namespace {

using hidlink::CaptureLine;

constexpr std::size_t kImageBytes = 10 * 40 + 7;  // a trailing fragment that is never sent

struct Flow {
    const char* name;
    Run run;
    int refusedRecord = 0;  // the amplifier refuses this data report (1-based); 0: none
    bool anonymous = false;
};

void PrintTo(const Flow& flow, std::ostream* out) {
    *out << flow.name;
}

// The n-th feature report the program sends gets one byte changed on its way out: a program
// that sends something else than it did.
template <class Api>
class PlantedByte : public Api {
  public:
    using Api::Api;
    void Plant(int nthReport, std::size_t byte) {
        nth_ = nthReport;
        byte_ = byte;
    }
    hidlink::Bool32 HidD_SetFeature(hidlink::Handle device, void* report,
                                    std::uint32_t length) override {
        if (++sent_ == nth_ && byte_ < length)
            static_cast<std::uint8_t*>(report)[byte_] ^= 0x5A;
        return Api::HidD_SetFeature(device, report, length);
    }

  private:
    int nth_ = 0;
    std::size_t byte_ = 0;
    int sent_ = 0;
};

class Scratch {
  public:
    Scratch()
        : directory_(std::filesystem::temp_directory_path() /
                     ("capture-test-" + std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(directory_);
    }
    ~Scratch() { std::filesystem::remove_all(directory_); }
    std::string Path(const char* name) const { return (directory_ / name).string(); }

  private:
    std::filesystem::path directory_;
};

struct Captured {
    std::vector<CaptureLine> lines;
    std::string text;  // the file as written
    std::string seen;  // what the window showed
};

// Runs the flow on a simulated bus through the capturing decorator, written to a real file.
Captured CaptureFlow(const Flow& flow, int plantedReport = 0, std::size_t plantedByte = 0) {
    Scratch scratch;
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    bus.AddDevice(simdevices::MakeKeyboard());
    if (flow.run == Run::AmplifierUpdate) {
        auto amplifier = std::make_shared<simdevices::Amplifier>();
        if (flow.refusedRecord > 0)
            amplifier->RefuseRecords({static_cast<std::size_t>(flow.refusedRecord)});
        bus.AddDevice(amplifier);
    } else {
        simdevices::WheelControllerOptions wheel;
        wheel.productId = flow.run == Run::Diagnostics ? 0x1020 : 0x2233;
        bus.AddDevice(std::make_shared<simdevices::WheelController>(wheel));
    }
    const std::string imagePath = scratch.Path("image.bin");
    std::vector<char> image(kImageBytes);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i * 13 + i / 40);
    std::ofstream(imagePath, std::ios::binary).write(image.data(), std::ssize(image));

    std::string problem;
    const std::string capturePath = scratch.Path("capture.jsonl");
    Captured out;
    {
        auto file = hidlink::CaptureFile::Create(capturePath, &problem);
        PlantedByte<hidlink::CapturingApi> capturing(bus, *file, flow.anonymous,
                                                     [&clock] { return clock.NowMs(); });
        capturing.Plant(plantedReport, plantedByte);
        out.seen = RunProgram(flow.run, capturing, clock, imagePath);
    }
    EXPECT_TRUE(bus.HandleProblems().empty());
    std::ifstream in(capturePath, std::ios::binary);
    out.text.assign(std::istreambuf_iterator<char>(in), {});
    std::istringstream lines(out.text);
    out.lines = hidlink::ReadCapture(lines, &problem).value_or(std::vector<CaptureLine>{});
    EXPECT_EQ(problem, "");
    return out;
}

const Flow kFlows[] = {
    {"DiagnosticsReadIdentitySettingsAndStatus", Run::Diagnostics},
    {"AmplifierUpdated", Run::AmplifierUpdate},
    {"WheelControllerUpdated", Run::WheelUpdate},
    {"AmplifierRefusesTheThirdRecord", Run::AmplifierUpdate, 3},
    {"AmplifierUpdatedWithSerialsHidden", Run::AmplifierUpdate, 0, true},
};

class CaptureReplay : public ::testing::TestWithParam<Flow> {};

TEST_P(CaptureReplay, IsWellFormedAndReplaysWithoutADifference) {
    const Flow& flow = GetParam();
    const Captured captured = CaptureFlow(flow);
    ASSERT_GT(captured.lines.size(), 20u);
    EXPECT_EQ(capturecheck::CheckCapture(captured.lines), std::vector<std::string>{});
    // The device's serial, shown to the user, is in the capture unless hidden.
    EXPECT_EQ(captured.text.find("DV2") == std::string::npos, flow.anonymous);
    EXPECT_EQ(captured.text.find("serial-1") != std::string::npos, flow.anonymous);

    // Replayed with the image gone: its bytes come from the capture.
    sim::VirtualClock clock;
    hidlink::EmulatedDevice device(captured.lines, clock);
    const std::string seen = RunProgram(flow.run, device, clock, "/elsewhere/image.bin");
    EXPECT_EQ(device.Mismatch(), "");
    EXPECT_TRUE(device.Finished()) << device.CallsServed() << " of " << captured.lines.size();
    if (!flow.anonymous) {
        EXPECT_EQ(seen, captured.seen);
    }
}

INSTANTIATE_TEST_SUITE_P(Flows, CaptureReplay, ::testing::ValuesIn(kFlows),
                         [](const auto& info) { return std::string(info.param.name); });

struct Plant {
    const char* name;
    int report;        // the n-th report sent: 1 the switch, 2 to 11 the records, 12 the reset
    std::size_t byte;  // the byte changed
    const char* checkerSays;
};

void PrintTo(const Plant& plant, std::ostream* out) {
    *out << plant.name;
}

class PlantedChange : public ::testing::TestWithParam<Plant> {};

// One byte changed in what the program sends: the replay of a good capture stops at that call,
// and the checker finds the fault in a capture of the changed run.
TEST_P(PlantedChange, FailsTheReplayAtThatCallAndTheCheck) {
    const Plant& plant = GetParam();
    const Flow update{"update", Run::AmplifierUpdate};
    const Captured good = CaptureFlow(update);

    sim::VirtualClock clock;
    PlantedByte<hidlink::EmulatedDevice> device(good.lines, clock);
    device.Plant(plant.report, plant.byte);
    RunProgram(update.run, device, clock, "image.bin");
    std::size_t call = 0;
    for (int reports = 0; call < good.lines.size() && reports < plant.report; ++call)
        reports += good.lines[call].Text("call") == "HidD_SetFeature";
    const std::uint8_t was = good.lines[call - 1].Bytes("sent")[plant.byte];
    const std::uint8_t sent = was ^ 0x5A;
    EXPECT_EQ(device.Mismatch(), "call " + std::to_string(call) + ", HidD_SetFeature: sent byte " +
                                     std::to_string(plant.byte) + " is " +
                                     hidlink::HexOf(&sent, 1) + ", the capture has " +
                                     hidlink::HexOf(&was, 1));
    // The program was told the report failed.
    EXPECT_EQ(device.CallsNamed("HidD_SetFeature").at(plant.report - 1).result, 0);

    const auto problems =
        capturecheck::CheckCapture(CaptureFlow(update, plant.report, plant.byte).lines);
    ASSERT_FALSE(problems.empty());
    EXPECT_NE(problems.front().find(plant.checkerSays), std::string::npos) << problems.front();
}

const Plant kPlants[] = {
    {"SwitchCommand", 1, 3, "a command 08 de fa"},
    {"FourthRecord", 5, 10, "record 4 expected"},
    {"AfterARecord", 3, 50, "bytes after its record"},
    {"Reset", 12, 20, "does not repeat the last data report"},
};

INSTANTIATE_TEST_SUITE_P(Plants, PlantedChange, ::testing::ValuesIn(kPlants),
                         [](const auto& info) { return std::string(info.param.name); });

// A good capture with calls taken out, as a capture cut short or edited by hand would be: each
// leaves an update unfinished or unprepared, which the checker must not call well-formed.
struct Edit {
    const char* name;
    // Whether the call goes, given what it sent and how many reports were sent up to it.
    bool (*drops)(const std::vector<std::uint8_t>& sent, int reports);
    const char* checkerSays;
};

void PrintTo(const Edit& edit, std::ostream* out) {
    *out << edit.name;
}

bool IsCommand(const std::vector<std::uint8_t>& sent, bool reset) {
    return sent.size() > 3 && sent[1] == 0xDE && sent[2] == 0xFA && (sent[3] == 0xDE) == reset;
}

class EditedCapture : public ::testing::TestWithParam<Edit> {};

TEST_P(EditedCapture, IsNotWellFormed) {
    const Captured good = CaptureFlow({"update", Run::AmplifierUpdate});
    std::vector<CaptureLine> edited;
    int reports = 0;
    for (const CaptureLine& line : good.lines) {
        reports += line.Text("call") == "HidD_SetFeature";
        if (!GetParam().drops(line.Bytes("sent"), reports))
            edited.push_back(line);
    }
    ASSERT_LT(edited.size(), good.lines.size());
    const auto problems = capturecheck::CheckCapture(edited);
    ASSERT_FALSE(problems.empty());
    EXPECT_NE(problems.front().find(GetParam().checkerSays), std::string::npos) << problems.front();
}

const Edit kEdits[] = {
    {"CutMidTransfer", [](const auto&, int reports) { return reports > 5; },
     "ends after record 4 of 10, without the reset"},
    {"NoCommand", [](const auto& sent, int) { return IsCommand(sent, false); },
     "without the switch or upgrade command"},
    {"NoReset", [](const auto& sent, int) { return IsCommand(sent, true); },
     "ends after record 10 of 10, without the reset"},
};

INSTANTIATE_TEST_SUITE_P(Edits, EditedCapture, ::testing::ValuesIn(kEdits),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace capture_test
