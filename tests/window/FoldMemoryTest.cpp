// Where the fold is remembered: never in a folder named relative to wherever the program started.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "window/chart/FoldMemory.h"

namespace {

#ifndef _WIN32
struct FoldFolder {
    const char* configHome;  // nullptr: not set
    const char* home;
    const char* expected;
};

TEST(FoldMemory, FileIsUnderAnAbsoluteConfigFolderOrTheHomeOne) {
    const FoldFolder cases[] = {
        {"/cfg", "/home/u", "/cfg/drivanta/servodiag-folded"},
        {nullptr, "/home/u", "/home/u/.config/drivanta/servodiag-folded"},
        {"", "/home/u", "/home/u/.config/drivanta/servodiag-folded"},
        {"relative/cfg", "/home/u", "/home/u/.config/drivanta/servodiag-folded"},
        {"relative/cfg", "", ""},
    };
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    for (const FoldFolder& c : cases) {
        if (c.configHome)
            setenv("XDG_CONFIG_HOME", c.configHome, 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        setenv("HOME", c.home, 1);
        EXPECT_EQ(ui::FoldMemoryPath("servodiag"), c.expected)
            << (c.configHome ? c.configHome : "(unset)") << ", HOME=" << c.home;
    }
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", home.c_str(), 1);
}
#endif

}  // namespace
