#include "updater/ButtonCaption.h"

namespace updater {

namespace {

constexpr char kEllipsis[] = "...";

// The longest start of text of at most `bytes` bytes that does not split a UTF-8 sequence.
std::string Start(const std::string& text, std::size_t bytes) {
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0u) == 0x80u)
        --end;
    return text.substr(0, end);
}

}  // namespace

ButtonCaption FitButtonCaption(const std::string& text, std::size_t room) {
    if (text.size() <= room)
        return {text, {}};
    const std::size_t ellipsis = sizeof kEllipsis - 1;
    const std::size_t colon = text.find(": ");
    if (colon != std::string::npos && colon > 0 && colon + ellipsis <= room)
        return {text.substr(0, colon) + kEllipsis, text};
    if (room <= ellipsis)
        return {Start(text, room), text};
    return {Start(text, room - ellipsis) + kEllipsis, text};
}

}  // namespace updater
