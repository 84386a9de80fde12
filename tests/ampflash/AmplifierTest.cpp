// The simulated amplifier that the tests and ampflash-sim run against.
#include <gtest/gtest.h>

#include <vector>

#include "simdevices/Amplifier.h"

namespace {

using simdevices::Amplifier;
using Report = std::vector<std::uint8_t>;

Report Command(std::uint8_t command) {
    Report r(65, 0);
    r[0] = 0x08;
    r[1] = 0xDE;
    r[2] = 0xFA;
    r[3] = command;
    return r;
}

Report Data(int first) {
    Report r(65, 0);
    r[0] = 0x40;
    for (int i = 0; i < 40; ++i)
        r[1 + i] = static_cast<std::uint8_t>((first + i) * 7 + 3);
    return r;
}

bool Send(Amplifier& a, const Report& r, std::int64_t nowMs = 0) {
    return a.SetFeature(r.data(), static_cast<std::uint32_t>(r.size()), nowMs);
}

TEST(SimulatedAmplifier, TakesAnImageOnlyInItsBootloader) {
    Amplifier amplifier;
    EXPECT_FALSE(Send(amplifier, Data(0)));
    EXPECT_FALSE(Send(amplifier, Command(0xDE)));
    EXPECT_TRUE(Send(amplifier, Command(0xBB)));
    EXPECT_EQ(amplifier.CurrentMode(), Amplifier::Mode::Bootloader);
    EXPECT_TRUE(amplifier.Description().present);  // same connection, same handles

    EXPECT_TRUE(Send(amplifier, Data(0)));
    EXPECT_TRUE(Send(amplifier, Data(40)));
    Report unknown = Data(80);
    unknown[0] = 0x41;
    EXPECT_FALSE(Send(amplifier, unknown));
    EXPECT_EQ(amplifier.ReceivedRecords(), 2u);
}

TEST(SimulatedAmplifier, ComesBackWithTheNewVersionAndTellsWhatItGot) {
    simdevices::AmplifierOptions options;
    options.versionNumber = 0x02FF;
    Amplifier amplifier(options);
    Send(amplifier, Command(0xBB));
    Send(amplifier, Data(0));
    Send(amplifier, Data(40));
    EXPECT_TRUE(Send(amplifier, Command(0xDE), 1000));
    EXPECT_FALSE(amplifier.Description().present);

    amplifier.Advance(2499);
    EXPECT_FALSE(amplifier.Description().present);
    amplifier.Advance(2500);
    EXPECT_TRUE(amplifier.Description().present);
    EXPECT_EQ(amplifier.CurrentMode(), Amplifier::Mode::Application);
    EXPECT_EQ(amplifier.Description().versionNumber, 0x0300);
    // The checksum is zlib's CRC-32 of the 80 bytes received.
    EXPECT_EQ(amplifier.Summary(),
              "simulated amplifier: received 2 records (80 bytes), crc32 3f42d103");
}

TEST(SimulatedAmplifier, RefusesTheChosenRecord) {
    Amplifier amplifier;
    amplifier.RefuseRecords({2});
    Send(amplifier, Command(0xBB));
    EXPECT_TRUE(Send(amplifier, Data(0)));
    EXPECT_FALSE(Send(amplifier, Data(40)));
    EXPECT_TRUE(Send(amplifier, Data(80)));
    EXPECT_EQ(amplifier.ReceivedRecords(), 2u);
}

}  // namespace
