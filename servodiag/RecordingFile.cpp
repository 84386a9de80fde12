#include "servodiag/RecordingFile.h"

#include <charconv>
#include <chrono>

#include "servodiag/StatusRecorder.h"

namespace servodiag {

namespace {

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
    if (!date.ok() || h > 23 || mi > 59 || s > 59)
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
    const std::optional<Estop> estop = EstopNamed(f[kEstop]);
    if (!estop)
        return std::string("E-STOP is \"").append(f[kEstop]).append("\", not ok, stop or bypassed");
    values.estop = *estop;
    if (!f[kDegrees].empty()) {
        AmplifierDetails amplifier;
        if (!Parse(f[kDegrees], amplifier.degrees) || !Parse(f[kCounts], amplifier.positionCounts))
            return "the position is not a number";
        values.amplifier = amplifier;
    }
    if (!f[kVolts].empty()) {
        double volts = 0;
        if (!Parse(f[kVolts], volts))
            return "the bus voltage is not a number";
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
        return std::string("the time \"").append(f[kTime]).append("\" is not a UTC time");
    if (*ms < previousMs)
        return "the time goes back";
    row.utcMilliseconds = *ms;
    row.time = f[kTime];
    if (f[kDevice] == "not responding")
        return {};
    if (f[kDevice] != "ok")
        return std::string("the device is \"")
            .append(f[kDevice])
            .append("\", not ok or not responding");
    row.values.emplace();
    return ReadValues(f, *row.values);
}

}  // namespace

Recording ParseRecording(std::string_view text) {
    Recording recording;
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
                recording.problems.push_back({1,
                                              "not a servodiag recording: its first line is "
                                              "not the recorder's header"});
                return recording;
            }
            continue;
        }
        if (line.empty())
            continue;
        RecordedRow row;
        std::string problem = ReadRow(line, previousMs, row);
        if (!problem.empty()) {
            recording.problems.push_back({lineNumber, std::move(problem)});
            continue;
        }
        previousMs = row.utcMilliseconds;
        recording.rows.push_back(std::move(row));
    }
    if (lineNumber == 0)
        recording.problems.push_back({1, "the file is empty"});
    return recording;
}

}  // namespace servodiag
