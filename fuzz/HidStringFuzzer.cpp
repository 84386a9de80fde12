// Device strings both ways: the hidraw backend turns sysfs's UTF-8 into the UTF-16LE that the
// caller's buffer receives, and the identity code decodes such a buffer for the window. Both
// buffers are heap blocks of exactly their size, so the address sanitizer reports any access
// past them.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "fuzz/Require.h"
#include "hidlink/DeviceIdentity.h"
#include "hidlink/platform/linux/HidString.h"
#include "hidlink/sim/SimClock.h"
#include "hidlink/sim/SimulatedBus.h"

namespace {

using fuzz::Require;

constexpr std::uint8_t kUntouched = 0xA5;
constexpr char16_t kReplacementCharacter = 0xFFFD;

bool IsHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Every surrogate in a pair, high then low.
bool IsWellFormed(const std::u16string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (IsHighSurrogate(s[i]) && i + 1 < s.size() && IsLowSurrogate(s[i + 1]))
            ++i;
        else if (IsHighSurrogate(s[i]) || IsLowSurrogate(s[i]))
            return false;
    }
    return true;
}

std::string ToUtf8(const std::u16string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (IsHighSurrogate(s[i]))
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        hidlink::AppendUtf8(out, c);
    }
    return out;
}

void CheckUtf8ToUtf16(const std::string& utf8) {
    const std::u16string units = hidlink::hidraw::Utf8ToUtf16(utf8);
    Require(IsWellFormed(units), "UTF-16 with an unpaired surrogate");
    Require(units.size() <= utf8.size(), "more UTF-16 units than UTF-8 bytes");
    // Text decoded without a replacement was valid UTF-8: encoding it again gives it back.
    if (units.find(kReplacementCharacter) == std::u16string::npos)
        Require(ToUtf8(units) == utf8, "malformed UTF-8 decoded without a replacement");
}

void CheckWriteHidString(const std::string& utf8, std::uint32_t length) {
    const auto buffer = std::make_unique<std::uint8_t[]>(length);
    std::fill_n(buffer.get(), length, kUntouched);
    const hidlink::Bool32 ok = hidlink::hidraw::WriteHidString(utf8, buffer.get(), length);
    Require((ok != 0) == !utf8.empty(), "an empty string succeeded, or a string failed");

    const std::u16string units = ok != 0 ? hidlink::hidraw::Utf8ToUtf16(utf8) : u"";
    const std::size_t whole = std::min<std::size_t>(units.size(), length / 2);
    std::size_t at = 0;
    for (std::size_t i = 0; i < whole; ++i, at += 2) {
        Require(buffer[at] == (units[i] & 0xFF) && buffer[at + 1] == units[i] >> 8,
                "a unit written wrongly or out of order");
    }
    if (ok != 0 && at + 2 <= length) {
        Require(buffer[at] == 0 && buffer[at + 1] == 0, "no terminator although it fits");
        at += 2;
    }
    for (; at < length; ++at)
        Require(buffer[at] == kUntouched, "a byte written after the string");
}

// The identity buffer the programs decode: kStringBufferSize bytes, low byte of each 16-bit
// character as an ANSI code, up to the first zero low byte.
void CheckDecodeHidString(const std::string& bytes, const hidlink::ApiDeclarations& api) {
    const auto buffer = std::make_unique<std::uint8_t[]>(hidlink::kStringBufferSize);
    std::fill_n(buffer.get(), hidlink::kStringBufferSize, 0);
    std::copy_n(bytes.begin(), std::min(bytes.size(), hidlink::kStringBufferSize), buffer.get());

    const std::string text = hidlink::DecodeHidString(buffer.get(), api);
    std::size_t characters = 0;
    while (2 * characters + 1 < hidlink::kStringBufferSize && buffer[2 * characters] != 0)
        ++characters;
    const std::u16string again = hidlink::hidraw::Utf8ToUtf16(text);
    Require(again.find(kReplacementCharacter) == std::u16string::npos,
            "decoded identity text is not valid UTF-8");
    Require(again.size() == characters, "decoded identity text has the wrong length");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto length = input.ConsumeIntegralInRange<std::uint32_t>(0, 600);
    const std::string identityBytes = input.ConsumeBytesAsString(hidlink::kStringBufferSize);
    const std::string utf8 = input.ConsumeRemainingBytesAsString();

    CheckUtf8ToUtf16(utf8);
    CheckWriteHidString(utf8, length);

    sim::VirtualClock clock;
    sim::SimulatedBus codePage(clock);
    CheckDecodeHidString(identityBytes, codePage);
    return 0;
}
