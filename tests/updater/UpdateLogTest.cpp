// The update log: valid JSON lines whatever the texts hold, the right file on each platform, and
// appending that never throws.
#include "updater/UpdateLog.h"

#include <gtest/gtest.h>

#include <csignal>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>

namespace updater {
namespace {

struct EscapeCase {
    const char* what;
    std::string text;
    std::string json;
};

std::ostream& operator<<(std::ostream& out, const EscapeCase& c) {
    return out << c.what;
}

class JsonStringTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(JsonStringTest, EscapesToValidJson) {
    EXPECT_EQ(JsonString(GetParam().text), GetParam().json);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, JsonStringTest,
    ::testing::Values(
        EscapeCase{"plain", "servoamp.bin", R"("servoamp.bin")"},
        EscapeCase{"quote and backslash", R"(C:\fw\"a".bin)", R"("C:\\fw\\\"a\".bin")"},
        EscapeCase{"line ends and tab", "a\r\nb\tc", R"("a\r\nb\tc")"},
        EscapeCase{"other control bytes", std::string("\x01\x1f\x7f", 3), "\"\\u0001\\u001f\x7f\""},
        EscapeCase{"a NUL inside", std::string("a\0b", 3), R"("a\u0000b")"},
        EscapeCase{"UTF-8 kept", "Gerät Ω €", "\"Gerät Ω €\""},
        EscapeCase{"four-byte UTF-8 kept", "\xF0\x9F\x94\xA7", "\"\xF0\x9F\x94\xA7\""},
        EscapeCase{"a Latin-1 byte", "Ger\xE4t", R"("Ger\ufffdt")"},
        EscapeCase{"overlong slash", "\xC0\xAF", R"("\ufffd\ufffd")"},
        EscapeCase{"a surrogate", "\xED\xA0\x80", R"("\ufffd\ufffd\ufffd")"},
        EscapeCase{"cut short at the end", "ab\xE2\x82", R"("ab\ufffd\ufffd")"},
        EscapeCase{"a stray continuation byte", "\x80x", R"("\ufffdx")"}));

TEST(UpdateLogLineTest, CarriesEveryField) {
    UpdateRecord r;
    r.start = std::chrono::sys_days{std::chrono::year{2026} / 12 / 7} + std::chrono::hours(15) +
              std::chrono::seconds(3);
    r.end = r.start + std::chrono::seconds(9) + std::chrono::milliseconds(700);
    r.program = "ampflash";
    r.before =
        LoggedIdentity{"Drivanta v2 Servo Amplifier", "DV2A-010342", "2.3", "1d47:2233", "1-2"};
    r.imagePath = "/srv/fw/amp.bin";
    r.imageSize = 12007;
    r.imageRecords = 300;
    r.imageCrc32 = 0x0a454143;
    r.outcome = "failed";
    r.failure = "Device did not come back";
    EXPECT_EQ(UpdateLogLine(r),
              R"({"start":"2026-12-07T15:00:03Z","end":"2026-12-07T15:00:12Z",)"
              R"("program":"ampflash",)"
              R"("device_before":{"product":"Drivanta v2 Servo Amplifier","serial":"DV2A-010342",)"
              R"("version":"2.3","usb_id":"1d47:2233","port":"1-2"},"device_after":null,)"
              R"("image":{"path":"/srv/fw/amp.bin","size":12007,"records":300,"crc32":"0a454143"},)"
              R"("outcome":"failed","failure":"Device did not come back"})");
}

struct PathCase {
    const char* what;
    PathStyle style;
    std::map<std::string, std::string> environment;
    std::string path;
    LoggedDevices devices = LoggedDevices::Real;
};

std::ostream& operator<<(std::ostream& out, const PathCase& c) {
    return out << c.what;
}

class UpdateLogPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(UpdateLogPathTest, FindsTheStateFolder) {
    const auto& env = GetParam().environment;
    EXPECT_EQ(UpdateLogPath(
                  GetParam().style,
                  [&](const char* name) -> std::optional<std::string> {
                      auto it = env.find(name);
                      if (it == env.end())
                          return std::nullopt;
                      return it->second;
                  },
                  GetParam().devices),
              GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, UpdateLogPathTest,
    ::testing::Values(
        PathCase{"XDG_STATE_HOME first",
                 PathStyle::Xdg,
                 {{"XDG_STATE_HOME", "/state"}, {"HOME", "/home/t"}},
                 "/state/drivanta/updates.log"},
        PathCase{"home by default",
                 PathStyle::Xdg,
                 {{"HOME", "/home/t"}},
                 "/home/t/.local/state/drivanta/updates.log"},
        PathCase{"a relative XDG_STATE_HOME is ignored",
                 PathStyle::Xdg,
                 {{"XDG_STATE_HOME", "state"}, {"HOME", "/home/t"}},
                 "/home/t/.local/state/drivanta/updates.log"},
        PathCase{"nowhere", PathStyle::Xdg, {}, ""},
        PathCase{"Windows",
                 PathStyle::Windows,
                 {{"LOCALAPPDATA", R"(C:\Users\t\AppData\Local)"}, {"HOME", "/home/t"}},
                 R"(C:\Users\t\AppData\Local\Drivanta\updates.log)"},
        PathCase{"Windows without LOCALAPPDATA", PathStyle::Windows, {{"HOME", "/h"}}, ""},
        PathCase{"simulated updates beside the real ones",
                 PathStyle::Xdg,
                 {{"XDG_STATE_HOME", "/state"}},
                 "/state/drivanta/simulated-updates.log",
                 LoggedDevices::Simulated},
        PathCase{"simulated updates beside the real ones on Windows",
                 PathStyle::Windows,
                 {{"LOCALAPPDATA", R"(C:\L)"}},
                 R"(C:\L\Drivanta\simulated-updates.log)",
                 LoggedDevices::Simulated}));

TEST(AppendToUpdateLogTest, AppendsLinesAndCreatesTheFolder) {
    const auto root = std::filesystem::temp_directory_path() / "drivanta-update-log-test";
    std::filesystem::remove_all(root);
    const std::string path = (root / "drivanta" / "updates.log").string();

    EXPECT_TRUE(AppendToUpdateLog(path, R"({"n":1})"));
    EXPECT_TRUE(AppendToUpdateLog(path, R"({"n":2})"));
    // Lines end in "\n" alone on every platform.
    std::ifstream in(path, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), {});
    in.close();
    EXPECT_EQ(content, "{\"n\":1}\n{\"n\":2}\n");

