// The window operations for what the program says beyond its controls: the title, a control's
// tooltip, and a question in the platform's message box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "tests/qt/TestLayout.h"

namespace {

using qttest::Child;
using qttest::CreateTestWindow;

TEST(QtWindowTexts, TitleAndToolTipAreSetReadBackAndCleared) {
    auto window = CreateTestWindow();
    window->SetTitle("Test window \u2014 no device");
    EXPECT_EQ(window->Form()->windowTitle(), QString::fromUtf8("Test window \u2014 no device"));
    EXPECT_EQ(window->Title(), "Test window \u2014 no device");

    window->SetToolTip("Go", "Cannot read image file: Is a directory");
    EXPECT_EQ(Child(*window, "Go")->toolTip(), "Cannot read image file: Is a directory");
    EXPECT_EQ(Child(*window, "Stop")->toolTip(), "") << "only the control named";
    window->SetToolTip("Go", "");
    EXPECT_EQ(Child(*window, "Go")->toolTip(), "");
}

// What the user does in the message box, and what Confirm must return.
struct AnswerCase {
    const char* name;
    std::function<void(QMessageBox&)> answer;
    bool accepted;
};

class QtConfirm : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(QtConfirm, AsksInAMessageBoxWhoseDefaultIsCancel) {
    auto window = CreateTestWindow();
    window->SetTitle("Firmware Update");
    QString title, text, defaultButton;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr) << "no message box open";
        title = box->windowTitle();
        text = box->text();
        defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        for (QAbstractButton* b : box->buttons())
            buttons << b->text();
        GetParam().answer(*box);
    });

    const bool accepted = window->Confirm("Flash 12,000 bytes into the amplifier?", "Update");

    EXPECT_EQ(accepted, GetParam().accepted);
    EXPECT_EQ(title, "Firmware Update");
    EXPECT_EQ(text, "Flash 12,000 bytes into the amplifier?");
    EXPECT_EQ(defaultButton, "Cancel");
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"Cancel", "Update"}));
}

QAbstractButton* ButtonCalled(QMessageBox& box, const QString& caption) {
    for (QAbstractButton* b : box.buttons()) {
        if (b->text() == caption)
            return b;
    }
    return nullptr;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, QtConfirm,
    ::testing::Values(
        AnswerCase{"ReturnTakesTheDefault",
                   [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, false},
        AnswerCase{"EscapeCancels", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); },
                   false},
        AnswerCase{"CancelClicked", [](QMessageBox& box) { ButtonCalled(box, "Cancel")->click(); },
                   false},
        AnswerCase{"UpdateClicked", [](QMessageBox& box) { ButtonCalled(box, "Update")->click(); },
                   true}),
    [](const auto& info) { return std::string(info.param.name); });

// The program asks during its load with the timer running: no tick may run behind the question.
class AskingHandlers : public ui::FormHandlers {
  public:
    explicit AskingHandlers(ui::Window& window) : window_(window) {}
    void Form_Load() override {
        window_.SetEnabled("Timer", true);  // every millisecond
        QTimer::singleShot(0, [] {
            QTest::qWait(50);  // the question stays open while the event loop turns
            QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
        });
        window_.Confirm("Go on?", "Update");
        ticksWhileAsking = ticks;
        window_.Unload();
    }
    void Click(const std::string&) override {}
    void Timer_Timer() override { ++ticks; }
    void Form_Unload() override {}

    int ticks = 0;
    int ticksWhileAsking = -1;

  private:
    ui::Window& window_;
};

TEST(QtConfirmWhileTimed, NoTickRunsWhileTheQuestionIsOpen) {
    auto window = CreateTestWindow();
    AskingHandlers handlers(*window);
    window->Run(handlers);
    EXPECT_EQ(handlers.ticksWhileAsking, 0);
}

// A signal while the question is open closes the form as the close button does: the question
// is cancelled, the window stays loaded until the asking handler has returned, then closes.
class InterruptedHandlers : public ui::FormHandlers {
  public:
    explicit InterruptedHandlers(ui::Window& window, QWidget* form)
        : window_(window), form_(form) {}
    void Form_Load() override {
        QTimer::singleShot(0, [this] {
            form_->close();  // what the signal's handler does
            // Whoever answers now answers a question no longer open.
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->buttons().front()->click();
        });
        accepted = window_.Confirm("Go on?", "Update");
        unloadedWhileAsking = unloaded;
    }
    void Click(const std::string&) override {}
    void Form_Unload() override { unloaded = true; }

    bool accepted = true;
    bool unloaded = false;
    bool unloadedWhileAsking = true;

  private:
    ui::Window& window_;
    QWidget* form_;
};

TEST(QtConfirmInterrupted, ASignalCancelsTheQuestionAndClosesAfterIt) {
    auto window = CreateTestWindow();
    InterruptedHandlers handlers(*window, window->Form());
    window->Run(handlers);
    EXPECT_FALSE(handlers.accepted);
    EXPECT_FALSE(handlers.unloadedWhileAsking);
    EXPECT_TRUE(handlers.unloaded);
}

}  // namespace
