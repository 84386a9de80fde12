// The event model on Qt's loop: load, clicks, ticks, close requests, unload and termination, in
// the order and number the programs rely on. Every test runs the real Run(); a watchdog unloads
// the window if a test would otherwise wait for ever, and the test then fails.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "tests/qt/TestLayout.h"

namespace {

using qttest::Child;
using qttest::CreateTestWindow;

class RecordingHandlers : public ui::FormHandlers {
  public:
    explicit RecordingHandlers(ui::qt::QtWindow& window) : window_(window) {
        QTimer::singleShot(5000, window_.Form(), [this] {
            log.push_back("watchdog");
            window_.Unload();
            // In case the unload itself fails to end the loop. Qt then ends every later loop of
            // this process at once too, but ctest runs each test in a process of its own.
            QCoreApplication::exit(1);
        });
    }

    void Form_Load() override {
        log.push_back("load");
        window_.Show();
        if (onLoad)
            onLoad();
    }
    void Click(const std::string& control) override {
        log.push_back("click " + control);
        if (onClick)
            onClick(control);
    }
    void Chosen(const std::string& control, int index) override {
        log.push_back("chosen " + control + " " + std::to_string(index));
    }
    void Timer_Timer() override {
        ++ticks;
        if (onTick)
            onTick();
    }
    bool Form_QueryUnload() override {
        log.push_back("query");
        return agreeToClose;
    }
    void Form_Unload() override {
        log.push_back("unload");
        if (stopTimerOnUnload)
            window_.SetEnabled("Timer", false);
    }
    void Form_Terminate() override { log.push_back("terminate"); }

    std::function<void()> onLoad;
    std::function<void(const std::string&)> onClick;
    std::function<void()> onTick;
    bool agreeToClose = true;
    bool stopTimerOnUnload = true;
    std::vector<std::string> log;
    int ticks = 0;

