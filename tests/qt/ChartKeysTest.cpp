// The chart on Qt, by keys alone: Tab reaches it, Space pauses, the arrows, Home and End move the
// cursor, and what it says (its accessible description) follows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "tests/qt/TestLayout.h"
#include "window/PlatformWindow.h"
#include "window/qt/QtWindow.h"

namespace {

ui::FormLayout ChartLayout() {
    ui::FormLayout layout;
    layout.caption = "Chart";
    layout.clientWidth = 8100;
    layout.clientHeight = 4800;
    layout.controls.push_back(
        qttest::Spec("Go", ui::ControlKind::Button, "Go", 120, 120, 1500, 495));
    ui::ControlSpec chart =
        qttest::Spec("chtTest", ui::ControlKind::Chart, "", 120, 720, 7860, 4000);
    chart.chartSeries = {{"Position", "°", ui::ChartSeriesKind::Line, {}}};
    chart.accessibleName = "Status over time";
    layout.controls.push_back(chart);
    return layout;
}

TEST(ChartKeysTest, TabReachesTheChartAndKeysWalkItsSamples) {
    auto window = ui::CreatePlatformWindow(ChartLayout());
    auto& qtWindow = dynamic_cast<ui::qt::QtWindow&>(*window);
    for (int i = 0; i < 100; ++i)
        window->AddChartSample("chtTest", {i * 0.2, {double(i)}, {}, 0});
    window->Show();
    QApplication::setActiveWindow(qtWindow.Form());
    QTest::keyClick(qtWindow.Form()->focusWidget(), Qt::Key_Tab);
    QWidget* plot = QApplication::focusWidget();
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(plot->accessibleName().toStdString(), "Status over time");

    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* says;  // how the description begins
    } steps[] = {
        {Qt::Key_Space, Qt::NoModifier, "At 19.8 s: Position 99 °\n"},
        {Qt::Key_Left, Qt::NoModifier, "At 19.6 s: Position 98 °\n"},
        {Qt::Key_Left, Qt::ShiftModifier, "At 17.6 s: Position 88 °\n"},
        {Qt::Key_Right, Qt::NoModifier, "At 17.8 s: Position 89 °\n"},
        {Qt::Key_Home, Qt::NoModifier, "At 0 s: Position 0 °\n"},
        {Qt::Key_End, Qt::NoModifier, "At 19.8 s: Position 99 °\n"},
        {Qt::Key_Space, Qt::NoModifier, "Position min 0, max 99, mean 49.5 °"},
    };
    for (const auto& step : steps) {
        QTest::keyClick(plot, step.key, step.modifiers);
        EXPECT_TRUE(plot->accessibleDescription().startsWith(step.says))
            << step.says << " / " << plot->accessibleDescription().toStdString();
        // The words under the chart say it too, on as many lines as they take.
        QApplication::processEvents();
        const auto* readout = plot->parentWidget()->findChild<QLabel*>();
        EXPECT_TRUE(readout->isVisible() && readout->text() == plot->accessibleDescription() &&
                    readout->height() >= readout->heightForWidth(readout->width()))
            << step.says;
    }
}

QPushButton* FoldButton(QWidget* form) {
    for (QPushButton* button : form->findChildren<QPushButton*>()) {
        if (button->text().endsWith("chart"))
            return button;
    }
    return nullptr;
}

// Folded, the chart leaves its button's row and the window shrinks by the rest; the next window
// opens as the user left it.
TEST(ChartKeysTest, FoldedAwayTheWindowShrinksAndOpensFoldedNextTime) {
    const struct {
        bool opensFolded;
        bool foldedAfterClick;
    } runs[] = {{false, true}, {true, false}, {false, true}};
    for (const auto& run : runs) {
        auto window = ui::CreatePlatformWindow(ChartLayout());
        auto& qtWindow = dynamic_cast<ui::qt::QtWindow&>(*window);
        QWidget* form = qtWindow.Form();
        const int open = ui::TwipsToPixels(4800, qtWindow.LogicalDpi());
        EXPECT_EQ(form->height() < open - 200, run.opensFolded);
        FoldButton(form)->click();
        EXPECT_EQ(form->height() < open - 200, run.foldedAfterClick);
        if (!run.foldedAfterClick) {
            EXPECT_EQ(form->height(), open);
        }
    }
}

}  // namespace
