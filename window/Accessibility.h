// What assistive technology reads from a layout: each control's name, the value it shows, the
// caption a button shows with its access key marked, and how often a progress value is spoken.
// Shared by every toolkit, so that Qt, Win32 and the headless window name controls alike.
#pragma once

#include <cctype>
#include <chrono>
#include <cmath>
#include <string>

#include "window/FormLayout.h"

namespace ui {

// Controls whose text or size is a value the user reads: a screen reader must say what it is.
inline bool ShowsValue(const ControlSpec& spec) {
    switch (spec.kind) {
        case ControlKind::TextField:
        case ControlKind::Chooser:
        case ControlKind::Chart:
            return true;
        case ControlKind::Label:
            return spec.selectable;
        case ControlKind::PictureBox:
            return spec.backColor.has_value();  // the progress fill, not its empty track
        default:
            return false;
    }
}

// The caption of the label that names the control, else its own accessible name; controls
// that show their caption (buttons, titled frames, plain labels) are named by it.
inline std::string AccessibleName(const FormLayout& layout, const ControlSpec& spec) {
    if (!spec.labelledBy.empty()) {
        if (const ControlSpec* label = layout.Find(spec.labelledBy))
            return label->caption;
    }
    if (!spec.accessibleName.empty() || ShowsValue(spec))
        return spec.accessibleName;
    return spec.caption;
}

// "Bus voltage: 48.5": the name, then what the control shows now, without the spaces that set
// a value off from its frame (the identity labels start with one), which would be read as a
// pause.
inline std::string ValueDescription(const std::string& name, const std::string& value) {
    const std::size_t first = value.find_first_not_of(' ');
    if (first == std::string::npos)
        return name;
    return name + ": " + value.substr(first, value.find_last_not_of(' ') - first + 1);
}

// The progress fill's width as the percentage of its design width that it shows.
inline int ProgressPercent(const ControlSpec& fill, double widthTwips) {
    if (fill.width <= 0)
        return 0;
    const double percent = 100.0 * widthTwips / fill.width;
    return static_cast<int>(std::lround(percent < 0 ? 0 : percent > 100 ? 100 : percent));
}

// The caption with its ampersands doubled and one before the first occurrence of the access key,
// the letter Qt and Win32 underline; without an access key, only the doubling.
inline std::string MnemonicCaption(const std::string& caption, char accessKey) {
    std::string out;
    bool marked = accessKey == 0;
    for (char c : caption) {
        if (!marked && std::tolower(static_cast<unsigned char>(c)) ==
                           std::tolower(static_cast<unsigned char>(accessKey))) {
            out += '&';
            marked = true;
        }
        out += c;
        if (c == '&')
            out += '&';
    }
    return out;
}

// A progress value changes with every record: spoken every time, it would drown everything
// else. At most one announcement per interval.
class AnnouncementPacing {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kInterval{1};

    bool Due(Clock::time_point now) {
        if (spoken_ && now - last_ < kInterval)
            return false;
        last_ = now;
        spoken_ = true;
        return true;
    }

  private:
    Clock::time_point last_{};
    bool spoken_ = false;
};

}  // namespace ui
