// A small form with one control of every kind, and handlers that log what they are given.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "window/FormLayout.h"
#include "window/Window.h"

namespace ui::test {

// 8100 × 9620 twips, the size of the diagnostics window; a frame with two labels, a text field,
// a line, a progress track with its fill, four buttons (the first two cannot take the focus), a
// chooser and a 10 ms timer that starts disabled.
FormLayout SampleForm();

struct LoggingHandlers : FormHandlers {
    std::vector<std::string> log;
    bool agreeToClose = true;
    std::function<void()> onLoad;
    std::function<void(const std::string&)> onClick;
    std::function<void()> onTick;
    int ticks = 0;

    void Form_Load() override;
    void Click(const std::string& control) override;
    void Chosen(const std::string& control, int index) override;
    void Timer_Timer() override;
    bool Form_QueryUnload() override;
    void Form_Unload() override { log.push_back("unload"); }
    void Form_Terminate() override { log.push_back("terminate"); }
};

}  // namespace ui::test
