// The diagnostics window on screens of several heights and scales: it is never taller than the
// screen has room for, scrolls only when it must, and a control out of view comes into view when
// it takes the focus. Each screen is the offscreen platform's, in an application of its own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

#include "servodiag/StatusChart.h"
#include "tests/qt/ProgramOnQt.h"
#include "window/qt/ChartPanel.h"
#include "window/qt/OffscreenScreen.h"

namespace {

struct Screen {
    int width;
    int height;
    int logicalDpi;  // 144: a scale of 150 %
    bool folded;     // the chart
    bool scrolls;
};

class ServodiagOnScreen : public ::testing::TestWithParam<Screen> {};

TEST_P(ServodiagOnScreen, FitsTheScreenAndBringsTheLastControlIntoView) {
    const Screen& screen = GetParam();
    QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", folder.path().toUtf8());
    qputenv("QT_QPA_PLATFORM",
            ui::qt::OffscreenPlatform(folder.path() + "/screen.json", screen.width, screen.height,
                                      screen.logicalDpi)
                .toUtf8());
    program_windows::ProgramOnQt rig(program_windows::ProgramCaseNamed("servodiag"));

    rig.Open([&] {
        QWidget* form = rig.window->Form();
        auto* window = static_cast<QScrollArea*>(rig.window->TopLevel());
        // Folded and unfolded on the way, so that the window fits again after each.
        auto* chart =
            static_cast<ui::qt::ChartPanel*>(form->findChild<QWidget*>(servodiag::kChartControl));
        chart->SetFolded(!screen.folded);
        chart->SetFolded(screen.folded);

        EXPECT_LE(window->frameGeometry().height(), window->screen()->availableGeometry().height());
        EXPECT_EQ(window->verticalScrollBar()->isVisible(), screen.scrolls);
        if (!screen.scrolls) {
            EXPECT_EQ(window->size(), form->size());
        }

        QWidget* last = nullptr;
        for (QWidget* widget : form->findChildren<QWidget*>()) {
            if (widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus) &&
                widget->focusProxy() == nullptr &&
                (last == nullptr || widget->mapTo(form, widget->rect().bottomLeft()).y() >
                                        last->mapTo(form, last->rect().bottomLeft()).y()))
                last = widget;
        }
        ASSERT_NE(last, nullptr);
        QApplication::setActiveWindow(window);
        last->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        const QRect shown(last->mapTo(window->viewport(), QPoint()), last->size());
        EXPECT_TRUE(window->viewport()->rect().contains(shown)) << last->objectName().toStdString();

        // Values grey out when the device stops answering: the focus leaves the last field above
        // the chart for the chart, and the view must not follow it away from the state line.
        QWidget* first = nullptr;
        const int chartTop = chart->mapTo(form, QPoint()).y();
        for (QWidget* widget : form->findChildren<QWidget*>()) {
            const int top = widget->mapTo(form, QPoint()).y();
            if (widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus) &&
                (widget->inherits("QLabel") || widget->inherits("QLineEdit")) && top < chartTop &&
                (first == nullptr || top > first->mapTo(form, QPoint()).y()))
                first = widget;
        }
        ASSERT_NE(first, nullptr);
        window->verticalScrollBar()->setValue(0);
        first->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        const int scrolled = window->verticalScrollBar()->value();
        rig.window->SetEnabled(first->objectName().toStdString(), false);
        QCoreApplication::processEvents();
        EXPECT_EQ(window->verticalScrollBar()->value(), scrolled);
    });
}

INSTANTIATE_TEST_SUITE_P(
    Screens, ServodiagOnScreen,
    ::testing::Values(Screen{1366, 768, 96, false, true}, Screen{1366, 768, 96, true, false},
                      Screen{1366, 768, 144, true, true}, Screen{1920, 1080, 96, false, false},
                      Screen{1920, 1080, 144, false, true}, Screen{1920, 1080, 144, true, false}));

}  // namespace
