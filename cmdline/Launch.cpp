#include "cmdline/Launch.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "window/PlatformWindow.h"
#include "window/console/ConsoleWindow.h"

namespace cmdline {

namespace {

std::vector<std::pair<std::string, std::string>> IdentityFields() {
    return {{"Manufacturer", "lblManuf"},
            {"Product", "lblProduct"},
            {"Serial number", "lblSerialNumber"},
            {"Version", "lblVersion"}};
}

}  // namespace

std::optional<int> AnswerCommandLine(const ProgramInfo& info, int argc, char** argv,
                                     const std::string& updateLogPath, Options* options) {
    *options = ParseCommandLine(info, std::vector<std::string>(argv + 1, argv + argc));
    if (options->action != Action::Run || options->noWindow)
        ui::UseParentConsole();
    const std::optional<Answer> answer = AnswerWithoutRunning(info, *options, updateLogPath);
    if (!answer)
        return std::nullopt;
    std::fputs(answer->out.c_str(), stdout);
    std::fputs(answer->err.c_str(), stderr);
    return answer->status;
}

std::unique_ptr<ui::Window> CreateWindowFor(const Options& options, const ui::FormLayout& layout,
                                            ui::ConsoleSetup console) {
    if (options.noWindow)
        return std::make_unique<ui::ConsoleWindow>(layout, std::move(console),
                                                   ui::ProcessConsole());
    if (!ui::CanOpenWindows()) {
        std::fputs(
            "no display: run it in a desktop session, or with xvfb-run for tests "
            "(or use --no-window)\n",
            stderr);
        return nullptr;
    }
    return ui::CreatePlatformWindow(layout);
}

ui::ConsoleSetup UpdaterConsole(const Options& options, const std::string& updateButton) {
    ui::ConsoleSetup setup;
    setup.startControl = updateButton;
    setup.identity = IdentityFields();
    setup.progressControl = "Pic";
    setup.assumeYes = options.yes;
    return setup;
}

ui::ConsoleSetup ServodiagConsole() {
    ui::ConsoleSetup setup;
    setup.identity = IdentityFields();
    return setup;
}

int RunForm(ui::Window& window, ui::FormHandlers& form) {
    const int loopStatus = window.Run(form);
    return loopStatus != 0 ? loopStatus : form.ExitStatus();
}

int RunForm(ui::Window& window, ui::FormHandlers& form,
            std::function<void(const std::string& cause)> interrupted) {
    ui::OnProcessEnding(std::move(interrupted));
    const int status = RunForm(window, form);
    ui::OnProcessEnding(nullptr);
    return status;
}

}  // namespace cmdline
