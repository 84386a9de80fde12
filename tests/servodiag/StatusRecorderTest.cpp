// servodiag --record: the CSV columns from known status reports, and the rows the status tick
// hands to the recorder, including the ticks where the device does not answer.
#include "servodiag/StatusRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <ostream>
#include <utility>
#include <vector>

#include "KnownReports.h"
#include "hidlink/sim/SimulatedBus.h"
#include "servodiag/Layout.h"
#include "servodiag/RecordingFile.h"
#include "servodiag/ReplayFile.h"
#include "servodiag/StatusReport.h"
#include "servodiag/frmMain.h"
#include "simdevices/WheelController.h"
#include "tests/servodiag/SimulatedDiagnosticsTest.h"
#include "window/headless/HeadlessWindow.h"

namespace servodiag {
namespace {

using testing::Bytes;
using testing::kEverything;
using testing::kWhen;
using testing::With;

struct RowCase {
    const char* what;
    std::optional<Bytes> report;  // empty: the device did not answer
    const char* row;
};

std::ostream& operator<<(std::ostream& out, const RowCase& c) {
    return out << c.what;
}

class StatusCsvTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(StatusCsvTest, WritesTheDecodedNumbers) {
    std::string row;
    if (GetParam().report) {
        const auto buffer = testing::StatusBuffer(*GetParam().report);
        const StatusValues values = DecodeStatusValues(buffer.data());
        row = StatusCsvRow(kWhen, &values);
    } else {
        row = StatusCsvRow(kWhen, nullptr);
    }
    EXPECT_EQ(row, GetParam().row);
    const std::string header = StatusCsvHeader();
    EXPECT_EQ(std::count(row.begin(), row.end(), ','),
              std::count(header.begin(), header.end(), ','));
}

INSTANTIATE_TEST_SUITE_P(
    Reports, StatusCsvTest,
    ::testing::Values(
        RowCase{"everything present", kEverything,
                "2026-12-07T15:04:05.123Z,ok,-40000,-360,48.47,ok,3,250,2.1A,1.3,20417,6010"},
        RowCase{"amplifier details absent", With(kEverything, {{46, 0x01}}),
                "2026-12-07T15:04:05.123Z,ok,,,48.47,ok,3,250,,,,"},
        RowCase{"bus off", With(kEverything, {{49, 0x01}}),
                "2026-12-07T15:04:05.123Z,ok,-40000,-360,,ok,3,250,2.1A,1.3,20417,6010"},
        RowCase{"E-STOP pressed", With(kEverything, {{45, 0xA0}}),
                "2026-12-07T15:04:05.123Z,ok,-40000,-360,48.47,stop,3,250,2.1A,1.3,20417,6010"},
        RowCase{"E-STOP bypassed", With(kEverything, {{45, 0x20}}),
                "2026-12-07T15:04:05.123Z,ok,-40000,-360,48.47,bypassed,3,250,2.1A,1.3,20417,"
                "6010"},
        RowCase{"quarter turn forwards", With(kEverything, {{5, 0x10}, {6, 0x27}, {7, 0}, {8, 0}}),
                "2026-12-07T15:04:05.123Z,ok,10000,90,48.47,ok,3,250,2.1A,1.3,20417,6010"},
        RowCase{"no answer", std::nullopt, "2026-12-07T15:04:05.123Z,not responding,,,,,,,,,,"}));

using StatusListenerTest = testing::SimulatedDiagnosticsTest;

// The tick hands every answer, and every failed exchange as null, to the listener.
TEST_F(StatusListenerTest, HearsEveryTickAnsweredOrNot) {
    std::vector<bool> answered;
    form.OnStatus([&](const std::uint8_t* report) {
        answered.push_back(report != nullptr);
        if (report != nullptr) {
            EXPECT_EQ(report[0], kStatusReportId);
        }
    });

    window.Load(form);
    window.Tick();
    bus.FailNext("HidD_GetFeature");
    window.Tick();
    window.Tick();
    EXPECT_EQ(answered, (std::vector<bool>{true, false, true}));
}

// A recording in a folder named in letters no ANSI code page holds together: written row by row,
// and read back whole for replay.
TEST(StatusRecorderTest, RecordsAndReplaysInAFolderNamedInAnyScript) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / u8"запись-记录-recorder";
    std::filesystem::create_directories(folder);
    const std::u8string name = (folder / u8"статус.csv").u8string();
    const std::string path(name.begin(), name.end());
    std::string error;
    {
        const std::unique_ptr<StatusRecorder> recorder = StatusRecorder::Create(path, &error);
        ASSERT_TRUE(recorder) << error;
        const auto buffer = testing::StatusBuffer(kEverything);
        EXPECT_TRUE(recorder->Record(buffer.data()));
        EXPECT_TRUE(recorder->Record(nullptr));
    }
    const std::optional<std::string> text = ReadRecordingFile(path, &error);
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(text) << error;
    const Recording recording = ParseRecording(*text);
    EXPECT_EQ(recording.rows.size(), 2u);
    EXPECT_EQ(recording.problemCount, 0u);
}

}  // namespace
}  // namespace servodiag