    // A folder where the file should be: the append fails quietly.
    std::filesystem::create_directories(root / "blocked" / "updates.log");
    EXPECT_FALSE(AppendToUpdateLog((root / "blocked" / "updates.log").string(), "{}"));
    EXPECT_FALSE(AppendToUpdateLog("", "{}"));
    std::filesystem::remove_all(root);
}

std::string Content(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// A line cut short before (a full disk, a crash) is ended, never continued.
TEST(AppendToUpdateLogTest, StartsAfterAHalfLineOnALineOfItsOwn) {
    const auto path = std::filesystem::temp_directory_path() / "drivanta-half-line.log";
    std::ofstream(path, std::ios::binary) << "{\"n\":1,\"cut";
    EXPECT_TRUE(AppendToUpdateLog(path.string(), R"({"n":2})"));
    EXPECT_EQ(Content(path.string()), "{\"n\":1,\"cut\n{\"n\":2}\n");
    std::filesystem::remove(path);
}

#ifndef _WIN32
// The file may grow by only a few bytes more, as on a disk that fills up: the long line is
// reported and cut, and the next one, once there is room, is whole on its own line.
TEST(AppendToUpdateLogTest, AShortWriteIsReportedAndNotContinued) {
    const auto path = std::filesystem::temp_directory_path() / "drivanta-short-write.log";
    std::filesystem::remove(path);
    ASSERT_TRUE(AppendToUpdateLog(path.string(), R"({"n":1})"));
    const std::string longLine = "{\"n\":2,\"pad\":\"" + std::string(20000, 'x') + "\"}";
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string problem;
        const bool appended = AppendToUpdateLog(path.string(), longLine, &problem);
        _exit(!appended && problem.find("of") != std::string::npos ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the short write not reported";

    ASSERT_TRUE(AppendToUpdateLog(path.string(), R"({"n":3})"));
    const std::string content = Content(path.string());
    EXPECT_EQ(content.rfind("{\"n\":1}\n{\"n\":2,", 0), 0u);
    const std::string last = "\n{\"n\":3}\n";
    EXPECT_EQ(content.substr(content.size() - last.size()), last);
    EXPECT_EQ(content.find(longLine), std::string::npos);
    std::filesystem::remove(path);
}
#endif

}  // namespace
}  // namespace updater
