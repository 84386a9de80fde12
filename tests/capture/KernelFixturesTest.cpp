// Captures of the programs on the test machine's real hidraw stack (tests/kernel, usb.*
// scenarios), replayed without that machine: a change to what the programs send fails here
// first, with the call named.
#include <gtest/gtest.h>

#include <fstream>

#include "ProgramRuns.h"
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

    sim::VirtualClock clock;
    hidlink::EmulatedDevice device(*capture, clock);
    RunProgram(GetParam().run, device, clock, "");
    EXPECT_EQ(device.Mismatch(), "");
    EXPECT_TRUE(device.Finished()) << device.CallsServed() << " of " << capture->size();
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
