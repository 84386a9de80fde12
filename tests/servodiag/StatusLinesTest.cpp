// servodiag without a window: from known status reports, the block a terminal redraws and the
// line printed per reading into a pipe, and both while the device is silent.
#include "servodiag/StatusLines.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "KnownReports.h"

namespace servodiag {
namespace {

using testing::Bytes;
using testing::kEverything;
using testing::kWhen;
using testing::With;


// The block's values in its order, "~" before a dimmed one, its colour after it.
std::string Shown(const std::vector<ui::LiveField>& block) {
    std::string shown;
    for (const ui::LiveField& field : block) {
        shown += (shown.empty() ? "" : " | ") + std::string(field.stale ? "~" : "") + field.value;
        if (field.colour)
            shown += *field.colour == ui::kRed     ? " red"
                     : *field.colour == ui::kGreen ? " green"
                                                   : " ?";
    }
    return shown;
}

struct ReadingCase {
    const char* what;
    std::optional<Bytes> lastAnswer;  // empty: nothing answered yet
    std::optional<std::int64_t> silentForMs;
    const char* line;
    const char* block;
};

std::ostream& operator<<(std::ostream& out, const ReadingCase& c) {
    return out << c.what;
}

class StatusLinesTest : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(StatusLinesTest, ShowsTheReading) {
    const ReadingCase& c = GetParam();
    std::optional<std::array<std::uint8_t, kStatusBufferSize>> report;
    if (c.lastAnswer)
        report = testing::StatusBuffer(*c.lastAnswer);
    const std::uint8_t* last = report ? report->data() : nullptr;
    EXPECT_EQ(StatusLine(kWhen, c.silentForMs ? nullptr : last), c.line);
    EXPECT_EQ(Shown(StatusBlock(last, c.silentForMs)), c.block);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, StatusLinesTest,
    ::testing::Values(
        ReadingCase{"everything present", kEverything, std::nullopt,
                    "2026-12-07T15:04:05.123Z ok position_counts=-40000 degrees=-360 "
                    "bus_volts=48.47 estop=ok usb_errors=3 spi_errors=250 amp_fw=2.1A amp_bl=1.3 "
                    "amp_serial=20417 motor_model=6010",
                    "ok | 3 | 250 | 2.1A | 1.3 | 20417 | 48.47 V | -40000 counts | 6010 | OK green "
                    "| -360 degrees"},
        ReadingCase{"amplifier details absent", With(kEverything, {{46, 0x01}}), std::nullopt,
                    "2026-12-07T15:04:05.123Z ok position_counts=- degrees=- bus_volts=48.47 "
                    "estop=ok usb_errors=3 spi_errors=250 amp_fw=- amp_bl=- amp_serial=- "
                    "motor_model=-",
                    "ok | 3 | 250 |  |  |  | 48.47 V |  |  | OK green | "},
        ReadingCase{"bus off", With(kEverything, {{49, 0x01}}), std::nullopt,
                    "2026-12-07T15:04:05.123Z ok position_counts=-40000 degrees=-360 bus_volts=- "
                    "estop=ok usb_errors=3 spi_errors=250 amp_fw=2.1A amp_bl=1.3 amp_serial=20417 "
                    "motor_model=6010",
                    "ok | 3 | 250 | 2.1A | 1.3 | 20417 | OFF red | -40000 counts | 6010 | OK green "
                    "| -360 degrees"},
        ReadingCase{"E-STOP pressed", With(kEverything, {{45, 0xA0}}), std::nullopt,
                    "2026-12-07T15:04:05.123Z ok position_counts=-40000 degrees=-360 "
                    "bus_volts=48.47 estop=stop usb_errors=3 spi_errors=250 amp_fw=2.1A amp_bl=1.3 "
                    "amp_serial=20417 motor_model=6010",
                    "ok | 3 | 250 | 2.1A | 1.3 | 20417 | 48.47 V | -40000 counts | 6010 | STOP red "
                    "| -360 degrees"},
        ReadingCase{"E-STOP bypassed: no colour claims a state", With(kEverything, {{45, 0x20}}),
                    std::nullopt,
                    "2026-12-07T15:04:05.123Z ok position_counts=-40000 degrees=-360 "
                    "bus_volts=48.47 estop=bypassed usb_errors=3 spi_errors=250 amp_fw=2.1A "
                    "amp_bl=1.3 amp_serial=20417 motor_model=6010",
                    "ok | 3 | 250 | 2.1A | 1.3 | 20417 | 48.47 V | -40000 counts | 6010 | bypassed "
                    "| -360 degrees"},
        ReadingCase{"silent since a reading", kEverything, 2340,
                    "2026-12-07T15:04:05.123Z not responding",
                    "not responding, last good reading 2.3 s ago red | ~3 | ~250 | ~2.1A | ~1.3 | "
                    "~20417 | ~48.47 V | ~-40000 counts | ~6010 | ~OK green | ~-360 degrees"},
        ReadingCase{"silent from the start", std::nullopt, 600,
                    "2026-12-07T15:04:05.123Z not responding",
                    "no answer yet red | ~ | ~ | ~ | ~ | ~ | ~ | ~ | ~ | ~ | ~"}));

}  // namespace
}  // namespace servodiag
