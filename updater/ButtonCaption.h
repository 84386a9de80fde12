// A caption a button can hold whole, or a short one with the whole text for its tooltip: a
// platform error text or a long instruction must not be cut off at both ends of a button.
#pragma once

#include <cstddef>
#include <string>

namespace updater {

struct ButtonCaption {
    std::string caption;
    std::string toolTip;  // empty when the caption is the whole text
};

// Texts of at most `room` characters stay whole. Longer ones keep what comes before their first
// ": " (the kind of problem, "Cannot read image file") when that fits, or else their beginning;
// either way with "..." at the end, so that a shortened caption is never read as whole.
ButtonCaption FitButtonCaption(const std::string& text, std::size_t room);

}  // namespace updater
