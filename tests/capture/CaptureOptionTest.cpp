// --capture as the programs start it: never over one of the run's own files, no device call before
// the file exists, every line in the file as soon as its call returns, and with
// --capture-anonymous no serial in any of its forms.
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
// As Windows names a device: its serial, lowercased, in the instance segment.
constexpr const char* kPath = "\\\\?\\hid#vid_1d47&pid_b02e#7&dv2a-99887&0&0#{4d1e55b2}";

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::ptrdiff_t Occurrences(const std::string& text, const std::string& what) {
    std::ptrdiff_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

struct Bus {
    Bus() {
        sim::DeviceDescription d;
        d.path = kPath;
        d.serialNumber = u"DV2A-99887";
        d.featureReportByteLength = 65;
        bus.AddDevice(std::make_shared<sim::SimDevice>(d));
    }
    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
};

std::string ScratchPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            (name + "-" + std::to_string(std::random_device{}())))
        .string();
}

struct Refusal {
    const char* name;
    const char* capture;  // "image": the image itself, "./image": another spelling of it
    bool imageAsRecording = false;
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.name;
}

class RefusedCapture : public ::testing::TestWithParam<Refusal> {};

// Refused before any device call, and the file named keeps every byte.
TEST_P(RefusedCapture, EndsTheRunBeforeAnyDeviceCallWithTheFileIntact) {
    const std::string image = ScratchPath("image");
    std::ofstream(image, std::ios::binary) << "the image's bytes";
    const std::string named = GetParam().capture;
    cmdline::Options options;
    options.capturePath = named == "image"     ? image
                          : named == "./image" ? (std::filesystem::path(image).parent_path() / "." /
                                                  std::filesystem::path(image).filename())
                                                     .string()
                                               : named;
    (GetParam().imageAsRecording ? options.recordPath : options.imagePath) = image;
    Bus b;
    hidlink::ProgramCapture capture(b.bus);
    EXPECT_EQ(capture.Start(kAmpflash, options), cmdline::kWrongUsage);
    EXPECT_TRUE(b.bus.Calls().empty());
    EXPECT_EQ(FileText(image), "the image's bytes");
    std::filesystem::remove(image);
}

INSTANTIATE_TEST_SUITE_P(Captures, RefusedCapture,
                         ::testing::Values(Refusal{"NoSuchFolder", "/no-such-folder/run.jsonl"},
                                           Refusal{"TheImage", "image"},
                                           Refusal{"TheImageSpelledOtherwise", "./image"},
                                           Refusal{"TheRecording", "image", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProgramCapture, WritesEachCallAsItReturnsWithTheSerialHiddenWhereverItShows) {
    Bus b;
    const std::string path = ScratchPath("capture-option");
    {
        hidlink::ProgramCapture capture(b.bus);
        cmdline::Options options;
        options.capturePath = path;
        options.captureAnonymous = true;
        ASSERT_EQ(capture.Start(kAmpflash, options), std::nullopt);
        hidlink::ApiDeclarations& api = capture.Api();

        const hidlink::Handle handle = api.CreateFileA(
            kPath, hidlink::kGenericRead | hidlink::kGenericWrite,
            hidlink::kFileShareRead | hidlink::kFileShareWrite, nullptr, hidlink::kOpenExisting, 0);
        char16_t serial[40] = {};
        ASSERT_NE(api.HidD_GetSerialNumberString(handle, serial, sizeof serial), 0);
        EXPECT_EQ(std::u16string(serial), u"DV2A-99887");  // the program sees the real serial
        api.DevicePort(kPath);
        api.CloseHandle(handle);
    }  // the file is closed: Windows removes no open file
    const std::string text = FileText(path);
    std::filesystem::remove(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
    // Not even before the serial was read: the path's instance is hidden from the first line.
    EXPECT_EQ(text.find("99887"), std::string::npos) << text;
    EXPECT_NE(text.find("\"text\":\"serial-1\""), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '#'), 2 * 3) << text;
    EXPECT_EQ(Occurrences(text, "#instance-1#"), 2) << text;
}

#ifndef _WIN32
// open() gives its mode only to a file it creates: a capture over a file others may read must
// still end up the user's alone, for it holds serials and paths.
TEST(ProgramCapture, OverAFileOthersMayReadLeavesItTheUsersAlone) {
    namespace fs = std::filesystem;
    const std::string path = ScratchPath("capture-readable");
    std::ofstream(path) << "an older file";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::others_read);
    Bus b;
    {
        hidlink::ProgramCapture capture(b.bus);
        cmdline::Options options;
        options.capturePath = path;
        ASSERT_EQ(capture.Start(kAmpflash, options), std::nullopt);
    }
    const fs::perms perms = fs::status(path).permissions();
    fs::remove(path);
    EXPECT_EQ(perms & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);
}
#endif

}  // namespace
}  // namespace capture_test
