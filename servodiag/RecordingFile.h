// A file written by --record, read back for --replay: each row's time and what the device said
// then (or that it did not answer). Rows that are not such rows are named by line and reason, and
// the good rows around them kept. A file is anyone's: only values a device can report are taken,
// and what it costs to hold is bounded by its size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "servodiag/StatusValues.h"

namespace servodiag {

struct RecordedRow {
    std::int64_t utcMilliseconds = 0;    // since 1970, as the row's time says
    std::optional<StatusValues> values;  // none: the device did not answer
};

struct RecordingProblem {
    std::size_t line = 0;  // from 1
    std::string reason;
};

struct Recording {
    std::vector<RecordedRow> rows;
    // The first kProblemsKept problems; problemCount counts them all.
    std::vector<RecordingProblem> problems;
    std::size_t problemCount = 0;
};

// Two days at five rows a second: a day's recording loads whole.
inline constexpr std::size_t kMostRows = std::size_t{2} * 24 * 60 * 60 * 5;
inline constexpr std::size_t kProblemsKept = 100;

// A text that does not start with the recorder's header is not a recording: one problem on
// line 1, and no rows. Past kMostRows rows, the rest is left unread, said as a problem.
Recording ParseRecording(std::string_view text);

}  // namespace servodiag
