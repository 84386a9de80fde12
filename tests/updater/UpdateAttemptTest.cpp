// What the user reads before and after an update: the CRC-32 against published check values, the
// question naming device and file, and captions shortened only where they would not fit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/PathText.h"
#include "updater/ButtonCaption.h"
#include "updater/Crc32.h"
#include "updater/UpdateAttempt.h"

namespace updater {
namespace {

struct CrcCase {
    std::string bytes;
    std::uint32_t crc;
};

TEST(Crc32, MatchesTheKnownCheckValues) {
    const CrcCase cases[] = {
        {"", 0x00000000u},
        {"a", 0xE8B7BE43u},
        {"123456789", 0xCBF43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
        {std::string(32, '\0'), 0x190A55ADu},
        {std::string(32, '\xFF'), 0xFF6CAB0Bu},
    };
    for (const CrcCase& c : cases) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(c.bytes.data());
        EXPECT_EQ(Crc32(0, bytes, c.bytes.size()), c.crc) << c.bytes;
        // In two pieces, as records are summed one after another.
        const std::size_t half = c.bytes.size() / 2;
        EXPECT_EQ(Crc32(Crc32(0, bytes, half), bytes + half, c.bytes.size() - half), c.crc)
            << c.bytes;
    }
}

TEST(Crc32, OfRecordsCoversTheWholeRecordsInOrder) {
    std::vector<std::uint8_t> bytes(3 * kRecordSize + 7);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
    const std::vector<ImageRecord> records = SplitRecords(bytes);
    EXPECT_EQ(Crc32OfRecords(records), Crc32(0, bytes.data(), 3 * kRecordSize));
    std::vector<ImageRecord> swapped = records;
    std::swap(swapped[0], swapped[1]);
    EXPECT_NE(Crc32OfRecords(swapped), Crc32OfRecords(records));
}

struct FitCase {
    std::string text;
    std::size_t room;
    std::string caption;
    bool shortened;
};

TEST(FitButtonCaption, ShortensOnlyWhatDoesNotFit) {
    const FitCase cases[] = {
        {"Device not found", 16, "Device not found", false},
        {"Device not found", 15, "Device not f...", true},
        {"Cannot read image file: Is a directory", 34, "Cannot read image file...", true},
        {"Cannot read image file: Is a directory", 38, "Cannot read image file: Is a directory",
         false},
        {"Reset not accepted: unplug and replug the amplifier", 38, "Reset not accepted...", true},
        // The part before ": " fits, but not with the ellipsis.
        {"Cannot read image file: Is a directory", 24, "Cannot read image fil...", true},
        // The part before ": " does not fit either.
        {"A very long kind of problem: detail", 10, "A very ...", true},
        // A multi-byte character is never cut in half.
        {"Gerät nicht gefunden", 7, "Ger...", true},
        {"abc", 2, "ab", true},
    };
    for (const FitCase& c : cases) {
        const ButtonCaption fitted = FitButtonCaption(c.text, c.room);
        EXPECT_EQ(fitted.caption, c.caption) << c.text << " in " << c.room;
        EXPECT_LE(fitted.caption.size(), c.room) << c.text;
        EXPECT_EQ(fitted.toolTip, c.shortened ? c.text : "") << c.text;
        if (c.shortened && c.room > 3) {
            EXPECT_TRUE(fitted.caption.ends_with("...")) << c.text << " in " << c.room;
        }
    }
}

TEST(ConfirmationQuestion, NamesTheDeviceAndTheFileItWouldSend) {
    ImageCheck image;
    image.path = "/home/tech/fw/servoamp.bin";
    image.fileSize = 2 * 40 + 5;
    std::vector<std::uint8_t> bytes(80);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i);
    image.records = SplitRecords(bytes);
    const std::string q =
        ConfirmationQuestion({"Servo amplifier", "SN-0042", "2.3", "1d47:2233", "1-2"}, image);
    for (const std::string& part :
         {std::string("Servo amplifier"), std::string("SN-0042"), std::string("version 2.3"),
          std::string("(1d47:2233)"), std::string("port 1-2"),
          std::string("servoamp.bin, 85 bytes, 2 records"),
          "CRC-32 " + Crc32Text(Crc32(0, bytes.data(), bytes.size()))}) {
        EXPECT_NE(q.find(part), std::string::npos) << part << " in:\n" << q;
    }
    EXPECT_EQ(q.find("/home"), std::string::npos) << "the file's name, not its folder";
    EXPECT_EQ(common::BaseName("C:\\fw\\wheel.bin"), "wheel.bin");
    EXPECT_EQ(Crc32Text(0xCBF43926u), "0xCBF43926");
}

}  // namespace
}  // namespace updater
