// The window as the layout describes it: size, placement, texts, colours, fonts and focus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

#include "tests/qt/TestLayout.h"

namespace {

using qttest::Child;
using qttest::CreateTestWindow;

TEST(QtWindowLayout, ClientAreaIsTheLayoutSizeAtTheScreensDpi) {
    auto window = CreateTestWindow();
    const double dpi = window->LogicalDpi();
    const QSize expected(ui::TwipsToPixels(8100, dpi), ui::TwipsToPixels(9620, dpi));
    if (dpi == 96) {
        EXPECT_EQ(QSize(540, 641), expected);
    }
    window->Show();
    EXPECT_EQ(expected, window->Form()->size());
    EXPECT_EQ(expected, window->Form()->minimumSize());
    EXPECT_EQ(expected, window->Form()->maximumSize());
    EXPECT_EQ(QString("Test window"), window->Form()->windowTitle());
    EXPECT_FALSE(window->Form()->windowIcon().isNull());
}

struct Placement {
    const char* name;
    const char* parent;            // object name of the parent; empty for the client area
    int left, top, width, height;  // twips; height in pixels for a line
};

TEST(QtWindowLayout, ControlsStandWhereTheLayoutPutsThemRelativeToTheirContainer) {
    const Placement placements[] = {
        {"Frame1", "", 60, 60, 4935, 1755},        {"lblManuf", "Frame1", 1620, 300, 3300, 285},
        {"Label4", "Frame1", 180, 300, 1335, 285}, {"USBerr", "", 6600, 200, 1035, 360},
        {"Picture1", "", 120, 1860, 5175, 195},    {"Pic", "", 180, 1920, 5055, 75},
        {"Go", "", 120, 5200, 1500, 495},          {"Device", "", 120, 5900, 3000, 315},
    };
    auto window = CreateTestWindow();
    const double dpi = window->LogicalDpi();
    auto px = [dpi](int twips) { return ui::TwipsToPixels(twips, dpi); };
    for (const auto& p : placements) {
        SCOPED_TRACE(p.name);
        QWidget* widget = Child(*window, p.name);
        ASSERT_NE(nullptr, widget);
        const QString expectedParent = QString(p.parent).isEmpty() ? QString() : p.parent;
        EXPECT_EQ(expectedParent, widget->parentWidget()->objectName());
        EXPECT_EQ(QRect(px(p.left), px(p.top), px(p.width), px(p.height)), widget->geometry());
    }
}

TEST(QtWindowLayout, LineIsAThinSeparatorFromLeftToLeftPlusWidthAtTop) {
    auto window = CreateTestWindow();
    const double dpi = window->LogicalDpi();
    const QRect line = Child(*window, "Line1")->geometry();
    EXPECT_EQ(ui::TwipsToPixels(120, dpi), line.left());
    EXPECT_EQ(ui::TwipsToPixels(120, dpi) + ui::TwipsToPixels(4800, dpi), line.right() + 1);
    EXPECT_EQ(ui::TwipsToPixels(3420, dpi), line.top());
    EXPECT_LE(line.height(), 2);
}

struct TextCase {
    const char* control;
    const char* text;
    const char* shown;  // what the widget itself holds
};

TEST(QtWindowLayout, TextsAreShownLiterallyAndReadBackAsSet) {
    const TextCase cases[] = {
        {"lblManuf", "Smith & Sons", "Smith & Sons"},
        {"USBerr", "12", "12"},
        {"Go", "Write & reset", "Write && reset"},
        // The access key is marked in the button's own caption, never in a status shown on it.
        {"Stop", "Update complete", "Update complete"},
        {"Stop", "Stop", "S&top"},
        {"Frame1", "R&D details", "R&&D details"},
        {"Degrees", "-12,5", "-12,5"},
        {"lblManuf", "Ünïcode ©", "Ünïcode ©"},
    };
    auto window = CreateTestWindow();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        window->SetText(c.control, c.text);
        EXPECT_EQ(c.text, window->Text(c.control));
        QWidget* widget = Child(*window, c.control);
        QString shown;
        if (auto* label = qobject_cast<QLabel*>(widget))
            shown = label->text();
        if (auto* field = qobject_cast<QLineEdit*>(widget))
            shown = field->text();
        if (auto* button = qobject_cast<QPushButton*>(widget))
            shown = button->text();
        if (auto* frame = qobject_cast<QGroupBox*>(widget))
            shown = frame->title();
        EXPECT_EQ(QString::fromUtf8(c.shown), shown);
    }
}

TEST(QtWindowLayout, LongValueShowsItsBeginningInAField) {
    auto window = CreateTestWindow();
    window->SetText("USBerr", "1234567890 1234567890 1234567890 end");
    EXPECT_EQ(0, Child<QLineEdit>(*window, "USBerr")->cursorPosition());
}

TEST(QtWindowLayout, InitialCaptionsComeFromTheLayout) {
    auto window = CreateTestWindow();
    EXPECT_EQ("Device details", window->Text("Frame1"));
    EXPECT_EQ(QString("Device details"), Child<QGroupBox>(*window, "Frame1")->title());
    EXPECT_EQ(QString("Manufacturer"), Child<QLabel>(*window, "Label4")->text());
    EXPECT_EQ("", window->Text("USBerr"));
}

