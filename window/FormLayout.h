// A window's layout, written once as data and realised by each toolkit (Qt, Win32, headless).
// Lengths are twips (15 to the pixel at 96 dpi); colours are COLORREF (red in the low byte), or a
// system colour marked with kSystemColorFlag as the classic Windows forms did.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ui {

using ColorRef = std::uint32_t;
inline constexpr ColorRef kSystemColorFlag = 0x80000000u;
inline constexpr ColorRef kSystemWindowBackground = kSystemColorFlag | 5;  // COLOR_WINDOW
inline constexpr ColorRef kSystemWindowText = kSystemColorFlag | 8;        // COLOR_WINDOWTEXT
inline constexpr ColorRef kSystemButtonFace = kSystemColorFlag | 15;       // COLOR_BTNFACE
inline constexpr ColorRef kRed = 255;
inline constexpr ColorRef kGreen = 65280;
inline constexpr ColorRef kWhite = 16777215;
constexpr ColorRef Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return ColorRef(r) | (ColorRef(g) << 8) | (ColorRef(b) << 16);
}

enum class ControlKind {
    Label,      // static text
    TextField,  // single-line box that displays a value: read-only, its text selectable; disabled
                // only to show that the value is stale (greyed)
    Frame,      // group box; may hold other controls
    Button,
    Line,        // horizontal separator from left to left + width at top
    PictureBox,  // filled rectangle (the progress track and fill)
    Timer,       // not drawn; intervalMs, toggled through SetEnabled
    Chooser,     // drop-down list of lines to pick one from (SetItems, SetChoice); its caption is
                 // shown while nothing is chosen; a pick reaches FormHandlers::Chosen
    Chart,       // values over time (chartSeries), fed by Window::AddChartSample; the user pauses
                 // it, moves a cursor over it and picks how much time it shows
};

// How a chart draws one series of its samples.
enum class ChartSeriesKind {
    Line,     // a value with a unit, drawn as a line against its own axis
    Counter,  // a count that only grows: a mark where it grew
    Band,     // a state: the time it is non-zero is shaded, each non-zero state its own way
};

struct ChartSeriesSpec {
    std::string name;
    std::string unit;  // after the value: "°", "V"; empty for counts and states
    ChartSeriesKind kind = ChartSeriesKind::Line;
    // A band's states by value (0, 1, 2, ...), as its readout and CSV name them; none: "no" and
    // "yes".
    std::vector<std::string> states;
};

struct Font {
    std::string face = "MS Sans Serif";
    double points = 8.25;
    bool bold = false;
};

struct ControlSpec {
    std::string name;
    ControlKind kind = ControlKind::Label;
    std::string caption;  // caption or initial text
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::string container;  // name of the enclosing Frame; empty = the client area
    Font font;
    bool visible = true;
    bool enabled = true;
    // Label only: it shows a value the user may want to copy (a serial number), so its text can
    // be selected; disabled, it greys to show that the value is stale.
    bool selectable = false;
    std::optional<ColorRef> backColor;  // empty = the kind's default
    std::optional<ColorRef> foreColor;
    int intervalMs = 0;  // Timer only
    // Chart only: its series, in the order of each sample's values; and how many samples it
    // keeps, the oldest going first (0: ten minutes of samples 200 ms apart).
    std::vector<ChartSeriesSpec> chartSeries;
    std::size_t chartCapacity = 0;
    // For assistive technology, which reads a control's name before its value. A value control
    // beside its caption label names that label here, so that the caption is its name; a control
    // with no such label (a frame without a title, the chooser, the progress fill) carries its
    // name in accessibleName instead.
    std::string labelledBy;
    std::string accessibleName;
    // Button only: the letter that presses it with Alt, underlined in its caption. The caption
    // itself stays as written: programs and tests compare it.
    char accessKey = 0;
    // Its changes are announced to assistive technology: it reports a state, progress or outcome.
    bool announced = false;
};

inline ControlSpec MakeControl(std::string name, ControlKind kind, std::string caption, int left,
                               int top, int width, int height, Font font = {}) {
    ControlSpec c;
    c.name = std::move(name);
    c.kind = kind;
    c.caption = std::move(caption);
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
    c.font = std::move(font);
    return c;
}

struct FormLayout {
    std::string caption;
    int clientWidth = 0;  // twips
    int clientHeight = 0;
    std::string iconName;  // which built-in icon the window carries
    // In tab order: the first enabled, visible button holds the focus when the window opens.
    std::vector<ControlSpec> controls;

    const ControlSpec* Find(const std::string& name) const {
        for (const auto& c : controls) {
            if (c.name == name)
                return &c;
        }
        return nullptr;
    }
};

// The layout of a program's -sim twin: its title says that its devices are simulated, so that it
// is never taken for the program on real hardware.
inline FormLayout SimulatedTwin(FormLayout layout) {
    layout.caption += " (simulated)";
    return layout;
}

// Twips to device pixels: 15 twips per pixel at 96 dpi, scaled by the screen's logical dpi.
inline int TwipsToPixels(double twips, double logicalDpi) {
    const double pixels = twips * logicalDpi / 1440.0;
    return static_cast<int>(std::lround(pixels));
}

}  // namespace ui
