// Captures of the programs on the test machine's real hidraw stack (tests/kernel, usb.*
// scenarios), replayed without that machine: a change to what the programs send fails here
// first, with the call named.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "ProgramRuns.h"
#include "hidlink/capture/CapturingApi.h"
#include "hidlink/capture/EmulatedDevice.h"
#include "tools/capturecheck/CaptureCheck.h"

namespace capture_test {
namespace {

struct Fixture {
    const char* file;
    Run run;
};

void PrintTo(const Fixture& fixture, std::ostream* out) {
    *out << fixture.file;
}

class KernelCapture : public ::testing::TestWithParam<Fixture> {};

TEST_P(KernelCapture, IsWellFormedAndReplaysWithoutADifference) {
    std::ifstream in(std::string(CAPTURE_FIXTURES "/") + GetParam().file, std::ios::binary);
    ASSERT_TRUE(in) << GetParam().file;
    std::string problem;
    const auto capture = hidlink::ReadCapture(in, &problem);
    ASSERT_TRUE(capture) << problem;
    EXPECT_EQ(capturecheck::CheckCapture(*capture), std::vector<std::string>{});

    // Replayed through an anonymous capture: the serial is in none of its forms in the new one.
    const std::string recapturePath = (std::filesystem::temp_directory_path() /
                                       ("recapture-" + std::to_string(std::random_device{}())))
                                          .string();
    sim::VirtualClock clock;
    hidlink::EmulatedDevice device(*capture, clock);
    {
        auto file = hidlink::CaptureFile::Create(recapturePath, &problem);
        ASSERT_TRUE(file) << problem;
        hidlink::CapturingApi anonymous(device, *file, true, [&clock] { return clock.NowMs(); });
        RunProgram(GetParam().run, anonymous, clock, "");
    }
    EXPECT_EQ(device.Mismatch(), "");
    EXPECT_TRUE(device.Finished()) << device.CallsServed() << " of " << capture->size();
    std::ifstream recaptured(recapturePath, std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(recaptured), {});
    recaptured.close();
    std::filesystem::remove(recapturePath);
    EXPECT_GT(text.size(), 1000u);
    EXPECT_EQ(text.find("004817"), std::string::npos) << text.substr(0, 2000);
}

INSTANTIATE_TEST_SUITE_P(Usb, KernelCapture,
                         ::testing::Values(Fixture{"usb.servodiag.jsonl", Run::Diagnostics},
                                           Fixture{"usb.ampflash.jsonl", Run::AmplifierUpdate},
                                           Fixture{"usb.wheelflash.jsonl", Run::WheelUpdate}),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             return name.substr(4, name.find(".jsonl") - 4);
                         });

}  // namespace
}  // namespace capture_test