  private:
    ui::qt::QtWindow& window_;
};

using Log = std::vector<std::string>;

// Posts a user's click on a button, to be delivered by the event loop.
void PostClick(ui::qt::QtWindow& window, const char* button) {
    QMetaObject::invokeMethod(Child<QAbstractButton>(window, button), "click",
                              Qt::QueuedConnection);
}

TEST(QtWindowEvents, UnloadInsideFormLoadEndsRunWithoutALoop) {
    auto window = CreateTestWindow();
    RecordingHandlers handlers(*window);
    handlers.onLoad = [&] { window->Unload(); };
    EXPECT_EQ(0, window->Run(handlers));
    EXPECT_EQ((Log{"load", "unload", "terminate"}), handlers.log);
    EXPECT_TRUE(window->IsUnloaded());
    EXPECT_TRUE(window->Form()->isHidden());
}

struct ClickCase {
    const char* button;
    bool enable;
    bool delivered;
};

TEST(QtWindowEvents, ClicksReachTheHandlerByNameOnlyOnEnabledButtons) {
    const ClickCase cases[] = {
        {"Go", true, true}, {"Stop", false, false}, {"Disabled", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        auto window = CreateTestWindow();
        RecordingHandlers handlers(*window);
        handlers.onLoad = [&] {
            window->SetEnabled(c.button, c.enable);
            PostClick(*window, c.button);
            QTimer::singleShot(0, window->Form(), [&] { window->Unload(); });
        };
        window->Run(handlers);
        Log expected{"load"};
        if (c.delivered)
            expected.push_back(std::string("click ") + c.button);
        expected.insert(expected.end(), {"unload", "terminate"});
        EXPECT_EQ(expected, handlers.log);
    }
}

struct UserInputCase {
    const char* name;
    std::function<void(QWidget*)> press;
};

TEST(QtWindowEvents, MouseSpaceAndReturnOnTheFocusedButtonClickIt) {
    const UserInputCase cases[] = {
        {"mouse", [](QWidget* b) { QTest::mouseClick(b, Qt::LeftButton); }},
        {"space", [](QWidget* b) { QTest::keyClick(b, Qt::Key_Space); }},
        {"return", [](QWidget* b) { QTest::keyClick(b, Qt::Key_Return); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto window = CreateTestWindow();
        RecordingHandlers handlers(*window);
        handlers.onLoad = [&] {
            QTimer::singleShot(0, window->Form(), [&] { c.press(Child(*window, "Go")); });
        };
        handlers.onClick = [&](const std::string&) { window->Unload(); };
        window->Run(handlers);
        EXPECT_EQ((Log{"load", "click Go", "unload", "terminate"}), handlers.log);
    }
}

struct ChooserCase {
    const char* name;
    std::function<void(ui::qt::QtWindow&, QComboBox*)> act;  // from line 2 chosen by the program
    int choice;
    Log chosen;  // what reached the handler
};

TEST(QtWindowEvents, OnlyTheUsersPickOfAChooserReachesTheHandlerOnce) {
    const std::vector<std::string> lines = {
        "Drivanta v2 Servo Amplifier, serial DV2A-010342, port 1-2", "Wheel", "Bench"};
    auto up = [](QWidget* w) { QTest::keyClick(w, Qt::Key_Up); };
    const ChooserCase cases[] = {
        {"program chooses", [](auto& w, auto*) { w.SetChoice("Device", 1); }, 1, {}},
        {"program chooses none", [](auto& w, auto*) { w.SetChoice("Device", -1); }, -1, {}},
        {"program chooses past the end", [](auto& w, auto*) { w.SetChoice("Device", 3); }, -1, {}},
        {"user moves up", [&](auto&, auto* box) { up(box); }, 1, {"chosen Device 1"}},
        {"user picks in the open list",
         [&](auto& w, auto* box) {
             w.SetChoice("Device", 1), box->showPopup(), up(box->view());
             QTest::keyClick(box->view(), Qt::Key_Return);
         },
         0,
         {"chosen Device 0"}},
        {"user on a disabled chooser",
         [&](auto& w, auto* box) { w.SetEnabled("Device", false), up(box); },
         2,
         {}},
        {"new lines forget the user's pick",
         [&](auto& w, auto* box) { up(box), w.SetItems("Device", lines); },
         -1,
         {"chosen Device 1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto window = CreateTestWindow();
        auto* box = Child<QComboBox>(*window, "Device");
        RecordingHandlers handlers(*window);
        std::string text;
        int listWidth = 0;
        handlers.onLoad = [&] {
            window->SetItems("Device", lines);
            window->SetChoice("Device", 2);
            listWidth = box->view()->minimumWidth();
            QTimer::singleShot(0, window->Form(), [&] {
                c.act(*window, box);
                text = window->Text("Device");
                window->Unload();
            });
        };
        window->Run(handlers);
        EXPECT_EQ(c.choice, window->Choice("Device"));
        EXPECT_EQ(c.choice < 0 ? "Choose a device" : lines[c.choice], text);
        Log expected{"load"};
        expected.insert(expected.end(), c.chosen.begin(), c.chosen.end());
        expected.insert(expected.end(), {"unload", "terminate"});
        EXPECT_EQ(expected, handlers.log);
        // The open list shows the longest line whole, though the closed box is narrower.
        const int longest = box->view()->fontMetrics().horizontalAdvance(lines[0].c_str());
        EXPECT_LT(box->width(), longest);
        EXPECT_GT(listWidth, longest);
    }
}

TEST(QtWindowEvents, TimerTicksWhileEnabledAndNeverAfterUnload) {
    auto window = CreateTestWindow();
    RecordingHandlers handlers(*window);
    handlers.stopTimerOnUnload = false;  // the window must stop it all the same
    handlers.onLoad = [&] { window->SetEnabled("Timer", true); };
    handlers.onTick = [&] {
        if (handlers.ticks == 3)
            window->Unload();
    };
    window->Run(handlers);
    EXPECT_EQ(3, handlers.ticks);
    QTest::qWait(30);
    EXPECT_EQ(3, handlers.ticks);
    EXPECT_EQ((Log{"load", "unload", "terminate"}), handlers.log);
}

TEST(QtWindowEvents, DisabledTimerDoesNotTick) {
    auto window = CreateTestWindow();
    RecordingHandlers handlers(*window);
    handlers.onLoad = [&] {
        window->SetEnabled("Timer", true);
        window->SetEnabled("Timer", false);
        QTimer::singleShot(30, window->Form(), [&] { window->Unload(); });
    };
    window->Run(handlers);
    EXPECT_EQ(0, handlers.ticks);
}

TEST(QtWindowEvents, TickThatProcessesEventsIsNotReenteredByTheNextTick) {
    auto window = CreateTestWindow();
    RecordingHandlers handlers(*window);
    int depth = 0;
    int deepest = 0;
    handlers.onLoad = [&] { window->SetEnabled("Timer", true); };
    handlers.onTick = [&] {
        deepest = std::max(deepest, ++depth);
        for (int i = 0; i < 20; ++i) {
            QTest::qSleep(1);
            window->ProcessEvents();
        }
        --depth;
        if (handlers.ticks == 2)
            window->Unload();
    };
    window->Run(handlers);
    EXPECT_EQ(1, deepest);
    EXPECT_EQ(2, handlers.ticks);
}

TEST(QtWindowEvents, CloseRequestIsDeferredWhileTheProgramRefuses) {
    auto window = CreateTestWindow();
    RecordingHandlers handlers(*window);
    bool firstClosed = true;
    bool visibleAfterRefusal = false;
    handlers.onLoad = [&] {
        QTimer::singleShot(0, window->Form(), [&] {
            handlers.agreeToClose = false;
            firstClosed = window->Form()->close();
            visibleAfterRefusal = window->Form()->isVisible() && !window->IsUnloaded();
            handlers.agreeToClose = true;
            window->Form()->close();
        });
    };
    window->Run(handlers);
    EXPECT_FALSE(firstClosed);
    EXPECT_TRUE(visibleAfterRefusal);
    EXPECT_EQ((Log{"load", "query", "query", "unload", "terminate"}), handlers.log);
}

// The updaters unload from inside a click handler that keeps processing events (a long transfer);
// the window may also be closed by the user while that handler runs.
struct NestedUnloadCase {
    const char* name;
    std::function<void(ui::qt::QtWindow&)> unloadFromInside;
    Log expected;
};

TEST(QtWindowEvents, UnloadInsideNestedProcessEventsEndsRunAfterTheOuterHandlerReturns) {
    const NestedUnloadCase cases[] = {
        {"program unloads in a nested click",
         [](ui::qt::QtWindow& w) { PostClick(w, "Stop"); },
         {"load", "click Go", "click Stop", "unload", "Go returned", "terminate"}},
        {"user closes and the program agrees",
         [](ui::qt::QtWindow& w) {
             QMetaObject::invokeMethod(w.Form(), "close", Qt::QueuedConnection);
         },
         {"load", "click Go", "query", "unload", "Go returned", "terminate"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto window = CreateTestWindow();
        RecordingHandlers handlers(*window);
        std::string textAfterUnload;
        handlers.onLoad = [&] { PostClick(*window, "Go"); };
        handlers.onClick = [&](const std::string& control) {
            if (control == "Stop")
                window->Unload();
            if (control != "Go")
                return;
            c.unloadFromInside(*window);
            for (int i = 0; i < 1000 && !window->IsUnloaded(); ++i)
                window->ProcessEvents();
            window->SetText("lblManuf", "after unload");
            textAfterUnload = window->Text("lblManuf");
            handlers.log.push_back("Go returned");
        };
        EXPECT_EQ(0, window->Run(handlers));
        EXPECT_EQ(c.expected, handlers.log);
        EXPECT_EQ("", textAfterUnload);
    }
}

TEST(QtWindowEvents, OperationsAfterUnloadChangeNothing) {
    auto window = CreateTestWindow();
    RecordingHandlers handlers(*window);
    handlers.onLoad = [&] { window->Unload(); };
    window->Run(handlers);

    QWidget* pic = Child(*window, "Pic");
    const QRect geometry = pic->geometry();
    window->Show();
    window->SetWidth("Pic", 10);
    window->SetVisible("Command1", true);
    window->SetEnabled("Timer", true);
    window->SetText("Go", "changed");
    window->ProcessEvents();
    window->Unload();
    QTest::qWait(20);
    EXPECT_TRUE(window->Form()->isHidden());
    EXPECT_EQ(geometry, pic->geometry());
    EXPECT_DOUBLE_EQ(5055, window->Width("Pic"));
    EXPECT_TRUE(Child(*window, "Command1")->isHidden());
    EXPECT_EQ("Go", window->Text("Go"));
    EXPECT_EQ(0, handlers.ticks);
    EXPECT_EQ((Log{"load", "unload", "terminate"}), handlers.log);
}

}  // namespace
