// servodiag --record: every status tick as one CSV row, with the decoded values as numbers (never
// the window's localised texts) and whether the device answered, so gaps show.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

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
    ~StatusRecorder();
    StatusRecorder(const StatusRecorder&) = delete;
    StatusRecorder& operator=(const StatusRecorder&) = delete;

    // One tick: the report the device answered with (kStatusBufferSize bytes), or null. Each row
    // goes to the file at once, so an interrupted run leaves every row written so far.
    void Record(const std::uint8_t* report);
    // Whether a row could not be written.
    bool Failed() const { return failed_; }

  private:
    explicit StatusRecorder(std::FILE* file) : file_(file) {}
    void WriteLine(const std::string& line);

    std::FILE* file_;
    bool failed_ = false;
};

}  // namespace servodiag
