#include "window/console/ConsoleWindow.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "common/EscapedText.h"
#include "window/console/OutputTerminal.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#define DRIVANTA_ISATTY(fd) _isatty(fd)
#define DRIVANTA_FILENO(f) _fileno(f)
#else
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#define DRIVANTA_ISATTY(fd) isatty(fd)
#define DRIVANTA_FILENO(f) fileno(f)
#endif

namespace ui {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

// What must be done before the process is ended from outside (ProcessEndingAction); held while
// it runs, so that it is never cleared under a running action.
std::mutex endingActionLock;
ProcessEndingAction endingAction;

#ifdef _WIN32
// The C runtime's SIGINT handler is reset after one Ctrl+C, and the second kills the process:
// the console's own handler stays. Closing the console ends the process within about five seconds
// whatever the handler does: the action says how the update ended, or how far it got, and the
// process then ends as Windows wants. Runs on a thread of its own while the update goes on.
// Logging off and shutting down never reach this handler in a program that loads user32, as these
// do: the window hears of them instead (WM_ENDSESSION).
BOOL WINAPI RequestStop(DWORD event) {
    stopRequested = 1;
    if (event == CTRL_CLOSE_EVENT)
        ProcessEnding("the console was closed");
    return TRUE;
}

void CatchCloseRequests() {
    SetConsoleCtrlHandler(RequestStop, TRUE);
}

// _isatty() is true for any character device, NUL too: only a console can be asked.
bool InputIsTerminal() {
    DWORD mode = 0;
    // The handle the C runtime reads from, which is the borrowed console's after a reopen.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdin)));
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

// A console read ends on Ctrl+C; the flag tells it from an answer.
std::optional<std::string> ReadAnswer() {
    std::string line;
    if (stopRequested != 0 || !std::getline(std::cin, line) || stopRequested != 0)
        return std::nullopt;
    return line;
}
#else
extern "C" void RequestStop(int /*signal*/) {
    stopRequested = 1;
}

void CatchCloseRequests() {
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a read under way returns at once
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool InputIsTerminal() {
    return isatty(STDIN_FILENO) != 0;
}

// A byte at a time, straight from the descriptor, and looking at the stop flag between waits of
// at most 50 ms: nothing typed after an interruption is read, nor anything past the line.
std::optional<std::string> ReadAnswer() {
    std::string line;
    while (stopRequested == 0) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        const int ready = poll(&input, 1, 50);
        if (ready < 0 && errno != EINTR)
            return std::nullopt;
        if (ready <= 0 || stopRequested != 0)
            continue;
        char c = 0;
        const ssize_t got = read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return std::nullopt;
        if (c == '\n')
            return line;
        line += c;
    }
    return std::nullopt;
}
#endif

constexpr int kBarWidth = 30;

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

// Labels carry the layout's padding; a terminal shows the value alone.
std::string Trimmed(const std::string& text) {
    if (IsBlank(text))
        return "";
    const std::size_t first = text.find_first_not_of(" \t");
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// "Switching to bootloader..." growing a dot a second is one message, not one per second.
// A caption cut short ("Cannot read image file..."), and the whole text it was cut from.
bool Shortens(const std::string& caption, const std::string& whole) {
    const std::string ellipsis = "...";
    if (caption.size() < ellipsis.size() ||
        caption.compare(caption.size() - ellipsis.size(), ellipsis.size(), ellipsis) != 0)
        return false;
    const std::size_t kept = caption.size() - ellipsis.size();
    return whole.size() > kept && whole.compare(0, kept, caption, 0, kept) == 0;
}

bool OnlyAddsDots(const std::string& before, const std::string& after) {
    return after.size() > before.size() && after.compare(0, before.size(), before) == 0 &&
           after.find_first_not_of('.', before.size()) == std::string::npos;
}

}  // namespace

void OnProcessEnding(ProcessEndingAction action) {
    const std::lock_guard<std::mutex> lock(endingActionLock);
    endingAction = std::move(action);
}

void ProcessEnding(const std::string& cause) {
    const std::lock_guard<std::mutex> lock(endingActionLock);
    if (endingAction)
        endingAction(cause);
}

ConsoleIo ProcessConsole() {
    CatchCloseRequests();
    const auto wait = [](int ms) {
        // In short slices, so that Ctrl+C ends a wait at once.
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (stopRequested == 0 && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    const auto now = [] {
        return std::int64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now().time_since_epoch())
                                .count());
    };
    const OutputTerminal outTerminal = StandardOutputTerminal();
    return ConsoleIo{std::cout,
                     std::cerr,
                     std::cin,
                     DRIVANTA_ISATTY(DRIVANTA_FILENO(stderr)) != 0,
                     now,
                     wait,
                     [] { return stopRequested != 0; },
                     outTerminal.movesCursor,
                     outTerminal.colours,
                     InputIsTerminal(),
                     ReadAnswer};
}

ConsoleWindow::ConsoleWindow(const FormLayout& layout, ConsoleSetup setup, ConsoleIo io)
    : layout_(layout), title_(layout.caption), setup_(std::move(setup)), io_(std::move(io)) {
    for (const ControlSpec& spec : layout_.controls) {
        Control& c = controls_[spec.name];
        c.spec = &spec;
        c.text = spec.caption;
        c.enabled = spec.enabled;
        c.visible = spec.visible;
        c.width = spec.width;
    }
}

ConsoleWindow::Control& ConsoleWindow::Find(const std::string& name) {
    auto it = controls_.find(name);
    if (it == controls_.end())
        throw std::out_of_range("no control named " + name);
    return it->second;
}

const ConsoleWindow::Control& ConsoleWindow::Find(const std::string& name) const {
    return const_cast<ConsoleWindow*>(this)->Find(name);
}

bool ConsoleWindow::Confirm(const std::string& question, const std::string& acceptCaption) {
    ShowPendingCaption();
    MakeRoomForMessage();
    // The question quotes the device's own strings: each line escaped, the line breaks kept.
    std::size_t start = 0;
    for (std::size_t end; (end = question.find('\n', start)) != std::string::npos; start = end + 1)
        io_.err << common::EscapedForTerminal(question.substr(start, end - start)) << "\n";
    io_.err << common::EscapedForTerminal(question.substr(start)) << "\n";
    // Interrupted before the question (--yes would not look again): nothing may start after it.
    if (io_.interrupted()) {
        io_.err << "Interrupted.\nCancelled.\n" << std::flush;
        return false;
    }
    if (setup_.assumeYes) {
        io_.err << "Answered yes (--yes).\n";
        return true;
    }
    if (!io_.inIsTerminal) {
        io_.err << "Cannot ask: standard input is not a terminal (--yes answers for a script).\n"
                << "Cancelled.\n"
                << std::flush;
        return false;
    }
    io_.err << acceptCaption << "? [y/N] " << std::flush;
    std::optional<std::string> answer;
    if (io_.readAnswer) {
        answer = io_.readAnswer();
    } else if (std::string line; std::getline(io_.in, line)) {
        answer = line;
    }
    if (!answer) {
        io_.err << "\nCancelled.\n" << std::flush;
        return false;
    }
    const bool yes = !answer->empty() && ((*answer)[0] == 'y' || (*answer)[0] == 'Y');
    if (!yes)
        io_.err << "Cancelled.\n" << std::flush;
    return yes;
}

int ConsoleWindow::Run(FormHandlers& handlers) {
    handlers_ = &handlers;
    RunHandler([&] { handlers.Form_Load(); });
    identityShown_ = IdentityText();
    io_.out << identityShown_ << DetailsText() << std::flush;

    // Interrupted before it started, the program's action does not start at all.
    if (!unloaded_ && !setup_.startControl.empty() && !io_.interrupted()) {
        const Control& start = Find(setup_.startControl);
        if (start.enabled && start.visible)
            RunHandler([&] { handlers.Click(setup_.startControl); });
    }
    // Nobody is left to click: the program goes on while a timer runs, until it is interrupted.
    // Ticks keep their cadence however long a handler takes, as a window's timer does.
    std::int64_t nextTick = io_.nowMs();
    while (!unloaded_) {
        // A reader gone away (`| head`) ends the program as Ctrl+C does.
        if (outputClosed_ || io_.interrupted()) {
            if (!closeDelivered_)
                DeliverCloseRequest();
            break;
        }
        const Control* timer = EnabledTimer();
        if (timer == nullptr)
            break;
        nextTick = std::max(nextTick + timer->spec->intervalMs, io_.nowMs());
        io_.wait(static_cast<int>(nextTick - io_.nowMs()));
        if (!io_.interrupted() && EnabledTimer() != nullptr) {
            RunHandler([&] { handlers.Timer_Timer(); });
            ShowReadout();
        }
    }
    // Outside every handler nothing is left to wait for: a close still open ends here.
    Unload();
    ShowPendingCaption();
    EndProgressLine();
    const std::string identityNow = IdentityText();
    if (identityNow != identityShown_)
        io_.out << "Now:\n" << identityNow << std::flush;
    return 0;
}

void ConsoleWindow::RunHandler(const std::function<void()>& handler) {
    ++handlerDepth_;
    handler();
    ShowPendingCaption();
    if (--handlerDepth_ == 0 && unloaded_)
        Terminate();
}

void ConsoleWindow::DeliverCloseRequest() {
    closeDelivered_ = true;
    if (handlers_ != nullptr && !unloaded_ && handlers_->Form_QueryUnload())
        Unload();
}

void ConsoleWindow::Unload() {
    if (unloaded_)
        return;
    if (handlers_ != nullptr)
        handlers_->Form_Unload();
    unloaded_ = true;
    if (handlerDepth_ == 0)
        Terminate();
}

void ConsoleWindow::Terminate() {
    if (terminated_ || handlers_ == nullptr)
        return;
    terminated_ = true;
    handlers_->Form_Terminate();
}

const ConsoleWindow::Control* ConsoleWindow::EnabledTimer() const {
    for (const auto& [name, c] : controls_) {
        if (c.spec->kind == ControlKind::Timer && c.enabled && c.spec->intervalMs > 0)
            return &c;
    }
    return nullptr;
}

void ConsoleWindow::SetText(const std::string& control, const std::string& text) {
    if (unloaded_)
        return;
    Control& c = Find(control);
    const std::string before = c.text;
    c.text = text;
    // A button's own caption ("Upgrade Firmware") is no news; its other texts say what happens.
    if (c.spec->kind != ControlKind::Button || text == before || OnlyAddsDots(before, text) ||
        IsBlank(text) || text == c.spec->caption) {
        return;
    }
    ShowPendingCaption();
    // Held back until nothing more can come with it: a shortened caption's whole text follows
    // in its tooltip, and only that is printed.
    pendingCaption_ = {control, text};
}

void ConsoleWindow::ShowPendingCaption() {
    if (!pendingCaption_)
        return;
    const std::string text = std::exchange(pendingCaption_, std::nullopt)->second;
    MakeRoomForMessage();
    io_.err << text << "\n" << std::flush;
}

void ConsoleWindow::SetTitle(const std::string& title) {
    if (unloaded_ || title == title_)
        return;
    title_ = title;
    // The title the window opens with says nothing yet; over a live readout the title is its
    // first line, redrawn in place rather than piled up above it at each change.
    if (handlers_ == nullptr || RedrawsReadout())
        return;
    MakeRoomForMessage();
    io_.err << title << "\n" << std::flush;
}

void ConsoleWindow::SetToolTip(const std::string& control, const std::string& text) {
    if (unloaded_)
        return;
    const Control& c = Find(control);
    if (RedrawsReadout() && c.spec->kind != ControlKind::Button) {
        notes_[control] = text == c.text ? "" : text;
        return;
    }
    if (pendingCaption_ && pendingCaption_->first == control && Shortens(c.text, text)) {
        pendingCaption_->second = text;
        return;
    }
    if (text.empty() || text == c.text)
        return;
    ShowPendingCaption();
    MakeRoomForMessage();
    io_.err << "  " << text << "\n" << std::flush;
}

void ConsoleWindow::SetItems(const std::string& control, const std::vector<std::string>& items) {
    Control& c = Find(control);
    c.items = items.size();
    c.choice = -1;
}

void ConsoleWindow::SetChoice(const std::string& control, int index) {
    Control& c = Find(control);
    c.choice = index >= 0 && static_cast<std::size_t>(index) < c.items ? index : -1;
}

std::string ConsoleWindow::Text(const std::string& control) const {
    return Find(control).text;
}

void ConsoleWindow::SetEnabled(const std::string& control, bool enabled) {
    if (!unloaded_)
        Find(control).enabled = enabled;
}

void ConsoleWindow::SetVisible(const std::string& control, bool visible) {
    if (unloaded_)
        return;
    Find(control).visible = visible;
    if (!visible && control == setup_.progressControl)
        EndProgressLine();
}

void ConsoleWindow::SetWidth(const std::string& control, double twips) {
    if (unloaded_)
        return;
    Find(control).width = twips;
    if (control == setup_.progressControl)
        ShowProgress(twips);
}

double ConsoleWindow::Width(const std::string& control) const {
    return Find(control).width;
}

void ConsoleWindow::SetBackColor(const std::string& control, ColorRef /*color*/) {
    Find(control);
}

void ConsoleWindow::Refresh(const std::string& control) {
    Find(control);
}

void ConsoleWindow::ProcessEvents() {
    ShowPendingCaption();
    if (!unloaded_ && !closeDelivered_ && io_.interrupted())
        DeliverCloseRequest();
}

void ConsoleWindow::ShowProgress(double twips) {
    ShowPendingCaption();  // the words that go with the bar come before it
    const double full = Find(setup_.progressControl).spec->width;
    if (twips <= 0 || full <= 0) {
        EndProgressLine();
        shownPercent_ = -1;
        return;
    }
    const int percent = std::clamp(static_cast<int>(twips / full * 100 + 1e-9), 0, 100);
    if (io_.errIsTerminal) {
        if (percent == shownPercent_)
            return;
        const int filled = percent * kBarWidth / 100;
        io_.err << "\r[" << std::string(filled, '#') << std::string(kBarWidth - filled, '.') << "] "
                << percent << " %" << std::flush;
        progressLineOpen_ = true;
        shownPercent_ = percent;
        return;
    }
    const int tenth = percent / 10 * 10;
    if (tenth == 0 || tenth <= shownPercent_)
        return;
    io_.err << "progress " << tenth << " %\n" << std::flush;
    shownPercent_ = tenth;
}

void ConsoleWindow::EndProgressLine() {
    if (!progressLineOpen_)
        return;
    io_.err << "\n" << std::flush;
    progressLineOpen_ = false;
}

void ConsoleWindow::MakeRoomForMessage() {
    EndProgressLine();
    io_.out << liveBlock_.Erase() << std::flush;
}

void ConsoleWindow::ShowReadout() {
    if (!setup_.readout || unloaded_)
        return;
    // A device found after the start is shown at once, as the window shows it.
    if (IdentityKnown() && IdentityText() != identityShown_) {
        MakeRoomForMessage();
        identityShown_ = IdentityText();
        io_.out << identityShown_ << DetailsText();
    }
    if (RedrawsReadout()) {
        io_.out << liveBlock_.Redraw(ReadoutWithState(), io_.outHasColours);
    } else {
        const std::string line = setup_.readout->line();
        if (line.empty())
            return;
        io_.out << line << '\n';
    }
    io_.out.flush();
    outputClosed_ = outputClosed_ || !io_.out;
}

namespace {

// The block is redrawn by moving up one row per line: a line the terminal wraps would leave a
// copy behind each time, so long lines are folded at word breaks to fit an 80-column terminal.
constexpr std::size_t kBlockColumns = 78;

void PushFolded(std::vector<LiveField>& fields, const std::string& text,
                const std::string& indent) {
    std::string line;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && indent.size() + line.size() + 1 + word.size() > kBlockColumns) {
            fields.push_back({"", indent + line, std::nullopt, false});
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    if (!line.empty())
        fields.push_back({"", indent + line, std::nullopt, false});
}

}  // namespace

std::vector<LiveField> ConsoleWindow::ReadoutWithState() const {
    std::vector<LiveField> fields;
    if (title_ != layout_.caption)
        PushFolded(fields, title_, "");
    for (const auto& [control, note] : notes_) {
        if (!note.empty())
            PushFolded(fields, note, "  ");
    }
    for (LiveField& field : setup_.readout->block())
        fields.push_back(std::move(field));
    return fields;
}

bool ConsoleWindow::IdentityKnown() const {
    return std::any_of(setup_.identity.begin(), setup_.identity.end(),
                       [&](const auto& row) { return !Trimmed(Find(row.second).text).empty(); });
}

std::string ConsoleWindow::IdentityText() const {
    if (!IdentityKnown())
        return "No device found.\n";
    std::size_t titleWidth = 0;
    for (const auto& [title, control] : setup_.identity)
        titleWidth = std::max(titleWidth, title.size());
    std::string text;
    for (const auto& [title, control] : setup_.identity) {
        text += title;
        text += ':';
        text.append(titleWidth + 2 - title.size(), ' ');
        text += common::EscapedForTerminal(Trimmed(Find(control).text));
        text += '\n';
    }
    return text;
}

std::string ConsoleWindow::DetailsText() const {
    // Without a device the fields hold the window's placeholders, not values.
    if (setup_.details.empty() || !IdentityKnown())
        return "";
    const auto valueOf = [&](const ConsoleDetail& detail) {
        const std::string value = Trimmed(Find(detail.control).text);
        return detail.unit.empty() ? value : value + " " + detail.unit;
    };
    std::string text = setup_.detailsTitle + ":";
    if (!io_.outIsTerminal) {
        // One line, so that `| head` still reaches the readings.
        for (std::size_t i = 0; i < setup_.details.size(); ++i)
            text +=
                (i == 0 ? " " : ", ") + setup_.details[i].title + " " + valueOf(setup_.details[i]);
        return text + "\n";
    }
    std::size_t titleWidth = 0;
    for (const ConsoleDetail& detail : setup_.details)
        titleWidth = std::max(titleWidth, detail.title.size());
    text += '\n';
    for (const ConsoleDetail& detail : setup_.details) {
        text += "  " + detail.title + ':';
        text.append(titleWidth + 2 - detail.title.size(), ' ');
        text += valueOf(detail) + '\n';
    }
    return text;
}

}  // namespace ui
