#include "window/qt/QtWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTextDocument>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <stdexcept>
#include <utility>

#include "window/qt/AccessibleControls.h"
#include "window/qt/ChartPanel.h"
#include "window/qt/Chooser.h"
#include "window/qt/ControlFactory.h"
#include "window/qt/QtApplication.h"
#include "window/qt/WindowIcon.h"

namespace ui::qt {

namespace {

void AnswerClose(QCloseEvent* event, const std::function<bool()>& mayClose) {
    if (mayClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

// The form hands close requests made of it (a signal, a script) to the window, which asks the
// program.
class FormWidget : public QWidget {
  public:
    explicit FormWidget(std::function<bool()> mayClose) : mayClose_(std::move(mayClose)) {}

  protected:
    void closeEvent(QCloseEvent* event) override { AnswerClose(event, mayClose_); }

  private:
    std::function<bool()> mayClose_;
};

// The top-level window: the user's close requests go the form's way, and it fits itself again
// once its frame and its screen are known, and whenever either may have changed.
class ScrolledWindow : public QScrollArea {
  public:
    ScrolledWindow(std::function<bool()> mayClose, std::function<void()> fit)
        : mayClose_(std::move(mayClose)), fit_(std::move(fit)) {}

  protected:
    void closeEvent(QCloseEvent* event) override { AnswerClose(event, mayClose_); }
    bool event(QEvent* event) override {
        const bool handled = QScrollArea::event(event);
        if (event->type() == QEvent::Show || event->type() == QEvent::Move ||
            event->type() == QEvent::ScreenChangeInternal)
            fit_();
        return handled;
    }

  private:
    std::function<bool()> mayClose_;
    std::function<void()> fit_;
};

double ScreenLogicalDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
}

}  // namespace

QtWindow::QtWindow(const FormLayout& layout) : application_(AcquireApplication()), layout_(layout) {
    dpi_ = ScreenLogicalDpi();
    window_ = std::make_unique<ScrolledWindow>([this] { return OnCloseRequest(); },
                                               [this] { FitToScreen(); });
    form_ = new FormWidget([this] { return OnCloseRequest(); });
    // The title on the form too: it is what the program's own code and its tests look at.
    for (QWidget* widget : {static_cast<QWidget*>(window_.get()), form_})
        widget->setWindowTitle(QString::fromStdString(layout_.caption));
    window_->setWindowIcon(SteeringWheelIcon(layout_.iconName));
    form_->setFixedSize(TwipsToPixels(layout_.clientWidth, dpi_),
                        TwipsToPixels(layout_.clientHeight, dpi_));
    // Where it fits, nothing tells the window from the form alone: no frame, no bar, and no stop
    // for Tab.
    window_->setFrameShape(QFrame::NoFrame);
    window_->setFocusPolicy(Qt::NoFocus);
    window_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A window widened for its title keeps the form in its middle.
    window_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    window_->setWidget(form_);
    for (const auto& spec : layout_.controls)
        Realise(spec);
    NameControls();
    SetTabOrder();
    geometryPass_ = new QTimer(form_);
    geometryPass_->setSingleShot(true);
    geometryPass_->setInterval(0);
    QObject::connect(geometryPass_, &QTimer::timeout, form_, [this] { ApplyPendingGeometries(); });
    // The keyboard can reach a control out of view: it is brought into view.
    QObject::connect(qApp, &QApplication::focusChanged, form_, [this](QWidget*, QWidget* now) {
        if (now != nullptr && form_->isAncestorOf(now))
            window_->ensureWidgetVisible(now);
    });
    FitToScreen();
}

QWidget* QtWindow::TopLevel() const {
    return window_.get();
}

void QtWindow::FitToScreen() {
    int room = form_->height();
    if (const QScreen* screen = window_->screen()) {
        const QWindow* handle = window_->windowHandle();
        const QMargins frame = handle != nullptr ? handle->frameMargins() : QMargins();
        room = screen->availableGeometry().height() - frame.top() - frame.bottom();
    }
    const bool scrolls = form_->height() > room;
    window_->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const int bar = scrolls ? window_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr,
                                                            window_->verticalScrollBar())
                            : 0;
    window_->setFixedSize(std::max(form_->width() + bar, TitleBarWidth(layout_.caption)),
                          std::min(form_->height(), room));
}

// Wide enough for the title the window opens with beside the title bar's icon and buttons (the
// updaters' forms are narrower than "Servo Amplifier Firmware Update (simulated)" needs).
int QtWindow::TitleBarWidth(const std::string& title) {
    QFont font = QApplication::font();
    font.setBold(true);  // as many window managers draw titles: the wider measure
    const QFontMetrics metrics(font);
    constexpr int kIconAndButtonsInLines = 8;
    return metrics.horizontalAdvance(QString::fromStdString(title)) +
           kIconAndButtonsInLines * metrics.height();
}

// The window owns the form, which owns every widget and timer; destroying it stops the timers.
QtWindow::~QtWindow() = default;

// Containers first, so that a control always lands inside its frame whatever the layout's order.
void QtWindow::Realise(const ControlSpec& spec) {
    if (controls_.contains(spec.name))
        return;
    QWidget* parent = form_;
    if (!spec.container.empty()) {
        const ControlSpec* container = layout_.Find(spec.container);
        if (container == nullptr)
            throw std::out_of_range("no frame named " + spec.container);
        Realise(*container);
        parent = controls_.at(spec.container).widget;
    }
    Control control{
        spec, nullptr, nullptr, spec.caption, double(spec.width), spec.backColor, true, false,
        {},   {},      {}};
    if (spec.kind == ControlKind::Timer) {
        control.timer = new QTimer(form_);
        control.timer->setObjectName(QString::fromStdString(spec.name));
        control.timer->setInterval(spec.intervalMs);
        QObject::connect(control.timer, &QTimer::timeout, form_, [this] { OnTimer(); });
        if (spec.enabled)
            control.timer->start();
    } else {
        control.widget = CreateControlWidget(spec, parent, dpi_, layout_.iconName);
        if (spec.kind == ControlKind::Button) {
            QObject::connect(static_cast<QAbstractButton*>(control.widget),
                             &QAbstractButton::clicked, form_,
                             [this, name = spec.name] { OnClick(name); });
        }
        if (spec.kind == ControlKind::Chart) {
            // The chart stands at the form's foot: the form takes its change of height, no other
            // control moves, and the window fits the new height to the screen.
            auto* chart = static_cast<ChartPanel*>(control.widget);
            chart->heightChanged = [this](int change) {
                form_->setFixedHeight(form_->height() + change);
                FitToScreen();
            };
            chart->FoldAsRemembered();
        }
        if (spec.kind == ControlKind::Chooser) {
            // activated comes from the user only; the program's own changes do not emit it.
            QObject::connect(static_cast<QComboBox*>(control.widget), &QComboBox::activated, form_,
                             [this, name = spec.name](int index) { OnChosen(name, index); });
        }
    }
    controls_.emplace(spec.name, std::move(control));
}

void QtWindow::NameControls() {
    for (const auto& spec : layout_.controls) {
        QWidget* widget = controls_.at(spec.name).widget;
        if (widget == nullptr)
            continue;
        auto caption = controls_.find(spec.labelledBy);
        NameControl(layout_, spec, widget,
                    caption != controls_.end() ? caption->second.widget : nullptr);
    }
}

// The layout's order is the reading order: Tab follows it.
void QtWindow::SetTabOrder() {
    QWidget* previous = nullptr;
    for (const auto& spec : layout_.controls) {
        QWidget* widget = controls_.at(spec.name).widget;
        if (widget == nullptr || widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous != nullptr)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void QtWindow::FocusFirstButton() {
    for (const auto& spec : layout_.controls) {
        if (spec.kind != ControlKind::Button)
            continue;
        QWidget* button = controls_.at(spec.name).widget;
        if (button->isVisibleTo(form_) && button->isEnabled()) {
            button->setFocus(Qt::ActiveWindowFocusReason);
            return;
        }
    }
}

QtWindow::Control& QtWindow::Find(const std::string& name) {
    auto it = controls_.find(name);
    if (it == controls_.end())
        throw std::out_of_range("no control named " + name);
    return it->second;
}

const QtWindow::Control& QtWindow::Find(const std::string& name) const {
    auto it = controls_.find(name);
    if (it == controls_.end())
        throw std::out_of_range("no control named " + name);
    return it->second;
}

int QtWindow::Run(FormHandlers& handlers) {
    if (handlers_ != nullptr)
        return 0;
    handlers_ = &handlers;
    handlers.Form_Load();
    if (!unloaded_) {
        QEventLoop loop;
        loop_ = &loop;
        loop.exec();
        loop_ = nullptr;
    }
    // The loop also ends when the application is told to exit: the program still gets its unload.
    Unload();
    // An unload from inside a nested ProcessEvents only asks the loop to end; exec() returns
    // once every handler that was running has returned, so the program terminates exactly once.
    if (!terminated_) {
        terminated_ = true;
        handlers.Form_Terminate();
    }
    return 0;
}

void QtWindow::Show() {
    if (unloaded_)
        return;
    window_->show();
    window_->activateWindow();
    FocusFirstButton();
}

void QtWindow::SetText(const std::string& control, const std::string& text) {
    if (unloaded_)
        return;
    Control& c = Find(control);
    // The same text again would only repaint the control: a status tick sets every field. An
    // edit box the user has typed in shows other text, and takes the program's again.
    const bool edited = c.spec.kind == ControlKind::TextField &&
                        static_cast<const QLineEdit*>(c.widget)->isModified();
    if (text == c.text && !edited)
        return;
    c.text = text;
    if (c.widget != nullptr) {
        ApplyText(c.widget, c.spec, text);
        c.changedSinceRefresh = true;
        AnnounceText(layout_, c.spec, c.widget, text);
    }
}

std::string QtWindow::Text(const std::string& control) const {
    const Control& c = Find(control);
    if (c.spec.kind == ControlKind::TextField && !unloaded_) {
        return static_cast<const QLineEdit*>(c.widget)->text().toStdString();
    }
    // A chooser reads as the line chosen; with none, as its caption, which it then shows.
    if (c.spec.kind == ControlKind::Chooser && !unloaded_) {
        const auto* chooser = static_cast<const QComboBox*>(c.widget);
        if (chooser->currentIndex() >= 0)
            return chooser->currentText().toStdString();
    }
    return c.text;
}

void QtWindow::SetEnabled(const std::string& control, bool enabled) {
    if (unloaded_)
        return;
    Control& c = Find(control);
    if (c.timer != nullptr) {
        if (enabled && !c.timer->isActive())
            c.timer->start();
        if (!enabled)
            c.timer->stop();
        return;
    }
    // Disabling the focused control hands the focus on, and the scroll area follows the focus
    // (to the chart, far below): the view stays where it was, the state line in sight.
    QScrollBar* across = window_->horizontalScrollBar();
    QScrollBar* down = window_->verticalScrollBar();
    const int acrossBefore = across->value();
    const int downBefore = down->value();
    c.widget->setEnabled(enabled);
    across->setValue(acrossBefore);
    down->setValue(downBefore);
}

void QtWindow::SetVisible(const std::string& control, bool visible) {
    if (unloaded_)
        return;
    Control& c = Find(control);
    if (c.widget != nullptr) {
        c.widget->setVisible(visible);
        c.changedSinceRefresh = true;
    }
}

// The width is kept as given, not as the pixels it became, so that a program reading it back
// (the progress display's full width) gets exactly its design value.
void QtWindow::SetWidth(const std::string& control, double twips) {
    if (unloaded_)
        return;
    Control& c = Find(control);
    c.width = twips;
    if (c.widget == nullptr)
        return;
    AnnounceProgress(layout_, c.spec, c.widget, twips, progressPacing_, c.describedPercent);
    const QRect geometry = ControlGeometry(c.spec, twips, dpi_);
    if (geometry == c.pendingGeometry.value_or(c.widget->geometry()))
        return;
    c.pendingGeometry = geometry;
    c.changedSinceRefresh = true;
    // A new size makes Qt draw the parent's area again: between two passes it waits for the
    // next, so that one paint shows every size set meanwhile.
    if (eventPacing_.IsDue(EventPacing::Clock::now())) {
        ApplyPendingGeometries();
    } else if (!geometryPass_->isActive()) {
        geometryPass_->start();
    }
}

void QtWindow::ApplyPendingGeometries() {
    geometryPass_->stop();
    if (unloaded_)
        return;
    for (auto& [name, c] : controls_) {
        c.updateRequested = false;  // Qt paints what was asked at this pass
        if (!c.pendingGeometry)
            continue;
        if (*c.pendingGeometry != c.widget->geometry()) {
            if (!c.movedFrom)
                c.movedFrom = c.widget->geometry();
            c.widget->setGeometry(*c.pendingGeometry);
        } else if (c.changedSinceRefresh) {
            c.widget->update();  // back to its size: Refresh left the paint to the size change
        }
        c.pendingGeometry.reset();
    }
}

double QtWindow::Width(const std::string& control) const {
    return Find(control).width;
}

void QtWindow::SetBackColor(const std::string& control, ColorRef color) {
    if (unloaded_)
        return;
    Control& c = Find(control);
    if (c.widget == nullptr || c.backColor == color)
        return;
    c.backColor = color;
    ApplyBackColor(c.widget, c.spec.kind, color);
    c.changedSinceRefresh = true;
}

void QtWindow::Refresh(const std::string& control) {
    if (unloaded_)
        return;
    Control& c = Find(control);
    if (c.widget == nullptr || !c.changedSinceRefresh)
        return;
    // Between two passes of ProcessEvents the change waits for the next one, which paints every
    // change since in one go; it stays marked, so a Refresh with no pass after it paints it.
    if (!eventPacing_.IsDue(EventPacing::Clock::now())) {
        // Once is enough: Qt keeps the area marked until it paints, and each call costs a walk
        // of the widget's parents, after every record of a transfer. A size waiting for the next
        // pass needs none: giving it to the widget marks the old area and the new.
        if (!c.updateRequested && !c.pendingGeometry)
            c.widget->update();
        c.updateRequested = !c.pendingGeometry;
        return;
    }
    ApplyPendingGeometries();
    // After a size change the parent has its old area to draw again as well: drawn here with
    // the widget, in one pass, rather than the widget now and all of it again later.
    QWidget* parent = c.widget->parentWidget();
    if (c.movedFrom && parent != nullptr && c.widget->isVisible())
        parent->repaint(c.movedFrom->united(c.widget->geometry()));
    else
        c.widget->repaint();
    c.movedFrom.reset();
    c.changedSinceRefresh = false;
    c.updateRequested = false;
}

void QtWindow::ProcessEvents() {
    if (unloaded_ || !eventPacing_.Due(EventPacing::Clock::now()))
        return;
    ApplyPendingGeometries();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtWindow::ProcessPaintEvents() {
    if (unloaded_)
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtWindow::Unload() {
    if (unloaded_ || unloading_)
        return;
    unloading_ = true;
    if (handlers_ != nullptr)
        handlers_->Form_Unload();
    unloaded_ = true;
    for (auto& [name, control] : controls_) {
        if (control.timer != nullptr)
            control.timer->stop();
    }
    window_->hide();
    form_->hide();  // to whoever holds the form, it reads as hidden too
    if (loop_ != nullptr)
        loop_->exit(0);
}

void QtWindow::SetTitle(const std::string& title) {
    if (unloaded_)
        return;
    for (QWidget* widget : {static_cast<QWidget*>(window_.get()), form_})
        widget->setWindowTitle(QString::fromStdString(title));
}

std::string QtWindow::Title() const {
    return window_->windowTitle().toStdString();
}

void QtWindow::SetToolTip(const std::string& control, const std::string& text) {
    if (unloaded_)
        return;
    Control& c = Find(control);
    // Qt takes a tooltip that looks like markup for rich text, and these quote devices and
    // files: such a text is turned into markup that shows it as it is.
    const QString plain = QString::fromStdString(text);
    if (c.widget != nullptr)
        c.widget->setToolTip(Qt::mightBeRichText(plain) ? Qt::convertFromPlainText(plain) : plain);
}

bool QtWindow::Confirm(const std::string& question, const std::string& acceptCaption) {
    if (unloaded_)
        return false;
    QMessageBox box(QMessageBox::Question, form_->windowTitle(), QString::fromStdString(question),
                    QMessageBox::NoButton, form_);
    box.setTextFormat(Qt::PlainText);
    // Tab goes between the two answers only; the text stays selectable with the mouse, and a
    // screen reader reads it with the question. The row of answers is a named group.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPushButton* accept = box.addButton(QString::fromStdString(acceptCaption).replace('&', "&&"),
                                        QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    if (auto* answers = box.findChild<QDialogButtonBox*>()) {
        answers->setAccessibleName("Answers");
        answers->setFocusPolicy(Qt::NoFocus);  // the group itself is no stop of its own
    }
    // Both answers take the focus whatever the platform theme says of buttons in a dialog.
    accept->setFocusPolicy(Qt::StrongFocus);
    cancel->setFocusPolicy(Qt::StrongFocus);
    box.setEscapeButton(cancel);
    asking_ = true;
    question_ = &box;
    box.exec();
    question_ = nullptr;
    asking_ = false;
    if (std::exchange(closeAskedDuringQuestion_, false)) {
        // Asked again once the handler that asked has returned, having started nothing.
        // (A close of a window already unloaded is answered yes and does nothing more.)
        QMetaObject::invokeMethod(window_.get(), "close", Qt::QueuedConnection);
        return false;
    }
    return box.clickedButton() == accept;
}

void QtWindow::SetItems(const std::string& control, const std::vector<std::string>& items) {
    if (unloaded_)
        return;
    Control& c = Find(control);
    if (c.spec.kind != ControlKind::Chooser)
        return;
    SetChooserItems(static_cast<QComboBox*>(c.widget), items);
    c.changedSinceRefresh = true;
}

void QtWindow::SetChoice(const std::string& control, int index) {
    if (unloaded_)
        return;
    Control& c = Find(control);
    if (c.spec.kind != ControlKind::Chooser)
        return;
    SetChooserChoice(static_cast<QComboBox*>(c.widget), index);
    c.changedSinceRefresh = true;
}

int QtWindow::Choice(const std::string& control) const {
    const Control& c = Find(control);
    if (c.spec.kind != ControlKind::Chooser)
        return -1;
    return static_cast<const QComboBox*>(c.widget)->currentIndex();
}

void QtWindow::AddChartSample(const std::string& control, const ChartSample& sample) {
    if (unloaded_)
        return;
    Control& c = Find(control);
    if (c.spec.kind == ControlKind::Chart)
        static_cast<ChartPanel*>(c.widget)->Add(sample);
}

std::string QtWindow::DecimalSeparator() const {
    return QLocale::system().decimalPoint().toStdString();
}

void QtWindow::OnClick(const std::string& control) {
    if (unloaded_ || handlers_ == nullptr)
        return;
    handlers_->Click(control);
}

// Delivered as a click is: the event loop runs it, nested inside a handler that processes events,
// and never once the window is gone.
void QtWindow::OnChosen(const std::string& control, int index) {
    if (unloaded_ || handlers_ == nullptr)
        return;
    handlers_->Chosen(control, index);
}

// Qt never activates a timer again while its previous tick is still being handled, so a tick
// that processes events is not re-entered by the next one. While a question is open its modal
// loop still delivers timer events: they are passed over, so nothing changes behind the question.
void QtWindow::OnTimer() {
    if (unloaded_ || unloading_ || asking_ || handlers_ == nullptr)
        return;
    handlers_->Timer_Timer();
}

bool QtWindow::OnCloseRequest() {
    if (unloaded_)
        return true;
    if (unloading_)
        return false;
    // A close (a signal) while the question is open cancels it: unloading now would leave the
    // asking handler to act on a device already let go of.
    if (question_ != nullptr) {
        closeAskedDuringQuestion_ = true;
        question_->reject();
        return false;
    }
    if (handlers_ != nullptr && !handlers_->Form_QueryUnload())
        return false;
    Unload();
    return true;
}

}  // namespace ui::qt
