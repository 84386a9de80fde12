// The window realised with Qt 6 Widgets: a fixed-size form holding one child widget per control,
// and a QTimer per timer control. The form is the content of a top-level scroll area that is as
// large as the form where the screen has room for it, and scrolls it where the screen is shorter.
// Handlers run on Qt's event loop, one at a time; ProcessEvents() nests the loop inside a handler.
#pragma once

#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "window/Accessibility.h"
#include "window/Window.h"
#include "window/qt/EventPacing.h"

class QApplication;
class QEventLoop;
class QScrollArea;

namespace ui::qt {

class QtWindow : public Window {
  public:
    explicit QtWindow(const FormLayout& layout);
    ~QtWindow() override;

    // The widget that holds the controls; its children carry the control names as object names.
    QWidget* Form() const { return form_; }
    // What the user sees as the window: the form, scrolled when the screen is too short for it.
    QWidget* TopLevel() const;
    double LogicalDpi() const { return dpi_; }

    int Run(FormHandlers& handlers) override;
    void Show() override;
    void SetText(const std::string& control, const std::string& text) override;
    std::string Text(const std::string& control) const override;
    void SetEnabled(const std::string& control, bool enabled) override;
    void SetVisible(const std::string& control, bool visible) override;
    void SetWidth(const std::string& control, double twips) override;
    double Width(const std::string& control) const override;
    void SetBackColor(const std::string& control, ColorRef color) override;
    void Refresh(const std::string& control) override;
    void ProcessEvents() override;
    void ProcessPaintEvents() override;
    void Unload() override;
    bool IsUnloaded() const override { return unloaded_; }
    void SetTitle(const std::string& title) override;
    std::string Title() const override;
    void SetToolTip(const std::string& control, const std::string& text) override;
    bool Confirm(const std::string& question, const std::string& acceptCaption) override;
    void SetItems(const std::string& control, const std::vector<std::string>& items) override;
    void SetChoice(const std::string& control, int index) override;
    int Choice(const std::string& control) const override;
    void AddChartSample(const std::string& control, const ChartSample& sample) override;
    std::string DecimalSeparator() const override;

  private:
    // Input reaches the program within this of being made, unnoticeable to the user.
    static constexpr std::chrono::milliseconds kEventInterval{10};

    struct Control {
        ControlSpec spec;
        QWidget* widget = nullptr;  // owned by the form; null for a timer
        QTimer* timer = nullptr;    // owned by the form; timers only
        std::string text;
        double width = 0;
        std::optional<ColorRef> backColor;
        // Whether the widget changed since Refresh last repainted it; a repaint of an unchanged
        // widget draws the same pixels again (a progress bar moves by a pixel every few records).
        bool changedSinceRefresh = true;
        // Whether Refresh has asked Qt to paint it at the next pass.
        bool updateRequested = false;
        // Where in its parent the widget was before a size change since the last Refresh: the
        // parent must draw that area again, and Refresh draws it and the widget in one pass.
        std::optional<QRect> movedFrom;
        // A size set between two passes, given to the widget at the next one.
        std::optional<QRect> pendingGeometry;
        // The progress percentage its accessible description holds.
        std::optional<int> describedPercent;
    };

    void Realise(const ControlSpec& spec);
    // Gives the widgets the sizes set since the last pass.
    void ApplyPendingGeometries();
    // Names every control for assistive technology, from the layout.
    void NameControls();
    void SetTabOrder();
    void FocusFirstButton();
    // As tall as the form, or as the screen the window is on allows.
    void FitToScreen();
    static int TitleBarWidth(const std::string& title);
    Control& Find(const std::string& name);
    const Control& Find(const std::string& name) const;

    void OnClick(const std::string& control);
    void OnChosen(const std::string& control, int index);
    void OnTimer();
    // Whether the window may close: the user's close request, answered by the program.
    bool OnCloseRequest();

    std::shared_ptr<QApplication> application_;  // declared first: it outlives the widgets
    FormLayout layout_;
    double dpi_ = 96;
    std::unique_ptr<QScrollArea> window_;
    QWidget* form_ = nullptr;  // owned by the window
    std::map<std::string, Control> controls_;
    FormHandlers* handlers_ = nullptr;
    QEventLoop* loop_ = nullptr;  // the loop of Run(), while it runs
    bool unloading_ = false;
    bool unloaded_ = false;
    bool terminated_ = false;
    bool asking_ = false;              // a Confirm question is open: the timers wait
    QMessageBox* question_ = nullptr;  // the open question, while asking_
    bool closeAskedDuringQuestion_ = false;
    EventPacing eventPacing_{kEventInterval};
    AnnouncementPacing progressPacing_;
    // Owned by the form: a pass the event loop makes for pending sizes, in case the program
    // makes none.
    QTimer* geometryPass_ = nullptr;
};

}  // namespace ui::qt
