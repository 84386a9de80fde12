// A capture line's strings come back byte for byte, whatever the bytes, and a device's UTF-8
// strings stay readable by any JSON reader.
#include <gtest/gtest.h>

#include <random>

#include "hidlink/capture/CaptureLine.h"

namespace capture_test {
namespace {

TEST(CaptureLine, AnyBytesComeBackAndUtf8IsWrittenAsItIs) {
    std::mt19937 random(7);
    // Bytes around the UTF-8 boundaries: lead and continuation bytes, overlong and surrogate
    // leads, quotes, backslashes and control characters.
    const std::string alphabet =
        "a\"\\\n\x7f\x80\xbf\xc0\xc2\xdf\xe0\xa0\xed\xef\xf0\x90\xf4\xf5\xff";
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (std::size_t n = random() % 12; n > 0; --n)
            text += alphabet[random() % alphabet.size()];
        const std::string json = hidlink::CaptureLine().Add("text", text).ToJson();
        std::string problem;
        const auto back = hidlink::CaptureLine::Parse(json, &problem);
        ASSERT_TRUE(back) << json << ": " << problem;
        ASSERT_EQ(back->Text("text"), text) << json;
    }
    EXPECT_EQ(hidlink::CaptureLine()
                  .Add("text",
                       "Stra\xc3\x9f"
                       "e \xe2\x82\xac")
                  .ToJson(),
              "{\"text\":\"Stra\xc3\x9f"
              "e \xe2\x82\xac\"}");
}

}  // namespace
}  // namespace capture_test
