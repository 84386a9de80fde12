// The log of every update: one JSON object per line, appended to a file in the user's state
// folder, so that what was flashed onto which device, and how it ended, can be found afterwards.
// A log that cannot be written never stops an update: appending only reports whether it worked.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace updater {

// A device as it reported itself; "not read" for a string that could not be read from it.
struct LoggedIdentity {
    std::string product;
    std::string serial;
    std::string version;
    std::string usbIds;  // "1d47:2233": vendor and product ID in hex
    std::string port;    // its place on the bus; empty where the platform cannot tell
};

struct UpdateRecord {
    std::chrono::system_clock::time_point start;
    std::chrono::system_clock::time_point end;
    std::string program;
    std::optional<LoggedIdentity> before;  // absent when no device was found
    std::optional<LoggedIdentity> after;   // absent when the device did not come back
    std::string imagePath;
    std::int64_t imageSize = 0;
    std::int64_t imageRecords = 0;  // whole records, the ones sent
    std::uint32_t imageCrc32 = 0;   // of the whole records
    std::string outcome;            // "updated", "failed", "no device", "image rejected", ...
    std::string failure;            // the failure text, if any
    std::string sleepLock;          // "held", "not taken: why"; empty: none was asked for
};

// A JSON string literal (with its quotes). Bytes that are not UTF-8 become U+FFFD, so a line
// stays valid JSON whatever a path or a platform error text holds.
std::string JsonString(const std::string& text);

// One line of the log, without the line end.
std::string UpdateLogLine(const UpdateRecord& record);

enum class PathStyle { Xdg, Windows };
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

// Which devices were updated: the -sim programs keep a log of their own, beside the real one, so
// that no simulated update is ever taken for one of a real device.
enum class LoggedDevices { Real, Simulated };

// $XDG_STATE_HOME/drivanta/updates.log (~/.local/state/... when unset or not absolute), or
// %LOCALAPPDATA%\Drivanta\updates.log; simulated-updates.log in the same folder for the -sim
// programs. Empty when the environment names no such folder.
std::string UpdateLogPath(PathStyle style, const EnvironmentLookup& environment,
                          LoggedDevices devices = LoggedDevices::Real);
// The same, for this machine and this process's environment.
std::string UpdateLogPath(LoggedDevices devices = LoggedDevices::Real);

// Appends the line and its line end in one write on a file opened for appending, so that two
// programs appending at once never interleave, creating the folder when missing. A line left
// half written before (a full disk) is ended first, so that this one starts on its own line.
// False, with *problem set when given, when it could not be appended whole.
bool AppendToUpdateLog(const std::string& path, const std::string& line,
                       std::string* problem = nullptr);

}  // namespace updater
