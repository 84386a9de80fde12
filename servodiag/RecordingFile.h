// A file written by --record, read back for --replay: each row's time and what the device said
// then (or that it did not answer). Rows that are not such rows are named by line and reason, and
// the good rows around them kept.
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
    std::string time;                    // as written
    std::optional<StatusValues> values;  // none: the device did not answer
};

struct RecordingProblem {
    std::size_t line = 0;  // from 1
    std::string reason;
};

struct Recording {
    std::vector<RecordedRow> rows;
    std::vector<RecordingProblem> problems;
};

// A text that does not start with the recorder's header is not a recording: one problem on
// line 1, and no rows.
Recording ParseRecording(std::string_view text);

}  // namespace servodiag
