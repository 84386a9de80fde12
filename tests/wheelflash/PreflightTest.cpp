#include <gtest/gtest.h>

#include <filesystem>

#include "WheelflashFixture.h"
#include "common/PathText.h"

namespace wheelflash_test {
namespace {

constexpr long kNoFile = -1;

struct PreflightCase {
    std::string name;
    long imageSize;  // kNoFile: none
    bool unreadable;
    std::uint16_t reportLength;
    std::string problem;
};

struct PreflightParam {
    PreflightCase c;
    std::string button;
};
void PrintTo(const PreflightParam& p, std::ostream* os) {
    *os << p.c.name << " by " << p.button;
}

class Preflight : public WheelflashFixture, public ::testing::WithParamInterface<PreflightParam> {};

// Either button, on an image or a device that cannot be updated: nothing reaches the device, no
// file is created, the buttons stay as they were and the clicked one names the problem.
TEST_P(Preflight, SendsNothingAndNamesTheProblem) {
    const PreflightParam p = GetParam();
    if (p.c.imageSize != kNoFile)
        WriteImage(static_cast<std::size_t>(p.c.imageSize));
    if (p.c.unreadable)
        bus.FailImageOpen(ImagePath(), "Permission denied");
    simdevices::WheelControllerOptions options;
    options.reportLength = p.c.reportLength;
    AddController(options);
    Load();
    const bool existed = std::filesystem::exists(ImagePath());
    const std::string other = p.button == "Command4" ? "Command2" : "Command4";
    const std::string otherCaption = window.Text(other);

    window.Click(p.button);

    for (const sim::Call& c : CallsAfterLoad())
        EXPECT_NE(c.name.find("ImageFile"), std::string::npos) << c.name;
    EXPECT_EQ(std::filesystem::exists(ImagePath()), existed);
    // A missing file is named by where it was looked for, with the platform's one separator.
    EXPECT_EQ(
        WholeCaption(p.button),
        p.c.problem + (p.c.imageSize == kNoFile ? common::ShownPath(ImagePath()) : std::string()));
    EXPECT_EQ(window.Text(other), otherCaption);
    EXPECT_TRUE(window.Control("Command4").enabled);
    EXPECT_TRUE(window.Control("Command2").enabled);
    EXPECT_FALSE(window.Control("Pic").visible);
    EXPECT_FALSE(window.IsUnloaded());
    EXPECT_EQ(bus.OpenHandleCount(), 2);

    EXPECT_TRUE(window.RequestClose());
    EXPECT_TRUE(bus.HandleProblems().empty());
}

const PreflightCase kCases[] = {
    {"Missing", kNoFile, false, 64, "Image file not found: "},
    {"Empty", 0, false, 64, "Image file is empty"},
    {"OneByteShortOfARecord", 39, false, 64, "Image file is too short"},
    // 32,767 whole records: one more than the record count can number.
    {"TooLarge", 1310680, false, 64, "Image file is too large"},
    {"Unreadable", 4000, true, 64, "Cannot read image file: Permission denied"},
    {"ReportTooShortForARecord", 4000, false, 40, "Device report length not supported"},
};

std::vector<PreflightParam> AllParams() {
    std::vector<PreflightParam> params;
    for (const std::string button : {"Command4", "Command2"}) {
        for (const PreflightCase& c : kCases)
            params.push_back({c, button});
    }
    return params;
}

INSTANTIATE_TEST_SUITE_P(Images, Preflight, ::testing::ValuesIn(AllParams()));

class PreflightThenFixed
    : public WheelflashFixture,
      public ::testing::WithParamInterface<std::pair<std::string, std::string>> {};

// A problem found before anything was sent leaves the update possible once it is put right, and
// the caption it left goes once a check passes, whichever button failed and whichever then runs.
TEST_P(PreflightThenFixed, ThenTheUpdateRunsUnderTheLayoutsCaptions) {
    const auto& [failed, runs] = GetParam();
    simdevices::WheelControllerOptions options;
    options.startsInImageMode = runs == "Command2";
    AddController(options);
    Load();
    window.Click(failed);
    ASSERT_EQ(window.Text(failed), "Image file not found...");

    WriteImage(400);
    std::string captionWhileSending;
    window.OnProcessEvents = [&](int) {
        if (captionWhileSending.empty())
            captionWhileSending = window.Text(failed);
    };
    window.Click(runs);
    EXPECT_EQ(controller->ReceivedRecords(), 10u);
    EXPECT_TRUE(window.IsUnloaded());
    EXPECT_TRUE(bus.HandleProblems().empty());
    EXPECT_EQ(captionWhileSending, failed == runs         ? "Please wait..."
                                   : failed == "Command4" ? "Upgrade Firmware"
                                                          : "2. Load Firmware");
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, PreflightThenFixed,
    ::testing::Values(std::pair<std::string, std::string>{"Command4", "Command4"},
                      std::pair<std::string, std::string>{"Command2", "Command4"},
                      std::pair<std::string, std::string>{"Command4", "Command2"}));

using NoDevice = WheelflashFixture;

// Without a device each button searches again and says that none was found: no file is looked at
// (a missing image is not created) and nothing is sent.
TEST_F(NoDevice, EachButtonSearchesAgainAndSaysNoneWasFound) {
    Load();
    window.Click("Command4");
    window.Click("Command2");

    EXPECT_EQ(CallsAfterLoadNamed("SetupDiGetClassDevsA").size(), 2u);
    EXPECT_TRUE(CallsAfterLoadNamed("HidD_SetFeature").empty());
    EXPECT_TRUE(CallsAfterLoadNamed("OpenImageFile").empty());
    EXPECT_FALSE(std::filesystem::exists(ImagePath()));
    EXPECT_EQ(window.Text("lblManuf"), "");
    EXPECT_EQ(window.Text("Command4"), "Device not found");
    EXPECT_EQ(window.Text("Command2"), "Device not found");
    EXPECT_TRUE(window.Control("Command4").enabled);
    EXPECT_TRUE(window.Control("Command2").enabled);
    EXPECT_FALSE(window.IsUnloaded());
}

}  // namespace
}  // namespace wheelflash_test
