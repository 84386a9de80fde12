// What every program's main() does around its window: the command line first (--help,
// --version and wrong usage end the program there), then the window the options ask for.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cmdline/CommandLine.h"
#include "hidlink/ApiDeclarations.h"
#include "hidlink/DeviceChooser.h"
#include "hidlink/HidLink.h"
#include "window/FormLayout.h"
#include "window/Window.h"
#include "window/console/ConsoleWindow.h"

namespace cmdline {

// Parses argv. For --help, --version and wrong usage, prints what they print and returns the
// status to exit with; otherwise fills *options and returns nothing.
std::optional<int> AnswerCommandLine(const ProgramInfo& info, int argc, char** argv,
                                     const std::string& updateLogPath, Options* options);

// The device named by --serial and --port.
hidlink::DeviceSelector SelectorOf(const Options& options);

// What the device options settle before any window opens. --list prints the devices the profile
// and the selector accept, one per line, and ends (status 3 when there is none). Without a
// window, several devices that the program could take are refused: they are listed and the
// program ends with status 2 rather than guess. A --serial or --port that names none of the
// devices present is said, with those present; it ends the program (status 3) unless it
// waitsForDevice (servodiag, which shows the device once it is plugged in). Nothing when the
// program goes on.
std::optional<int> SettleDeviceOptions(const Options& options, hidlink::ApiDeclarations& api,
                                       const hidlink::DeviceProfile& profile,
                                       bool waitsForDevice = false);

// The console window for --no-window, else the platform's window. Null, with one line on
// standard error, when there is no display to open a window on.
std::unique_ptr<ui::Window> CreateWindowFor(const Options& options, const ui::FormLayout& layout,
                                            ui::ConsoleSetup console);

// The console setup of the updaters: the identity block, the progress fill, the button that
// starts the update.
ui::ConsoleSetup UpdaterConsole(const Options& options, const std::string& updateButton);
// servodiag's: the identity block only.
ui::ConsoleSetup ServodiagConsole();

// Runs the window and returns the status the program exits with.
int RunForm(ui::Window& window, ui::FormHandlers& form);

}  // namespace cmdline
