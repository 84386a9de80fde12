// servodiag --record: every status tick as one CSV row, with the decoded values as numbers (never
// the window's localised texts) and whether the device answered, so gaps show.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "common/FileAccess.h"
#include "servodiag/StatusValues.h"

namespace servodiag {

// The header row, without the line end.
std::string StatusCsvHeader();
// One row, without the line end. `values` is null when the device did not answer.
std::string StatusCsvRow(std::chrono::system_clock::time_point when, const StatusValues* values);

class StatusRecorder {
  public:
    // Creates (or empties) the file and writes the header. Null with *error set when it cannot.
    static std::unique_ptr<StatusRecorder> Create(const std::string& path, std::string* error);
    StatusRecorder(const StatusRecorder&) = delete;
    StatusRecorder& operator=(const StatusRecorder&) = delete;

    // One tick: the report the device answered with (kStatusBufferSize bytes), or null. Each row
    // goes to the file in one write of its own, unbuffered, so an interrupted run leaves every
    // row read so far. False when this row, or one before, could not be written whole, or the
    // file was deleted meanwhile (its rows would be lost with it): nothing more is recorded.
    bool Record(const std::uint8_t* report);
    bool Failed() const { return !problem_.empty(); }
    // What went wrong, with the file's name; empty while nothing did.
    const std::string& Problem() const { return problem_; }

  private:
    StatusRecorder(common::File file, std::string path)
        : file_(std::move(file)), path_(std::move(path)) {}
    void WriteLine(const std::string& line);

    common::File file_;
    std::string path_;  // as shown
    std::string problem_;
};

}  // namespace servodiag
