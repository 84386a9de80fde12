// Each program from start to finish by keyboard alone, on the Qt window and the simulated bus:
// the updaters reach their button by Tab or by its access key, the question is answered by keys,
// and the diagnostics window's device is chosen with the arrow keys.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "ampflash/frmMain.h"
#include "tests/qt/ProgramOnQt.h"
#include "wheelflash/frmMain.h"
#include "window/chart/Contrast.h"

namespace {

// Tab until `widget` has the focus, at most once round the window.
bool TabTo(QWidget* form, QWidget* widget, int controls) {
    for (int i = 0; i <= controls && QApplication::focusWidget() != widget; ++i)
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form,
                        Qt::Key_Tab);
    return QApplication::focusWidget() == widget;
}

// The question's default is Cancel: Tab to the other button, then Space.
void AcceptQuestionByKeys(QMessageBox* box) {
    QApplication::setActiveWindow(box);  // as the platform makes a modal window active
    const QWidget* cancel = box->defaultButton();
    for (int i = 0; i < 4 && box->focusWidget() == cancel; ++i)
        QTest::keyClick(box->focusWidget(), Qt::Key_Tab);
    QWidget* chosen = box->focusWidget();
    ASSERT_NE(chosen, cancel) << "Tab does not leave Cancel";
    QTest::keyClick(chosen, Qt::Key_Space);
}

struct KeyboardCase {
    const char* program;
    void (*attachDevices)(sim::SimulatedBus& bus);  // null: the program's own
    const char* control;                            // what the keys reach
    Qt::Key accessKey;                              // with Alt; Key_unknown: reached by Tab
    Qt::Key press;                                  // then pressed on it
    bool asks;                                      // the question follows
    const char* shown;                              // control whose text tells the outcome
    const char* expected;
};

void PrintTo(const KeyboardCase& c, std::ostream* os) {
    *os << c.program;
}

class ByKeysAlone : public ::testing::TestWithParam<KeyboardCase> {};

TEST_P(ByKeysAlone, TheProgramDoesItsWork) {
    const KeyboardCase& c = GetParam();
    const auto directory =
        std::filesystem::temp_directory_path() /
        (std::string(c.program) + "-keys-" + std::to_string(QCoreApplication::applicationPid()));
    std::filesystem::create_directories(directory);
    for (const char* image : {ampflash::kImageFileName, wheelflash::kImageFileName})
        std::ofstream(directory / image, std::ios::binary) << std::string(6 * 40, '\x5a');
    program_windows::ProgramOnQt rig(program_windows::ProgramCaseNamed(c.program), c.attachDevices);
    rig.bus.SetProgramDirectory(directory.string());

    QString shown;
    QString progress;
    double contrast = 0;  // of the outcome's text on its face, as drawn
    rig.Open([&] {
        QWidget* formWidget = rig.window->Form();
        QApplication::setActiveWindow(formWidget);
        auto* target = formWidget->findChild<QWidget*>(c.control);
        ASSERT_NE(target, nullptr);
        // An access key presses its button after a short animation: the question is answered
        // whenever it appears.
        QTimer answerer;
        bool asked = false;
        QObject::connect(&answerer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                answerer.stop();
                asked = true;
                AcceptQuestionByKeys(box);
            }
        });
        answerer.start(5);
        if (c.accessKey != Qt::Key_unknown) {
            QTest::keyClick(formWidget, c.accessKey, Qt::AltModifier);
        } else {
            ASSERT_TRUE(TabTo(formWidget, target, 40)) << "Tab never reaches " << c.control;
            QTest::keyClick(target, c.press);
        }
        const bool done = QTest::qWaitFor([&] {
            return program_windows::ShownText(*rig.window, c.shown).find(c.expected) !=
                   std::string::npos;
        });
        EXPECT_TRUE(done) << "the keys did not get the work done";
        EXPECT_EQ(asked, c.asks);
        shown = QString::fromStdString(program_windows::ShownText(*rig.window, c.shown));
        QWidget* drawn = formWidget->findChild<QWidget*>(c.shown);
        const auto group = drawn->isEnabled() ? QPalette::Active : QPalette::Disabled;
        const auto rgb = [](const QColor& c) { return ui::Rgb(c.red(), c.green(), c.blue()); };
        const QPalette palette = drawn->palette();
        const bool button = qobject_cast<QAbstractButton*>(drawn) != nullptr;
        contrast = ui::ContrastRatio(
            rgb(palette.color(group, button ? QPalette::ButtonText : QPalette::WindowText)),
            rgb(palette.color(group, button ? QPalette::Button : QPalette::Window)));
        progress = formWidget->findChild<QWidget*>("Pic") != nullptr
                       ? formWidget->findChild<QWidget*>("Pic")->accessibleDescription()
                       : QString();
    });
    std::filesystem::remove_all(directory);

    EXPECT_TRUE(shown.contains(c.expected)) << shown.toStdString();
    EXPECT_GE(contrast, ui::kReadableContrast) << "the outcome is drawn too pale to read";
    if (c.asks) {
        EXPECT_TRUE(progress.startsWith("Update progress: ")) << progress.toStdString();
    }
}

void TwoWheels(sim::SimulatedBus& bus) {
    program_windows::AttachWheel(bus, 0x1020);
    simdevices::WheelControllerOptions second;
    second.productId = 0x1020;
    second.serialNumber = u"DV2W-009999";
    second.port = "1-4";
    bus.AddDevice(std::make_shared<simdevices::WheelController>(second));
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ByKeysAlone,
    ::testing::Values(KeyboardCase{"ampflash", nullptr, "btnUpgradeFW", Qt::Key_unknown,
                                   Qt::Key_Space, true, "btnUpgradeFW", "Update complete"},
                      KeyboardCase{"wheelflash", nullptr, "Command4", Qt::Key_U, Qt::Key_unknown,
                                   true, "Command2", "Update complete"},
                      KeyboardCase{"servodiag", TwoWheels, "cboDevice", Qt::Key_unknown,
                                   Qt::Key_Down, false, "lblSerialNumber", "DV2W-009999"}),
    [](const auto& info) { return std::string(info.param.program); });

}  // namespace
