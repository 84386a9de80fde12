// What every program's main() does around its window: the command line first (--help,
// --version and wrong usage end the program there), then the window the options ask for.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "cmdline/CommandLine.h"
#include "window/FormLayout.h"
#include "window/TerminalView.h"
#include "window/Window.h"

namespace cmdline {

// Parses argv. For --help, --version and wrong usage, prints what they print and returns the
// status to exit with; otherwise fills *options and returns nothing.
std::optional<int> AnswerCommandLine(const ProgramInfo& info, int argc, char** argv,
                                     const std::string& updateLogPath, Options* options);

// The console window for --no-window, else the platform's window. Null, with one line on
// standard error, when there is no display to open a window on.
std::unique_ptr<ui::Window> CreateWindowFor(const Options& options, const ui::FormLayout& layout,
                                            ui::ConsoleSetup console);

// The console setup of the updaters: the identity fields, the progress fill, the button that
// starts the update.
ui::ConsoleSetup UpdaterConsole(const Options& options, const std::string& updateButton);
// servodiag's: the identity fields only.
ui::ConsoleSetup ServodiagConsole();

// Runs the window and returns the status the program exits with.
int RunForm(ui::Window& window, ui::FormHandlers& form);
// The same for an updater: when Windows ends the process from outside meanwhile (its console
// closed, the session ending), `interrupted` runs first, to log the attempt.
int RunForm(ui::Window& window, ui::FormHandlers& form,
            std::function<void(const std::string& cause)> interrupted);

}  // namespace cmdline
