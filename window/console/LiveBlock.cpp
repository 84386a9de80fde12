#include "window/console/LiveBlock.h"

#include <algorithm>
#include <utility>

namespace ui {

namespace {

const char* const kEscape = "\x1b[";

std::string CursorUp(int lines) {
    return kEscape + std::to_string(lines) + "A";
}

// Select Graphic Rendition parameters for a field; empty when it is shown plain.
std::string RenditionOf(const LiveField& field) {
    std::string parameters = field.stale ? "2" : "";
    const char* colour = field.colour == kRed ? "31" : field.colour == kGreen ? "32" : nullptr;
    if (colour != nullptr) {
        if (!parameters.empty())
            parameters += ';';
        parameters += colour;
    }
    return parameters;
}

}  // namespace

std::string LiveBlock::Redraw(const std::vector<LiveField>& fields, bool colours) {
    std::size_t titleWidth = 0;
    for (const LiveField& field : fields)
        titleWidth = std::max(titleWidth, field.title.size());
    // A field without a title is a line of its own, unaligned.
    std::string text = linesDrawn_ > 0 ? CursorUp(linesDrawn_) : "";
    for (const LiveField& field : fields) {
        if (!field.title.empty())
            text += field.title + ':' + std::string(titleWidth + 2 - field.title.size(), ' ');
        const std::string rendition = colours ? RenditionOf(field) : "";
        if (rendition.empty())
            text += field.value;
        else
            text += kEscape + rendition + 'm' + field.value + kEscape + "0m";
        // Erase what is left of a longer line drawn before.
        text += std::string(kEscape) + "K\n";
    }
    // And the lines of a longer block.
    text += std::string(kEscape) + "J";
    linesDrawn_ = static_cast<int>(fields.size());
    return text;
}

std::string LiveBlock::Erase() {
    if (linesDrawn_ == 0)
        return "";
    const int lines = std::exchange(linesDrawn_, 0);
    return CursorUp(lines) + kEscape + "J";
}

}  // namespace ui
