#include "hidlink/platform/linux/HidString.h"

namespace hidlink::hidraw {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Decodes the sequence at `pos`, advancing past it; a malformed or overlong sequence, a
// surrogate or a value beyond U+10FFFF yields U+FFFD and consumes one byte.
char32_t NextCodePoint(std::string_view s, std::size_t& pos) {
    const auto lead = static_cast<std::uint8_t>(s[pos]);
    std::size_t continuation = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    if ((lead & 0xE0) == 0xC0) {
        continuation = 1, codePoint = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        continuation = 2, codePoint = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        continuation = 3, codePoint = lead & 0x07, smallest = 0x10000;
    } else {
        ++pos;
        return kReplacementCharacter;
    }
    if (s.size() - pos - 1 < continuation) {
        ++pos;
        return kReplacementCharacter;
    }
    for (std::size_t i = 1; i <= continuation; ++i) {
        const auto byte = static_cast<std::uint8_t>(s[pos + i]);
        if ((byte & 0xC0) != 0x80) {
            ++pos;
            return kReplacementCharacter;
        }
        codePoint = codePoint << 6 | (byte & 0x3F);
    }
    if (codePoint < smallest || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        ++pos;
        return kReplacementCharacter;
    }
    pos += 1 + continuation;
    return codePoint;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t c = NextCodePoint(utf8, pos);
        if (c < 0x10000) {
            out.push_back(static_cast<char16_t>(c));
        } else {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
    }
    return out;
}

Bool32 WriteHidString(std::string_view utf8, void* buffer, std::uint32_t length) {
    if (utf8.empty() || buffer == nullptr)
        return 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::uint32_t written = 0;
    auto put = [&](char16_t unit) {
        out[written++] = static_cast<std::uint8_t>(unit & 0xFF);
        out[written++] = static_cast<std::uint8_t>(unit >> 8);
    };
    for (char16_t unit : Utf8ToUtf16(utf8)) {
        if (length - written < 2)
            break;
        put(unit);
    }
    if (length - written >= 2)
        put(u'\0');
    return 1;
}

}  // namespace hidlink::hidraw
