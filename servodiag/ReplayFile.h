// Reading the file given to --replay: only a regular file is read (a folder, a FIFO or a device
// is refused by its type before any byte is read, so that /dev/zero cannot fill the memory and a
// FIFO cannot hold the program), and only up to the size a recording may have.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace servodiag {

// More than two days at five rows a second, of the longest rows the recorder writes.
inline constexpr std::int64_t kMostRecordingBytes = std::int64_t{128} << 20;

// The file's text, or nothing with *error set: "PATH: why".
std::optional<std::string> ReadRecordingFile(const std::string& path, std::string* error);

}  // namespace servodiag
