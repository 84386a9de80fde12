// An update from start to finish by keyboard alone, on the Qt window and the simulated bus: Tab
// reaches the button, Space presses it, and the question is answered by keys.
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
#include "tests/program_windows/ProgramWindowCases.h"
#include "window/PlatformWindow.h"
#include "window/qt/QtWindow.h"

namespace {

// Tab until `widget` has the focus, at most once round the window.
bool TabTo(QWidget* form, QWidget* widget, int controls) {
    for (int i = 0; i <= controls && QApplication::focusWidget() != widget; ++i)
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : form,
                        Qt::Key_Tab);
    return QApplication::focusWidget() == widget;
}

// The question's default is Cancel: Tab to the other button, then Space.
void AcceptQuestionByKeys() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr) << "no question asked";
    const QWidget* cancel = box->defaultButton();
    for (int i = 0; i < 4 && box->focusWidget() == cancel; ++i)
        QTest::keyClick(box->focusWidget(), Qt::Key_Tab);
    QWidget* chosen = box->focusWidget();
    ASSERT_NE(chosen, cancel) << "Tab does not leave Cancel";
    QTest::keyClick(chosen, Qt::Key_Space);
}

TEST(KeyboardUpdate, AmpflashUpdatesByKeysAloneAndSaysHowItGoes) {
    const auto& program = program_windows::ProgramCaseNamed("ampflash");
    const auto directory = std::filesystem::temp_directory_path() /
                           ("ampflash-keys-" + std::to_string(QCoreApplication::applicationPid()));
    std::filesystem::create_directories(directory);
    std::ofstream(directory / ampflash::kImageFileName, std::ios::binary)
        << std::string(6 * 40, '\x5a');

    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    bus.SetProgramDirectory(directory.string());
    program.attachDevices(bus);
    std::unique_ptr<ui::Window> window = ui::CreatePlatformWindow(program.layout());
    auto& qtWindow = dynamic_cast<ui::qt::QtWindow&>(*window);
    std::unique_ptr<ui::FormHandlers> form = program.makeForm(*window, bus);

    QString finalCaption;
    QString progress;
    QTimer::singleShot(0, qtWindow.Form(), [&] {
        QWidget* formWidget = qtWindow.Form();
        QApplication::setActiveWindow(formWidget);
        auto* upgrade = formWidget->findChild<QWidget*>("btnUpgradeFW");
        ASSERT_TRUE(TabTo(formWidget, upgrade, 8)) << "Tab never reaches the upgrade button";
        QTimer::singleShot(0, [] { AcceptQuestionByKeys(); });
        QTest::keyClick(upgrade, Qt::Key_Space);
        finalCaption = qobject_cast<QAbstractButton*>(upgrade)->text();
        progress = formWidget->findChild<QWidget*>("Pic")->accessibleDescription();
        formWidget->close();
    });
    window->Run(*form);
    std::filesystem::remove_all(directory);

    EXPECT_TRUE(finalCaption.contains("Update complete")) << finalCaption.toStdString();
    EXPECT_TRUE(progress.startsWith("Update progress: ")) << progress.toStdString();
}

}  // namespace