struct ColorCase {
    const char* control;
    std::optional<ui::ColorRef> set;  // empty: the layout's colour
    QPalette::ColorRole role;
    QColor expected;  // invalid: the application palette's colour of `systemRole`
    QPalette::ColorRole systemRole;
};

TEST(QtWindowLayout, ColoursAreColorrefsWithRedInTheLowByteOrSystemPaletteRoles) {
    const QPalette system = QApplication::palette();
    const ColorCase cases[] = {
        {"Pic", {}, QPalette::Window, QColor(128, 128, 255), {}},
        {"lblManuf", {}, QPalette::Window, QColor(), QPalette::Base},
        {"lblManuf", {}, QPalette::WindowText, QColor(), QPalette::Text},
        {"Picture1", {}, QPalette::Window, QColor(), QPalette::Button},
        {"Pic", ui::kRed, QPalette::Window, QColor(255, 0, 0), {}},
        {"Pic", ui::Rgb(1, 2, 3), QPalette::Window, QColor(1, 2, 3), {}},
        {"USBerr", ui::kGreen, QPalette::Base, QColor(0, 255, 0), {}},
        {"lblManuf", ui::kSystemButtonFace, QPalette::Window, QColor(), QPalette::Button},
    };
    auto window = CreateTestWindow();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        if (c.set)
            window->SetBackColor(c.control, *c.set);
        QWidget* widget = Child(*window, c.control);
        const QColor expected = c.expected.isValid() ? c.expected : system.color(c.systemRole);
        EXPECT_EQ(expected, widget->palette().color(QPalette::Active, c.role));
        if (c.role == QPalette::Window) {
            EXPECT_TRUE(widget->autoFillBackground());
        }
    }
}

