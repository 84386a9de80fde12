// Devices on the terminal: strings a device reports cannot drive the terminal, and a selector
// that takes nothing says what it was and what is there.
#include "hidlink/DeviceLines.h"

#include <gtest/gtest.h>

#include "common/EscapedText.h"

namespace hidlink {
namespace {

TEST(EscapedForTerminal, ControlCharactersCannotReachTheTerminal) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Drivanta v2 Wheel", "Drivanta v2 Wheel"},
        {"W\xc3\xa4rme", "W\xc3\xa4rme"},  // other text stays as it is
        {"red \x1b[31mwheel", "red \\x1b[31mwheel"},
        {"a\tb\nc\rd", "a\\tb\\nc\\rd"},
        {"\\\\?\\hid#vid_1d47", "\\\\?\\hid#vid_1d47"},
        {"del\x7f bell\x07", "del\\x7f bell\\x07"},
        {"csi \xc2\x9b"
         "31m",
         "csi \\xc2\\x9b31m"},
    };
    for (const auto& [raw, shown] : cases)
        EXPECT_EQ(common::EscapedForTerminal(raw), shown) << raw;
}

DeviceListing Device(std::string path, std::string product, std::string serial, std::string port) {
    DeviceListing device;
    device.path = std::move(path);
    device.attributes.VendorID = 0x1d47;
    device.attributes.ProductID = 0x2233;
    device.product = std::move(product);
    device.serial = std::move(serial);
    device.port = std::move(port);
    return device;
}

TEST(DeviceLines, ListAndChooserLinesKeepOneDeviceToOneLine) {
    const DeviceListing tricky = Device("/dev/hidraw3", "Amp\t\x1b[2J\nfake line", "S\n1", "1-2");
    EXPECT_EQ(TerminalListLine(tricky), "/dev/hidraw3\tAmp\\t\\x1b[2J\\nfake line\tS\\n1\t1-2");
    EXPECT_EQ(TerminalChooserLine(tricky).find('\n'), std::string::npos);
    EXPECT_EQ(TerminalChooserLine(tricky).find('\x1b'), std::string::npos);
}

TEST(DeviceLines, ASelectorThatTakesNothingNamesWhatWasAskedAndWhatIsThere) {
    const std::vector<DeviceListing> two = {
        Device("/dev/hidraw1", "Drivanta v2 Servo Amplifier", "DV2A-1", "1-1"),
        Device("/dev/hidraw2", "", "", "")};
    EXPECT_EQ(NothingSelected({"NOPE", ""}, two),
              "No device with serial \"NOPE\". Present:\n"
              "  /dev/hidraw1  \"Drivanta v2 Servo Amplifier\"  1d47:2233  serial DV2A-1  port "
              "1-1\n"
              "  /dev/hidraw2  (no product string)  1d47:2233  no serial  no port\n");
    EXPECT_EQ(NothingSelected({"DV2A-1", "3-\x1b"}, {}),
              "No device with serial \"DV2A-1\" at port \"3-\\x1b\". None is present.\n");
}

}  // namespace
}  // namespace hidlink
