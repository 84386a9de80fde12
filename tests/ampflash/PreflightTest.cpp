// An image that cannot be sent whole, or a device that cannot carry a record, is refused before
// anything goes to the amplifier.
#include "AmpflashRig.h"
#include "common/PathText.h"
#include "updater/FirmwareImage.h"

namespace ampflash_test {
namespace {

struct PreflightCase {
    const char* name;
    long long imageSize;  // -1: no file
    bool unreadable;
    std::uint16_t reportLength;
    const char* caption;
};

void PrintTo(const PreflightCase& c, std::ostream* os) {
    *os << c.name;
}

class Preflight : public RigTest<::testing::TestWithParam<PreflightCase>> {};

TEST_P(Preflight, RefusesBeforeSendingAnything) {
    const PreflightCase& c = GetParam();
    simdevices::AmplifierOptions options;
    options.reportLength = c.reportLength;
    AmpflashRig& rig = MakeRig(options);
    if (c.imageSize >= 0)
        rig.WriteImage(ImageBytes(static_cast<std::size_t>(c.imageSize)));
    if (c.unreadable)
        rig.bus.FailImageOpen(updater::ImagePath(rig.bus, ampflash::kImageFileName),
                              "Permission denied");
    rig.Load();
    rig.bus.ClearCalls();
    rig.Click();

    EXPECT_TRUE(rig.Reports().empty());
    EXPECT_TRUE(rig.bus.CallsNamed("BeginPreciseTiming").empty());
    // A missing file is named by where it was looked for, with the platform's one separator.
    const std::string lookedAt =
        common::ShownPath(updater::ImagePath(rig.bus, ampflash::kImageFileName));
    EXPECT_EQ(rig.WholeCaption(), c.caption + (c.imageSize < 0 ? lookedAt : std::string()));
    EXPECT_TRUE(rig.window.Control("btnUpgradeFW").enabled);
    EXPECT_FALSE(rig.window.Control("Pic").visible);
    EXPECT_EQ(std::filesystem::exists(rig.ImageFile()), c.imageSize >= 0);
    EXPECT_EQ(rig.amplifier->CurrentMode(), simdevices::Amplifier::Mode::Application);
}

INSTANTIATE_TEST_SUITE_P(
    Images, Preflight,
    ::testing::Values(
        PreflightCase{"Missing", -1, false, 65, "Image file not found: "},
        PreflightCase{"Empty", 0, false, 65, "Image file is empty"},
        PreflightCase{"Short", 39, false, 65, "Image file is too short"},
        PreflightCase{"TooLarge", 1310680, false, 65, "Image file is too large"},
        PreflightCase{"Unreadable", 400, true, 65, "Cannot read image file: Permission denied"},
        PreflightCase{"ReportTooShort", 400, false, 40, "Device report length not supported"},
        PreflightCase{"ReportTooLong", 400, false, 102, "Device report length not supported"}),
    [](const auto& info) { return std::string(info.param.name); });

class PreflightAgain : public RigTest<> {};

TEST_F(PreflightAgain, ASecondClickChecksAgain) {
    AmpflashRig& rig = MakeRig();
    rig.Load();
    rig.Click();
    EXPECT_EQ(rig.Caption(), "Image file not found...");

    rig.WriteImage(ImageBytes(4010));
    rig.Click();
    EXPECT_EQ(rig.amplifier->ReceivedRecords(), 100u);
    EXPECT_TRUE(rig.window.IsUnloaded());
}

}  // namespace
}  // namespace ampflash_test
