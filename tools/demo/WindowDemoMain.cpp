// Opens the demo window on the display. "Start transfer" runs a blocking progress loop that keeps
// the window alive through ProcessEvents, as the firmware updaters do; "Close" unloads.
//
//   windowdemo [--grab-screen out.png --after-ms N]
//
// With --grab-screen the demo saves the whole screen after N ms and closes itself: a way to see
// what a real display shows (title bar, fonts, frame) on a machine without a screenshot tool.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "tools/demo/DemoLayout.h"
#include "window/PlatformWindow.h"

namespace {

class DemoHandlers : public ui::FormHandlers {
  public:
    explicit DemoHandlers(ui::Window& window) : window_(window) {}

    void Form_Load() override {
        window_.Show();
        fullWidth_ = window_.Width("Pic");
        demo::FillDemoWindow(window_);
        window_.SetEnabled("Timer", true);
    }
    void Click(const std::string& control) override {
        if (control == "btnClose")
            window_.Unload();
        if (control == "btnStart")
            RunTransfer();
    }
    void Timer_Timer() override {
        ++ticks_;
        window_.SetText("bus_v",
                        std::to_string(24 + ticks_ % 3) + window_.DecimalSeparator() + "0");
    }
    void Form_Unload() override { window_.SetEnabled("Timer", false); }

  private:
    void RunTransfer() {
        window_.SetEnabled("btnStart", false);
        window_.SetText("btnStart", "Updating firmware...");
        for (int step = 0; step <= 100 && !window_.IsUnloaded(); ++step) {
            window_.SetWidth("Pic", fullWidth_ * step / 100);
            window_.Refresh("Pic");
            window_.ProcessEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        window_.SetText("btnStart", "Start transfer");
        window_.SetEnabled("btnStart", true);
    }

    ui::Window& window_;
    double fullWidth_ = 0;
    int ticks_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    std::string grabPath;
    int afterMs = 1500;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--grab-screen")
            grabPath = argv[i + 1];
        if (option == "--after-ms")
            afterMs = std::stoi(argv[i + 1]);
    }

    auto window = ui::CreatePlatformWindow(demo::DemoLayout());
    DemoHandlers handlers(*window);
    if (!grabPath.empty()) {
        QTimer::singleShot(afterMs, [&] {
            const bool saved = QGuiApplication::primaryScreen()->grabWindow(0).save(
                QString::fromStdString(grabPath), "PNG");
            if (!saved)
                std::fprintf(stderr, "windowdemo: cannot write %s\n", grabPath.c_str());
            window->Unload();
        });
    }
    return window->Run(handlers);
}
