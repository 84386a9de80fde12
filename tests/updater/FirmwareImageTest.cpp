// The image pieces both updaters share: counting, splitting, progress, paths, checks, reading.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "common/PathText.h"
#include "hidlink/sim/SimulatedBus.h"
#include "updater/FirmwareImage.h"
#include "updater/UpdaterForm.h"

namespace {

struct CountCase {
    std::int64_t size;
    int count;
};

void PrintTo(const CountCase& c, std::ostream* os) {
    *os << c.size << " bytes";
}

class RecordCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(RecordCount, IsWholeRecordsPlusOne) {
    EXPECT_EQ(updater::RecordCountFor(GetParam().size), GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(Sizes, RecordCount,
                         ::testing::Values(CountCase{0, 1}, CountCase{39, 1}, CountCase{40, 2},
                                           CountCase{120, 4}, CountCase{121, 4},
                                           CountCase{1310640, 32767}));

TEST(SplitRecords, DropsTheTailAndKeepsTheOrder) {
    std::vector<std::uint8_t> image(2 * 40 + 39);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i);
    const auto records = updater::SplitRecords(image);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0][0], 0);
    EXPECT_EQ(records[0][39], 39);
    EXPECT_EQ(records[1][0], 40);
    EXPECT_EQ(records[1][39], 79);
}

TEST(ProgressWidth, NeverReachesTheFullWidth) {
    EXPECT_DOUBLE_EQ(updater::ProgressWidth(1, 5055, 2), 2527.5);
    EXPECT_DOUBLE_EQ(updater::ProgressWidth(32766, 5055, 32767), 5055.0 * 32766 / 32767);
    EXPECT_LT(updater::ProgressWidth(32766, 5055, 32767), 5055);
}

TEST(RoundHalfEven, RoundsHalvesToEven) {
    EXPECT_EQ(updater::RoundHalfEven(2.5), 2);
    EXPECT_EQ(updater::RoundHalfEven(3.5), 4);
    EXPECT_EQ(updater::RoundHalfEven(5054.6), 5055);
    EXPECT_EQ(updater::RoundHalfEven(-0.5), 0);
}

// A scratch program directory on a simulated bus.
class ImageFiles : public ::testing::Test {
  protected:
    ImageFiles() {
        static std::atomic<int> serial{0};
        directory_ = std::filesystem::temp_directory_path() /
                     (std::string("updater-test-") +
                      std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
                      "-" + std::to_string(serial++));
        std::filesystem::create_directories(directory_);
        bus_.SetProgramDirectory(directory_.string());
    }
    ~ImageFiles() override {
        EXPECT_THAT(bus_.HandleProblems(), ::testing::IsEmpty());
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }
    std::string Write(std::size_t size) {
        const std::string path = updater::ImagePath(bus_, "image.bin");
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        for (std::size_t i = 0; i < size; ++i)
            out.put(static_cast<char>(i % 251));
        return path;
    }

    sim::VirtualClock clock_;
    sim::SimulatedBus bus_{clock_};
    std::filesystem::path directory_;
};

TEST_F(ImageFiles, PathIsTheDirectoryAndNameAsGiven) {
    EXPECT_EQ(updater::ImagePath(bus_, "a.bin"), directory_.string() + "/a.bin");
    // A root directory that already ends with a separator gets a second one, used unchanged.
    bus_.SetProgramDirectory("/");
    EXPECT_EQ(updater::ImagePath(bus_, "a.bin"), "//a.bin");
}

struct CheckCase {
    const char* name;
    long long size;  // -1: no file
    int reportLength;
    bool ok;
    const char* problem;
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.name;
}