// Contrast ratio of two colours as the accessibility guidelines define it: 1 to 21.
double Contrast(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct LegibilityCase {
    const char* control;
    QPalette::ColorGroup group;  // Disabled: the control is disabled first
    QPalette::ColorRole text;
    QPalette::ColorRole background;
};

// Values, and the caption of a disabled button (an update's progress), at 4.5:1 at least.
TEST(QtWindowLayout, ValuesAndProgressCaptionsHaveEnoughContrast) {
    const LegibilityCase cases[] = {
        {"USBerr", QPalette::Active, QPalette::Text, QPalette::Base},
        {"lblManuf", QPalette::Active, QPalette::WindowText, QPalette::Window},
        {"Disabled", QPalette::Disabled, QPalette::ButtonText, QPalette::Button},
    };
    auto window = CreateTestWindow();
    for (const LegibilityCase& c : cases) {
        SCOPED_TRACE(c.control);
        QWidget* widget = Child(*window, c.control);
        EXPECT_EQ(widget->isEnabled(), c.group != QPalette::Disabled);
        const QPalette& palette = widget->palette();
        EXPECT_GE(Contrast(palette.color(c.group, c.text), palette.color(c.group, c.background)),
                  4.5);
    }
}

TEST(QtWindowLayout, ValuesAreReadOnlySelectableAndGreyWhenStale) {
    auto window = CreateTestWindow();
    auto* field = Child<QLineEdit>(*window, "USBerr");
    EXPECT_TRUE(field->isReadOnly());
    EXPECT_TRUE(field->isEnabled()) << "read-only, not disabled: its text can be copied";
    auto* value = Child<QLabel>(*window, "lblManuf");
    EXPECT_TRUE(value->textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_FALSE(Child<QLabel>(*window, "Label4")->textInteractionFlags() &
                 Qt::TextSelectableByMouse)
        << "captions are not values";

    // Disabled, a value shows that it is stale: its text is drawn lighter than when live.
    for (const char* control : {"USBerr", "lblManuf"}) {
        SCOPED_TRACE(control);
        QWidget* widget = Child(*window, control);
        const QPalette::ColorRole role =
            qobject_cast<QLineEdit*>(widget) ? QPalette::Text : QPalette::WindowText;
        EXPECT_NE(widget->palette().color(QPalette::Active, role),
                  widget->palette().color(QPalette::Disabled, role));
    }
}

TEST(QtWindowLayout, DisabledFrameKeepsItsLabelsLegible) {
    auto window = CreateTestWindow();
    window->SetEnabled("Frame1", false);
    auto* label = Child(*window, "Label4");
    EXPECT_FALSE(label->isEnabled());
    EXPECT_EQ(label->palette().color(QPalette::Active, QPalette::WindowText),
              label->palette().color(QPalette::Disabled, QPalette::WindowText));
    window->SetEnabled("Frame1", true);
    EXPECT_TRUE(label->isEnabled());
}

TEST(QtWindowLayout, FontsHaveTheLayoutsSizeWeightAndAFaceThatExists) {
    auto window = CreateTestWindow();
    const QFont bold = Child(*window, "Degrees")->font();
    EXPECT_DOUBLE_EQ(10, bold.pointSizeF());
    EXPECT_TRUE(bold.bold());
    EXPECT_FALSE(Child(*window, "Label4")->font().bold());
    // Arial itself or a face with its metrics; never a fallback that draws wider text.
    const QString resolved = QFontInfo(bold).family();
    EXPECT_TRUE(resolved == "Arial" || resolved == "Liberation Sans") << resolved.toStdString();
}

TEST(QtWindowLayout, SetWidthKeepsTheLeftEdgeAndWidthReadsBackTheExactValue) {
    auto window = CreateTestWindow();
    const double dpi = window->LogicalDpi();
    QWidget* pic = Child(*window, "Pic");
    const QRect before = pic->geometry();
    EXPECT_DOUBLE_EQ(5055, window->Width("Pic"));

    for (double twips : {2527.5, 0.0, 5055.0, 33.3}) {
        SCOPED_TRACE(twips);
        window->SetWidth("Pic", twips);
        EXPECT_DOUBLE_EQ(twips, window->Width("Pic"));
        EXPECT_EQ(before.topLeft(), pic->geometry().topLeft());
        EXPECT_EQ(before.height(), pic->height());
        EXPECT_EQ(ui::TwipsToPixels(twips, dpi), pic->width());
    }
}

TEST(QtWindowLayout, VisibilityAndEnablingFollowTheLayoutAndTheOperations) {
    auto window = CreateTestWindow();
    window->Show();
    EXPECT_TRUE(Child(*window, "Command1")->isHidden());
    EXPECT_FALSE(Child(*window, "Disabled")->isEnabled());
    window->SetVisible("Command1", true);
    window->SetEnabled("Disabled", true);
    window->SetVisible("Pic", false);
    EXPECT_TRUE(Child(*window, "Command1")->isVisible());
    EXPECT_TRUE(Child(*window, "Disabled")->isEnabled());
    EXPECT_TRUE(Child(*window, "Pic")->isHidden());
}

TEST(QtWindowLayout, FirstVisibleEnabledButtonHasTheFocusAndTabFollowsTheLayout) {
    auto window = CreateTestWindow();
    window->Show();
    EXPECT_EQ(Child(*window, "Go"), window->Form()->focusWidget());

    QWidget* next = Child(*window, "Go")->nextInFocusChain();
    while (next->focusPolicy() == Qt::NoFocus || !next->isEnabled() || next->isHidden()) {
        next = next->nextInFocusChain();
    }
    EXPECT_EQ(Child(*window, "Stop"), next);
}

// Two wheels alike up to their serials, cut alike in the closed box: the line chosen is whole in
// its tooltip, and each line is in the open list's, as plain text whatever the device calls
// itself (a tag read as markup would have Qt load a file).
TEST(QtWindowLayout, TheChosenLineIsWholeInTheChoosersTooltip) {
    const std::vector<std::string> lines = {
        "Drivanta v2 Wheel<img src=/dev/zero> (1d47:b02e), serial DV2W-004817, port 1-3",
        "Drivanta v2 Wheel (1d47:b02e), serial DV2W-009921, port 1-4"};
    const auto plain = [](const QString& tip) {
        QTextDocument document;
        document.setHtml(tip);
        return document.toPlainText().replace(QChar::Nbsp, ' ').toStdString();
    };
    auto window = CreateTestWindow();
    window->SetItems("Device", lines);
    auto* chooser = qobject_cast<QComboBox*>(Child(*window, "Device"));
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->toolTip(), "");
    for (int index : {1, 0}) {
        window->SetChoice("Device", index);
        EXPECT_EQ(plain(chooser->toolTip()), lines[std::size_t(index)]);
        EXPECT_EQ(plain(chooser->itemData(index, Qt::ToolTipRole).toString()),
                  lines[std::size_t(index)]);
    }
}

// The updaters' forms are 5420 twips wide: their title, bold, is read whole beside the icon and
// three buttons of a title bar, the form in the middle of the window.
TEST(QtWindowLayout, ANarrowFormsWindowIsWideEnoughForItsTitle) {
    ui::FormLayout layout = qttest::TestLayout();
    layout.caption = "Servo Amplifier Firmware Update (simulated)";
    layout.clientWidth = 5420;
    std::unique_ptr<ui::Window> window = ui::CreatePlatformWindow(layout);
    auto* qtWindow = dynamic_cast<ui::qt::QtWindow*>(window.get());
    ASSERT_NE(qtWindow, nullptr);
    qtWindow->Show();
    QFont bold = QApplication::font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const QWidget* top = qtWindow->TopLevel();
    EXPECT_GE(top->width(), metrics.horizontalAdvance(QString::fromStdString(layout.caption)) +
                                6 * metrics.height());
    const QWidget* form = qtWindow->Form();
    EXPECT_NEAR(form->mapTo(top, QPoint()).x(), (top->width() - form->width()) / 2, 1);
}

TEST(QtWindowLayout, UnknownControlNameIsAProgrammingError) {
    auto window = CreateTestWindow();
    EXPECT_THROW(window->SetText("NoSuchControl", "x"), std::out_of_range);
}

}  // namespace
