// The programs never create a QApplication: the first window does, and the last one destroys it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QTimer>

#include "tests/qt/TestLayout.h"

namespace {

// Unloads the window as soon as it has loaded, or leaves it open for someone else to end.
class Unloader : public ui::FormHandlers {
  public:
    explicit Unloader(ui::Window& window, bool unloadAtLoad = true)
        : window_(window), unloadAtLoad_(unloadAtLoad) {}
    void Form_Load() override {
        window_.Show();
        if (unloadAtLoad_)
            window_.Unload();
    }
    void Click(const std::string&) override {}
    void Form_Unload() override { ++unloads; }
    void Form_Terminate() override { ++terminates; }
    int unloads = 0;
    int terminates = 0;

  private:
    ui::Window& window_;
    bool unloadAtLoad_;
};

class QtApplicationLifetime : public ::testing::Test {
  protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        ASSERT_EQ(nullptr, QApplication::instance());
    }
};

TEST_F(QtApplicationLifetime, WindowsShareTheApplicationTheFirstCreatedAndTheLastDestroys) {
    auto first = ui::CreatePlatformWindow(qttest::TestLayout());
    QCoreApplication* application = QApplication::instance();
    ASSERT_NE(nullptr, application);
    auto second = ui::CreatePlatformWindow(qttest::TestLayout());
    EXPECT_EQ(application, QApplication::instance());

    first.reset();
    EXPECT_EQ(application, QApplication::instance());
    second.reset();
    EXPECT_EQ(nullptr, QApplication::instance());
}

TEST_F(QtApplicationLifetime, ProgramRunsOnTheApplicationItsWindowCreated) {
    auto window = ui::CreatePlatformWindow(qttest::TestLayout());
    Unloader handlers(*window);
    EXPECT_EQ(0, window->Run(handlers));
    EXPECT_EQ(1, handlers.unloads);
    EXPECT_EQ(1, handlers.terminates);
    window.reset();
    EXPECT_EQ(nullptr, QApplication::instance());
}

// Last in this file: once told to exit, Qt ends every later event loop of the process at once.
TEST_F(QtApplicationLifetime, ApplicationExitUnloadsTheWindowBeforeRunReturns) {
    auto window = ui::CreatePlatformWindow(qttest::TestLayout());
    Unloader handlers(*window, false);
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    EXPECT_EQ(0, window->Run(handlers));
    EXPECT_TRUE(window->IsUnloaded());
    EXPECT_EQ(1, handlers.unloads);
    EXPECT_EQ(1, handlers.terminates);
}

}  // namespace
