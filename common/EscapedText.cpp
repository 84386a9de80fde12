#include "common/EscapedText.h"

#include <cstdio>

namespace common {

namespace {

std::string Hex(unsigned char byte) {
    char text[5];
    std::snprintf(text, sizeof text, "\\x%02x", byte);
    return text;
}

}  // namespace

std::string EscapedForTerminal(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (byte == '\t') {
            escaped += "\\t";
        } else if (byte == '\n') {
            escaped += "\\n";
        } else if (byte == '\r') {
            escaped += "\\r";
        } else if (byte < 0x20 || byte == 0x7f) {
            escaped += Hex(byte);
        } else if (byte == 0xc2 && next >= 0x80 && next <= 0x9f) {
            // U+0080..U+009F: terminals take U+009B as the start of a control sequence.
            escaped += Hex(byte) + Hex(next);
            ++i;
        } else {
            escaped += text[i];
        }
    }
    return escaped;
}

}  // namespace common
