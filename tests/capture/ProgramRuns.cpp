#include "ProgramRuns.h"

#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "servodiag/Layout.h"
#include "servodiag/frmMain.h"
#include "wheelflash/Layout.h"
#include "wheelflash/frmMain.h"
#include "window/headless/HeadlessWindow.h"

namespace capture_test {

namespace {

std::string Finish(ui::HeadlessWindow& window) {
    if (!window.IsUnloaded())
        window.RequestClose();
    std::string seen;
    for (const ui::WindowEvent& e : window.Events())
        seen += e.what + " " + e.control + " " + e.value + "\n";
    return seen;
}

template <class Form>
std::string Update(const ui::FormLayout& layout, const char* button, hidlink::ApiDeclarations& api,
                   const std::string& imagePath) {
    ui::HeadlessWindow window(layout);
    window.AnswerConfirmation = [](const std::string&) { return true; };
    Form form(window, api, imagePath);
    window.Load(form);
    window.Click(button);
    return Finish(window);
}

}  // namespace

std::string RunProgram(Run run, hidlink::ApiDeclarations& api, sim::VirtualClock& clock,
                       const std::string& imagePath) {
    switch (run) {
        case Run::Diagnostics: {
            ui::HeadlessWindow window(servodiag::ServodiagLayout());
            servodiag::frmMain form(window, api);
            window.Load(form);
            for (int tick = 0; tick < 5; ++tick) {
                clock.Advance(200);
                window.Tick();
            }
            return Finish(window);
        }
        case Run::AmplifierUpdate:
            return Update<ampflash::frmMain>(ampflash::AmpflashLayout(), "btnUpgradeFW", api,
                                             imagePath);
        case Run::WheelUpdate:
            return Update<wheelflash::frmMain>(wheelflash::WheelflashLayout(), "Command4", api,
                                               imagePath);
    }
    return {};
}

}  // namespace capture_test
