// Every caption the three programs can set fits its control in the Qt window at 96 dpi, measured
// with the font the control really gets. A caption added to a program gets a row here.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <map>
#include <memory>
#include <string>

#include "ampflash/Layout.h"
#include "servodiag/DeviceState.h"
#include "servodiag/Layout.h"
#include "wheelflash/Layout.h"
#include "window/PlatformWindow.h"
#include "window/qt/QtWindow.h"

namespace {

struct CaptionCase {
    ui::FormLayout (*layout)();
    const char* control;
    std::string caption;
};

void PrintTo(const CaptionCase& c, std::ostream* out) {
    *out << c.control << " \"" << c.caption << "\"";
}

std::string Dots(int n) {
    return std::string(std::size_t(n), '.');
}

const std::vector<CaptionCase>& Captions() {
    using servodiag::DeviceState;
    static const std::vector<CaptionCase> cases = [] {
        std::vector<CaptionCase> c;
        for (DeviceState state :
             {DeviceState::Live, DeviceState::NoDevice, DeviceState::AccessRefused,
              DeviceState::InUse, DeviceState::NotResponding}) {
            c.push_back(
                {servodiag::ServodiagLayout, "lblDeviceState", servodiag::TextOf(state).line});
        }
        for (const char* value : {"OK", "STOP", "bypassed"})
            c.push_back({servodiag::ServodiagLayout, "estop", value});
        for (const char* value : {"65535", "-32768", "255.FF"}) {
            for (const char* field : {"USBerr", "amp_fw_ver", "Homing", "Slimit"})
                c.push_back({servodiag::ServodiagLayout, field, value});
        }
        c.push_back({servodiag::ServodiagLayout, "Degrees", "-1234.5678"});

        // The image checks, shown on the button that was clicked.
        const char* const problems[] = {
            "Image file not found",
            "Image file is empty",
            "Image file is too short",
            "Image file is too large",
            "Device report length not supported",
        };
        for (const char* problem : problems) {
            c.push_back({ampflash::AmpflashLayout, "btnUpgradeFW", problem});
            c.push_back({wheelflash::WheelflashLayout, "Command4", problem});
            c.push_back({wheelflash::WheelflashLayout, "Command2", problem});
        }
        // What the updaters say about the device, the end of an update, and the short form of
        // a long text (whole in the tooltip).
        for (const char* caption : {"Device not found", "Device access refused", "Device in use",
                                    "Cannot read image file", "Update complete: version -128.FF",
                                    "Device did not come back"}) {
            c.push_back({ampflash::AmpflashLayout, "btnUpgradeFW", caption});
            c.push_back({wheelflash::WheelflashLayout, "Command4", caption});
            c.push_back({wheelflash::WheelflashLayout, "Command2", caption});
        }
        c.push_back({ampflash::AmpflashLayout, "btnUpgradeFW", "Reset not accepted"});
        for (const std::string& caption :
             {std::string("Upgrade Firmware"), "Switching to bootloader..." + Dots(6),
              std::string("Updating firmware..."), std::string("Resetting..."),
              std::string("Update failed at record 32766 of 32766")}) {
            c.push_back({ampflash::AmpflashLayout, "btnUpgradeFW", caption});
        }
        for (const char* caption :
             {"Upgrade Firmware", "Please wait...", "Device did not come back"}) {
            c.push_back({wheelflash::WheelflashLayout, "Command4", caption});
        }
        for (const char* caption : {"2. Load Firmware", "Image file changed during the update",
                                    "Update failed: 32766 of 32766 records not accepted"}) {
            c.push_back({wheelflash::WheelflashLayout, "Command2", caption});
        }
        return c;
    }();
    return cases;
}

// One window per program, realised once.
ui::qt::QtWindow& WindowFor(ui::FormLayout (*layout)()) {
    static std::map<ui::FormLayout (*)(), std::unique_ptr<ui::Window>> windows;
    auto& window = windows[layout];
    if (!window)
        window = ui::CreatePlatformWindow(layout());
    return dynamic_cast<ui::qt::QtWindow&>(*window);
}

// The width inside the control's frame and margins that text may take, in pixels.
int TextRoom(QWidget* widget) {
    QStyle* style = widget->style();
    if (qobject_cast<QPushButton*>(widget) != nullptr) {
        return widget->width() - 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, widget) -
               2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, widget);
    }
    if (auto* field = qobject_cast<QLineEdit*>(widget)) {
        // QLineEdit keeps two pixels of margin on each side inside its frame.
        const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, field);
        const QMargins margins = field->textMargins();
        return field->width() - 2 * frame - 2 * 2 - margins.left() - margins.right();
    }
    return widget->contentsRect().width();
}

class CaptionFit : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(CaptionFit, TheWholeCaptionFitsOnOneLine) {
    ui::qt::QtWindow& window = WindowFor(GetParam().layout);
    ASSERT_EQ(window.LogicalDpi(), 96) << "measured at 96 dpi";
    QWidget* widget = window.Form()->findChild<QWidget*>(GetParam().control);
    ASSERT_NE(widget, nullptr);
    const QFontMetrics metrics(widget->font());
    const QString text = QString::fromStdString(GetParam().caption);
    EXPECT_LE(metrics.horizontalAdvance(text), TextRoom(widget))
        << "font " << widget->font().family().toStdString() << " " << widget->font().pointSizeF();
    if (qobject_cast<QLabel*>(widget) != nullptr) {
        EXPECT_LE(metrics.height(), widget->contentsRect().height()) << "one whole line";
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, CaptionFit, ::testing::ValuesIn(Captions()));

}  // namespace
