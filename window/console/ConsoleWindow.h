// The window realised on a terminal, for --no-window: the same handlers run as in a window, but
// the identity is printed, button captions and the progress go to standard error, the program's
// first action is clicked for the user, and timers tick until the program is interrupted (or the
// reader of its output goes away), a readout redrawn in place or printed a line per tick.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "window/TerminalView.h"
#include "window/Window.h"
#include "window/console/LiveBlock.h"

namespace ui {

// Where the console window reads and writes, and how it waits; tests give their own.
struct ConsoleIo {
    std::ostream& out;
    std::ostream& err;
    std::istream& in;
    bool errIsTerminal = false;  // redraw the progress bar in place instead of a line per 10 %
    std::function<std::int64_t()> nowMs;  // a steady clock
    std::function<void(int ms)> wait;
    // Whether the user asked the program to stop (Ctrl+C, SIGTERM) since the last call.
    std::function<bool()> interrupted;
    // Standard output is a terminal that moves its cursor (the readout is redrawn in place), and
    // shows colours. Neither for a pipe or a file.
    bool outIsTerminal = false;
    bool outHasColours = false;
    // Someone can answer the question: standard input is a terminal.
    bool inIsTerminal = true;
    // Reads the answer, a line without its end: nothing when the input ended or the user
    // interrupted, and then nothing more is read. Unset: a line from `in`.
    std::function<std::optional<std::string>()> readAnswer;
};

// The process's own terminal: standard streams, real waits, and from now on SIGINT, SIGTERM and
// SIGHUP (on Windows Ctrl+C and Ctrl+Break) caught, however often they come, so that they reach
// the program as one close request, which an update defers to its end. On Windows, closing the
// console is such a request too, but Windows ends the process soon after: see OnProcessEnding.
// A reader that goes away (`| head`) makes writes fail instead of killing the process: what is
// left to print is dropped, and the program ends through its handlers too.
ConsoleIo ProcessConsole();

// Run when Windows is about to end the process from outside: its console closed (--no-window), or
// the session ending (the window; a --no-window run hears nothing of it). It gets why ("the console
// was closed"), may run on another thread than the program's, and must end well within the five
// seconds Windows allows. Setting another (or none) waits for one running. Linux ends nothing
// from outside this way: its signals stay close requests.
using ProcessEndingAction = std::function<void(const std::string& cause)>;
void OnProcessEnding(ProcessEndingAction action);
// What Windows' handlers call once they know the process is to end: runs the action set, if any.
void ProcessEnding(const std::string& cause);

class ConsoleWindow : public Window {
  public:
    ConsoleWindow(const FormLayout& layout, ConsoleSetup setup, ConsoleIo io);

    // Asks the question on the terminal; only an answer starting with y or Y is yes. With
    // assumeYes, says so and answers yes without reading. Without a terminal to ask on, or when
    // the input ends or the user interrupts, says "Cancelled" and answers no.
    bool Confirm(const std::string& question, const std::string& acceptCaption) override;
    // A title that changes after the load says what became of the device: it goes to stderr.
    void SetTitle(const std::string& title) override;
    std::string Title() const override { return title_; }
    bool ShowsOnStandardError() const override { return true; }
    // The full text behind a short caption: printed with the caption it explains.
    void SetToolTip(const std::string& control, const std::string& text) override;

    int Run(FormHandlers& handlers) override;
    void Show() override {}
    void SetText(const std::string& control, const std::string& text) override;
    std::string Text(const std::string& control) const override;
    void SetEnabled(const std::string& control, bool enabled) override;
    void SetVisible(const std::string& control, bool visible) override;
    void SetWidth(const std::string& control, double twips) override;
    double Width(const std::string& control) const override;
    void SetBackColor(const std::string& control, ColorRef color) override;
    void Refresh(const std::string& control) override;
    void ProcessEvents() override;
    void ProcessPaintEvents() override {}
    void Unload() override;
    bool IsUnloaded() const override { return unloaded_; }
    // The device is chosen on the command line: a chooser keeps its lines and shows nothing.
    void SetItems(const std::string& control, const std::vector<std::string>& items) override;
    void SetChoice(const std::string& control, int index) override;
    int Choice(const std::string& control) const override { return Find(control).choice; }
    // Numbers on a terminal are read by scripts: always a point.
    std::string DecimalSeparator() const override { return "."; }

  private:
    struct Control {
        const ControlSpec* spec = nullptr;
        std::string text;
        bool enabled = true;
        bool visible = true;
        double width = 0;
        std::size_t items = 0;  // a chooser's line count
        int choice = -1;
    };

    Control& Find(const std::string& name);
    const Control& Find(const std::string& name) const;
    const Control* EnabledTimer() const;
    void RunHandler(const std::function<void()>& handler);
    void DeliverCloseRequest();
    void Terminate();
    void ShowProgress(double twips);
    void EndProgressLine();
    // Before a message on standard error: the progress line ended, the readout taken away (it is
    // drawn again below the message at the next tick).
    void MakeRoomForMessage();
    void ShowReadout();
    // The readout is a block redrawn in place, led by the title and notes while they tell of a
    // state (servodiag's "not responding").
    bool RedrawsReadout() const { return setup_.readout && io_.outIsTerminal; }
    std::vector<LiveField> ReadoutWithState() const;
    void ShowPendingCaption();
    bool IdentityKnown() const;
    std::string IdentityText() const;
    std::string DetailsText() const;

    FormLayout layout_;
    std::string title_;
    ConsoleSetup setup_;
    ConsoleIo io_;
    std::map<std::string, Control> controls_;
    FormHandlers* handlers_ = nullptr;
    int handlerDepth_ = 0;
    bool unloaded_ = false;
    bool terminated_ = false;
    bool closeDelivered_ = false;  // an interruption is one close request
    int shownPercent_ = -1;        // the progress last drawn or printed; -1 when none
    bool progressLineOpen_ = false;
    LiveBlock liveBlock_;
    std::string identityShown_;  // the identity printed last
    // A button's new caption not yet printed: {control, text}.
    std::optional<std::pair<std::string, std::string>> pendingCaption_;
    // Over a live readout, the tooltips of labels, shown in the block: control -> text.
    std::map<std::string, std::string> notes_;
    bool outputClosed_ = false;  // the reader of standard output went away
};

}  // namespace ui
