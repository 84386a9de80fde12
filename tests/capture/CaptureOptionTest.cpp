// --capture as the programs start it: no device call before the file exists, every line in the
// file as soon as its call returns, and a hidden serial hidden wherever it shows afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include "hidlink/CaptureOption.h"
#include "hidlink/sim/SimulatedBus.h"

namespace capture_test {
namespace {

constexpr cmdline::ProgramInfo kAmpflash{cmdline::Program::Ampflash, false};

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Bus {
    Bus() {
        sim::DeviceDescription d;
        d.path = "/dev/hid-DV2A-99887";
        d.serialNumber = u"DV2A-99887";
        d.featureReportByteLength = 65;
        bus.AddDevice(std::make_shared<sim::SimDevice>(d));
    }
    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
};

TEST(ProgramCapture, AFileThatCannotBeCreatedEndsTheRunBeforeAnyDeviceCall) {
    Bus b;
    hidlink::ProgramCapture capture(b.bus);
    cmdline::Options options;
    options.capturePath = "/no-such-folder/run.jsonl";
    EXPECT_EQ(capture.Start(kAmpflash, options), cmdline::kWrongUsage);
    EXPECT_TRUE(b.bus.Calls().empty());
}

TEST(ProgramCapture, WritesEachCallAsItReturnsWithTheSerialHiddenWhereverItShows) {
    Bus b;
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("capture-option-" + std::to_string(std::random_device{}())))
                                 .string();
    {
        hidlink::ProgramCapture capture(b.bus);
        cmdline::Options options;
        options.capturePath = path;
        options.captureAnonymous = true;
        ASSERT_EQ(capture.Start(kAmpflash, options), std::nullopt);
        hidlink::ApiDeclarations& api = capture.Api();

        const hidlink::Handle handle = api.CreateFileA(
            "/dev/hid-DV2A-99887", hidlink::kGenericRead | hidlink::kGenericWrite,
            hidlink::kFileShareRead | hidlink::kFileShareWrite, nullptr, hidlink::kOpenExisting, 0);
        // Before the serial is read, its path is all the capture knows of it.
        EXPECT_NE(FileText(path).find("/dev/hid-DV2A-99887"), std::string::npos);
        char16_t serial[40] = {};
        ASSERT_NE(api.HidD_GetSerialNumberString(handle, serial, sizeof serial), 0);
        EXPECT_EQ(std::u16string(serial), u"DV2A-99887");  // the program sees the real serial
        api.DevicePort("/dev/hid-DV2A-99887");
        api.CloseHandle(handle);
    }  // the file is closed: Windows removes no open file
    const std::string text = FileText(path);
    std::filesystem::remove(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
    const std::string afterOpening = text.substr(text.find('\n') + 1);
    EXPECT_EQ(afterOpening.find("DV2A"), std::string::npos) << afterOpening;
    EXPECT_NE(afterOpening.find("\"text\":\"serial-1\""), std::string::npos);
    EXPECT_NE(afterOpening.find("\"path\":\"/dev/hid-serial-1\""), std::string::npos);
}

}  // namespace
}  // namespace capture_test
