#include "servodiag/RecordingFile.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "servodiag/StatusRecorder.h"

namespace servodiag {

namespace {

// What a status report can carry: a signed 32-bit position, 40000 counts a turn; a bus voltage
// in hundredths of a volt in 16 bits; error counts in a byte.
constexpr std::int64_t kMostCounts = 0x7FFFFFFF;
constexpr double kMostDegrees = (double(kMostCounts) + 1) / 40000 * 360;
constexpr double kMostVolts = 655.35;
constexpr int kMostErrors = 255;

// A field of the file quoted in a problem: short, and with no byte that a terminal or a window
// would take for something else.
std::string Quoted(std::string_view field) {
    constexpr std::size_t kLongest = 40;
    std::string text = "\"";
    for (const char c : field.substr(0, kLongest)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '"' || c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", unsigned(byte));
            text += escaped;
        } else {
            text += c;
        }
    }
    return text + (field.size() > kLongest ? "\"..." : "\"");
}

enum Column { kTime, kDevice, kCounts, kDegrees, kVolts, kEstop, kUsb, kSpi, kColumns = 12 };

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t comma; (comma = line.find(',', start)) != std::string_view::npos;
         start = comma + 1)
        fields.push_back(line.substr(start, comma - start));
    fields.push_back(line.substr(start));
    return fields;
}

template <typename Number>
bool Parse(std::string_view text, Number& out) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, out);
    return error == std::errc() && stop == end && !text.empty();
}

// "2026-12-07T15:04:05.123Z", as the recorder writes it.
std::optional<std::int64_t> UtcMilliseconds(std::string_view text) {
    int y = 0;
    unsigned mo = 0;
    unsigned d = 0;
    unsigned h = 0;
    unsigned mi = 0;
    unsigned s = 0;
    unsigned ms = 0;
    if (text.size() != 24 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || text[19] != '.' || text[23] != 'Z' ||
        !Parse(text.substr(0, 4), y) || !Parse(text.substr(5, 2), mo) ||
        !Parse(text.substr(8, 2), d) || !Parse(text.substr(11, 2), h) ||
        !Parse(text.substr(14, 2), mi) || !Parse(text.substr(17, 2), s) ||
        !Parse(text.substr(20, 3), ms))
        return std::nullopt;
    using namespace std::chrono;
    const year_month_day date{year(y), month(mo), day(d)};
    // Years the recorder can write, and the system clock can hold.
    if (!date.ok() || y < 1970 || y > 2200 || h > 23 || mi > 59 || s > 59)
        return std::nullopt;
    const sys_days days{date};
    return (days.time_since_epoch() + hours(h) + minutes(mi) + seconds(s) + milliseconds(ms)) /
           milliseconds(1);
}

std::optional<Estop> EstopNamed(std::string_view name) {
    if (name == "ok")
        return Estop::Ok;
    if (name == "stop")
        return Estop::Stop;
    if (name == "bypassed")
        return Estop::Bypassed;
    return std::nullopt;
}

// The row's values, or what is wrong with it.
std::string ReadValues(const std::vector<std::string_view>& f, StatusValues& values) {
    if (!Parse(f[kUsb], values.usbErrors) || !Parse(f[kSpi], values.spiErrors))
        return "the error counts are not whole numbers";
    if (values.usbErrors < 0 || values.usbErrors > kMostErrors || values.spiErrors < 0 ||
        values.spiErrors > kMostErrors)
        return "an error count is out of range (0 to " + std::to_string(kMostErrors) + ")";
    const std::optional<Estop> estop = EstopNamed(f[kEstop]);
    if (!estop)
        return "E-STOP is " + Quoted(f[kEstop]) + ", not ok, stop or bypassed";
    values.estop = *estop;
    if (!f[kDegrees].empty()) {
        AmplifierDetails amplifier;
        // from_chars takes "inf" and "nan" as numbers.
        if (!Parse(f[kDegrees], amplifier.degrees) ||
            !Parse(f[kCounts], amplifier.positionCounts) || !std::isfinite(amplifier.degrees))
            return "the position is not a number";
        if (std::abs(amplifier.degrees) > kMostDegrees || amplifier.positionCounts > kMostCounts ||
            amplifier.positionCounts < -kMostCounts - 1)
            return "the position is out of range";
        values.amplifier = amplifier;
    }
    if (!f[kVolts].empty()) {
        double volts = 0;
        if (!Parse(f[kVolts], volts) || !std::isfinite(volts))
            return "the bus voltage is not a number";
        if (volts < 0 || volts > kMostVolts)
            return "the bus voltage is out of range (0 to 655.35 V)";
        values.busVolts = volts;
    }
    return {};
}

std::string ReadRow(std::string_view line, std::int64_t previousMs, RecordedRow& row) {
    const std::vector<std::string_view> f = Fields(line);
    if (f.size() != kColumns)
        return std::to_string(f.size()) + " fields, not " + std::to_string(kColumns);
    const std::optional<std::int64_t> ms = UtcMilliseconds(f[kTime]);
    if (!ms)
        return "the time " + Quoted(f[kTime]) + " is not a UTC time";
    if (*ms < previousMs)
        return "the time goes back";
    row.utcMilliseconds = *ms;
    if (f[kDevice] == "not responding")
        return {};
    if (f[kDevice] != "ok")
        return "the device is " + Quoted(f[kDevice]) + ", not ok or not responding";
    row.values.emplace();
    return ReadValues(f, *row.values);
}

}  // namespace

namespace {

void Add(Recording& recording, RecordingProblem problem) {
    if (recording.problems.size() < kProblemsKept)
        recording.problems.push_back(std::move(problem));
    ++recording.problemCount;
}

}  // namespace

Recording ParseRecording(std::string_view text) {
    Recording recording;
    // Room for every row at once: a growing vector would hold up to twice what it needs.
    recording.rows.reserve(
        std::min<std::size_t>(std::count(text.begin(), text.end(), '\n') + 1, kMostRows));
    std::size_t lineNumber = 0;
    std::int64_t previousMs = INT64_MIN;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);  // a file that went through an editor on Windows
        ++lineNumber;
        if (lineNumber == 1) {
            if (line != StatusCsvHeader()) {
                Add(recording, {1,
                                "not a servodiag recording: its first line is not the "
                                "recorder's header"});
                return recording;
            }
            continue;
        }
        if (line.empty())
            continue;
        if (recording.rows.size() == kMostRows) {
            Add(recording, {lineNumber, "more than " + std::to_string(kMostRows) +
                                            " rows (two days): the rest is not shown"});
            break;
        }
        RecordedRow row;
        std::string problem = ReadRow(line, previousMs, row);
        if (!problem.empty()) {
            Add(recording, {lineNumber, std::move(problem)});
            continue;
        }
        previousMs = row.utcMilliseconds;
        recording.rows.push_back(row);
    }
    if (lineNumber == 0)
        Add(recording, {1, "the file is empty"});
    return recording;
}

}  // namespace servodiag