class CheckImage : public ImageFiles, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CheckImage, AcceptsOnlyWhatCanBeSentWhole) {
    const CheckCase& c = GetParam();
    const std::string path = updater::ImagePath(bus_, "image.bin");
    if (c.size >= 0)
        Write(static_cast<std::size_t>(c.size));
    const updater::ImageCheck check = updater::CheckImage(bus_, path, c.reportLength, 41, 101);
    EXPECT_EQ(check.ok, c.ok);
    // A missing file is named by where it was looked for, with the platform's one separator.
    EXPECT_EQ(check.problem, c.problem + std::string(c.size < 0 ? common::ShownPath(path) : ""));
    EXPECT_EQ(std::filesystem::exists(path), c.size >= 0);  // never creates the file
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, CheckImage,
    ::testing::Values(
        CheckCase{"OneRecord", 40, 65, true, ""},
        CheckCase{"MostRecords", 1310640 + 39, 65, true, ""},
        CheckCase{"OneRecordTooMany", 1310680, 65, false, "Image file is too large"},
        CheckCase{"Short", 39, 65, false, "Image file is too short"},
        CheckCase{"Empty", 0, 65, false, "Image file is empty"},
        CheckCase{"Missing", -1, 65, false, "Image file not found: "},
        CheckCase{"ShortestReport", 40, 41, true, ""},
        CheckCase{"LongestReport", 40, 101, true, ""},
        CheckCase{"ReportWithoutRoom", 40, 40, false, "Device report length not supported"},
        CheckCase{"ReportPastTheBuffer", 40, 102, false, "Device report length not supported"},
        CheckCase{"NegativeReport", 40, -32768, false, "Device report length not supported"}),
    [](const auto& info) { return std::string(info.param.name); });

// What lies where the image should be, and the caption the check gives instead of an image. A
// FIFO must not hold the check in open() waiting for a writer.
struct NotAnImageCase {
    const char* name;
    void (*make)(const std::filesystem::path& image, sim::SimulatedBus& bus);
    const char* problem;
};

void PrintTo(const NotAnImageCase& c, std::ostream* os) {
    *os << c.name;
}

class NotAnImage : public ImageFiles, public ::testing::WithParamInterface<NotAnImageCase> {};

TEST_P(NotAnImage, IsRefusedWithACaption) {
    const std::filesystem::path image = directory_ / "image.bin";
    GetParam().make(image, bus_);
    const updater::ImageCheck check =
        updater::CheckImage(bus_, updater::ImagePath(bus_, "image.bin"), 65, 41, 101);
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.problem, GetParam().problem);
    EXPECT_TRUE(check.records.empty());
}

const NotAnImageCase kNotAnImageCases[] = {
#ifndef _WIN32  // no FIFOs there
    NotAnImageCase{"Fifo",
                   [](const std::filesystem::path& image, sim::SimulatedBus&) {
                       ASSERT_EQ(::mkfifo(image.c_str(), 0600), 0);
                   },
                   "Cannot read image file: not a regular file"},
#endif
    NotAnImageCase{"Directory",
                   [](const std::filesystem::path& image, sim::SimulatedBus&) {
                       std::filesystem::create_directory(image);
                   },
#ifdef _WIN32
                   // The C runtime refuses to open a directory rather than naming it.
                   "Cannot read image file: Permission denied"},
#else
                   "Cannot read image file: Is a directory"},
#endif
    // With no program directory the working directory is not searched instead.
    NotAnImageCase{"NoProgramDirectory",
                   [](const std::filesystem::path& image, sim::SimulatedBus& bus) {
                       std::ofstream(image) << std::string(400, 'x');
                       bus.SetProgramDirectory("");
                   },
                   "Image file not found"}};

INSTANTIATE_TEST_SUITE_P(Kinds, NotAnImage, ::testing::ValuesIn(kNotAnImageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImageFiles, CheckHoldsTheWholeRecordsInOrder) {
    const std::string path = Write(2 * 40 + 7);
    const updater::ImageCheck check = updater::CheckImage(bus_, path, 65, 41, 101);
    ASSERT_TRUE(check.ok);
    ASSERT_EQ(check.records.size(), 2u);
    EXPECT_EQ(check.records[0][0], 0);
    EXPECT_EQ(check.records[1][0], 40);
    EXPECT_EQ(check.records[1][39], 79);
    // Read once, whole: a single open.
    EXPECT_EQ(bus_.CallsNamed("OpenImageFile").size(), 1u);
}

TEST_F(ImageFiles, CheckNamesAReadError) {
    const std::string path = Write(3 * 40);
    bus_.FailImageReadAt(1, "Input/output error");
    const updater::ImageCheck check = updater::CheckImage(bus_, path, 65, 41, 101);
    EXPECT_FALSE(check.ok);
    EXPECT_EQ(check.problem, "Cannot read image file: Input/output error");
}

}  // namespace
