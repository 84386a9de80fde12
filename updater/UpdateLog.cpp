#include "updater/UpdateLog.h"

#include <cstdio>

#include "common/FileAccess.h"
#include "common/PathText.h"
#include "common/SystemText.h"
#include "common/UtcTime.h"

namespace updater {

namespace {

// Length of the well-formed UTF-8 sequence at text[i], or 0 when it is not one.
std::size_t Utf8SequenceLength(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    // The range of the second byte.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;  // no overlong forms
        if (lead == 0xED)
            high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

std::string Identity(const std::optional<LoggedIdentity>& identity) {
    if (!identity)
        return "null";
    return "{\"product\":" + JsonString(identity->product) +
           ",\"serial\":" + JsonString(identity->serial) +
           ",\"version\":" + JsonString(identity->version) +
           ",\"usb_id\":" + JsonString(identity->usbIds) +
           ",\"port\":" + JsonString(identity->port) + "}";
}

std::string Hex32(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(value));
    return text;
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = Utf8SequenceLength(text, i);
            out += length == 0 ? "\\ufffd" : text.substr(i, length);
            i += length == 0 ? 1 : length;
            continue;
        }
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char escaped[7];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += static_cast<char>(c);
                }
        }
        ++i;
    }
    return out + "\"";
}

std::string UpdateLogLine(const UpdateRecord& r) {
    std::string line = "{\"start\":" + JsonString(common::UtcSeconds(r.start));
    line += ",\"end\":" + JsonString(common::UtcSeconds(r.end));
    line += ",\"program\":" + JsonString(r.program);
    line += ",\"device_before\":" + Identity(r.before);
    line += ",\"device_after\":" + Identity(r.after);
    line += ",\"image\":{\"path\":" + JsonString(r.imagePath);
    line += ",\"size\":" + std::to_string(r.imageSize);
    line += ",\"records\":" + std::to_string(r.imageRecords);
    line += ",\"crc32\":" + JsonString(Hex32(r.imageCrc32)) + "}";
    line += ",\"outcome\":" + JsonString(r.outcome);
    line += ",\"failure\":" + (r.failure.empty() ? std::string("null") : JsonString(r.failure));
    if (!r.sleepLock.empty())
        line += ",\"sleep_lock\":" + JsonString(r.sleepLock);
    return line + "}";
}

std::string UpdateLogPath(PathStyle style, const EnvironmentLookup& environment,
                          LoggedDevices devices) {
    const std::string name =
        devices == LoggedDevices::Simulated ? "simulated-updates.log" : "updates.log";
    const auto folder = [&](const char* name) -> std::string {
        const std::optional<std::string> value = environment(name);
        return value ? *value : std::string();
    };
    if (style == PathStyle::Windows) {
        const std::string localAppData = folder("LOCALAPPDATA");
        return localAppData.empty() ? "" : localAppData + "\\Drivanta\\" + name;
    }
    // Relative values of the XDG variables are to be ignored.
    const std::string state = folder("XDG_STATE_HOME");
    if (!state.empty() && state[0] == '/')
        return state + "/drivanta/" + name;
    const std::string home = folder("HOME");
    return home.empty() ? "" : home + "/.local/state/drivanta/" + name;
}

std::string UpdateLogPath(LoggedDevices devices) {
#ifdef _WIN32
    const PathStyle style = PathStyle::Windows;
#else
    const PathStyle style = PathStyle::Xdg;
#endif
    return UpdateLogPath(style, common::EnvironmentText, devices);
}

bool AppendToUpdateLog(const std::string& path, const std::string& line, std::string* problem) {
    const auto fail = [&](const std::string& what) {
        if (problem != nullptr)
            *problem = common::ShownPath(path) + ": " + what;
        return false;
    };
    if (path.empty())
        return fail("no folder for the update log (HOME or LOCALAPPDATA is not set)");
    common::CreateFoldersFor(path);
    std::optional<common::File> file = common::File::OpenForAppending(path);
    if (!file)
        return fail(common::LastErrorText());
    // "\n" alone on Windows too, as JSON Lines readers expect.
    const std::string whole = (file->EndsInsideALine() ? "\n" : "") + line + "\n";
    const long long written = file->WriteOnce(whole);
    if (written < 0)
        return fail(common::LastErrorText());
    if (static_cast<std::size_t>(written) != whole.size()) {
        // Ended where it could be, so that the next line does not continue this half.
        static_cast<void>(file->WriteOnce("\n"));
        return fail("only " + std::to_string(written) + " of " + std::to_string(whole.size()) +
                    " bytes written");
    }
    return true;
}

}  // namespace updater
