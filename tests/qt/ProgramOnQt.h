// One program in its Qt window on the simulated bus, run as its main() runs it, with a hook
// inside the event loop once the load has returned; and what a control shows, whatever its kind.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <stdexcept>

#include "tests/program_windows/ProgramWindowCases.h"
#include "window/PlatformWindow.h"
#include "window/qt/QtWindow.h"

namespace program_windows {

inline std::unique_ptr<ui::qt::QtWindow> CreateQtWindow(const ui::FormLayout& layout) {
    std::unique_ptr<ui::Window> window = ui::CreatePlatformWindow(layout);
    auto* qtWindow = dynamic_cast<ui::qt::QtWindow*>(window.get());
    if (qtWindow == nullptr)
        throw std::logic_error("the platform window is not the Qt window");
    window.release();
    return std::unique_ptr<ui::qt::QtWindow>(qtWindow);
}

// What the widget itself shows, whatever its kind.
inline std::string ShownText(const ui::qt::QtWindow& window, const char* control) {
    QWidget* widget = window.Form()->findChild<QWidget*>(control);
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text().toStdString();
    if (auto* field = qobject_cast<QLineEdit*>(widget))
        return field->text().toStdString();
    // Without the marks of its access key: "&Upgrade Firmware" shows "Upgrade Firmware".
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text().remove(QRegularExpression("&(?=.)")).toStdString();
    if (auto* frame = qobject_cast<QGroupBox*>(widget))
        return frame->title().toStdString();
    return "<no text control " + std::string(control) + ">";
}

// The program's counted handlers, with a hook for the moment its load has returned.
class LoadedHandlers : public CountingHandlers {
  public:
    using CountingHandlers::CountingHandlers;
    void Form_Load() override {
        CountingHandlers::Form_Load();
        if (afterLoad)
            afterLoad();
    }
    std::function<void()> afterLoad;
};

// One program in its window on the simulated bus. Open() runs the program as its main() does;
// `whileOpen` runs inside the event loop, after the load, and then the user closes the window.
struct ProgramOnQt {
    // attachDevices: other devices than the program's own.
    explicit ProgramOnQt(const ProgramCase& program,
                         void (*attachDevices)(sim::SimulatedBus& bus) = nullptr)
        : window(CreateQtWindow(program.layout())),
          form(program.makeForm(*window, bus)),
          handlers(*form) {
        (attachDevices ? attachDevices : program.attachDevices)(bus);
    }

    int Open(const std::function<void()>& whileOpen) {
        bool opened = false;
        // Queued when the load returns, not before: a load that draws its window delivers the
        // events queued by then.
        handlers.afterLoad = [&] {
            QTimer::singleShot(0, window->Form(), [&] {
                opened = true;
                whileOpen();
                window->Form()->close();
            });
        };
        const int exitCode = window->Run(handlers);
        EXPECT_TRUE(opened) << "the window closed before it could be looked at";
        return exitCode;
    }

    // Lets the window's own timer deliver one more tick.
    bool WaitForTick() {
        const int before = handlers.ticks;
        return QTest::qWaitFor([&] { return handlers.ticks > before; }, 5000);
    }

    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    std::unique_ptr<ui::qt::QtWindow> window;
    std::unique_ptr<ui::FormHandlers> form;
    LoadedHandlers handlers;
};

}  // namespace program_windows
