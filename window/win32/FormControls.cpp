#include "window/win32/FormControls.h"

#include <algorithm>

#include "window/Accessibility.h"
#include "window/chart/FoldMemory.h"
#include "window/win32/ChartControl.h"
#include "window/win32/ChooserBox.h"
#include "window/win32/DisabledButton.h"
#include "window/win32/Utf16.h"

namespace ui::win32 {

namespace {

constexpr int kFirstControlId = 100;  // clear of IDOK and IDCANCEL, which dialog keys send
constexpr int kLineHeightPixels = 2;  // an etched line is two pixels: shadow and highlight

struct WindowRecipe {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

WindowRecipe RecipeFor(const ControlSpec& spec) {
    switch (spec.kind) {
        case ControlKind::Label:
            // A value label is a borderless read-only edit: a static's text cannot be selected.
            if (spec.selectable)
                return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL | ES_READONLY, 0};
            return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
        case ControlKind::TextField:
            // Read-only, not disabled: a disabled edit draws its text grey whatever its colours.
            return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE};
        case ControlKind::Frame:
            // Transparent, so that the form (WS_CLIPCHILDREN) still paints the frame's inside.
            return {L"BUTTON", BS_GROUPBOX, WS_EX_TRANSPARENT};
        case ControlKind::Button:
            return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
        case ControlKind::Line:
            return {L"STATIC", SS_ETCHEDHORZ, 0};
        case ControlKind::PictureBox:
            // A picture box without a colour of its own is a well for others (the progress
            // track): it gets a sunken edge so that it shows on the form.
            return {L"STATIC", SS_LEFT, spec.backColor ? 0u : DWORD(WS_EX_STATICEDGE)};
        case ControlKind::Chooser:
            return {L"COMBOBOX", kChooserStyle, 0};
        case ControlKind::Chart:
            // A container: Tab goes through its buttons and its drawing as through the form's own.
            return {ChartWindowClass(), 0, WS_EX_CONTROLPARENT};
        case ControlKind::Timer:
            break;
    }
    return {nullptr, 0, 0};
}

}  // namespace

std::wstring WindowText(const ControlSpec& spec, const std::string& text) {
    switch (spec.kind) {
        case ControlKind::Chooser:
            return L"";  // its caption is not its window text, which would choose a line
        case ControlKind::Button:
            // Only the button's own caption marks its access key: a status shown on it
            // ("Update complete") has no letter underlined.
            return ToUtf16(MnemonicCaption(text, text == spec.caption ? spec.accessKey : '\0'));
        default:
            return ToUtf16(text);
    }
}

FormControls::FormControls(const FormLayout& layout) : windowName_(layout.iconName) {
    int id = kFirstControlId;
    for (const auto& spec : layout.controls) {
        FormControl c;
        c.spec = spec;
        c.text = spec.caption;
        c.enabled = spec.enabled;
        c.visible = spec.visible;
        c.width = spec.width;
        c.backColor = spec.backColor;
        c.commandId = id++;
        controls_.push_back(std::move(c));
    }
}

FormControl* FormControls::Find(const std::string& name) {
    for (auto& c : controls_) {
        if (c.spec.name == name)
            return &c;
    }
    return nullptr;
}

const FormControl* FormControls::Find(const std::string& name) const {
    return const_cast<FormControls*>(this)->Find(name);
}

FormControl* FormControls::FindByWindow(HWND hwnd) {
    if (hwnd == nullptr)
        return nullptr;
    for (auto& c : controls_) {
        if (c.hwnd == hwnd)
            return &c;
    }
    return nullptr;
}

POINT FormControls::OriginTwips(const FormControl& control) const {
    POINT p{control.spec.left, control.spec.top};
    const FormControl* container = Find(control.spec.container);
    // Bounded by the number of controls, so that a layout with a containment cycle still ends.
    for (size_t depth = 0; container != nullptr && depth < controls_.size(); ++depth) {
        p.x += container->spec.left;
        p.y += container->spec.top;
        container = Find(container->spec.container);
    }
    return p;
}

RECT FormControls::PixelRect(const FormControl& control, int dpi) const {
    POINT origin = OriginTwips(control);
    int left = TwipsToPixels(origin.x, dpi);
    int top = TwipsToPixels(origin.y, dpi);
    int width = TwipsToPixels(control.width > 0 ? control.width : 0, dpi);
    int height = control.spec.kind == ControlKind::Line ? kLineHeightPixels
                                                        : TwipsToPixels(control.spec.height, dpi);
    if (control.spec.kind == ControlKind::Chooser)
        height = ChooserWindowHeight(height);
    return RECT{left, top, left + width, top + height};
}

bool FormControls::IsInside(const FormControl& inner, const FormControl& outer) const {
    const FormControl* container = Find(inner.spec.container);
    for (size_t depth = 0; container != nullptr && depth < controls_.size(); ++depth) {
        if (container == &outer)
            return true;
        container = Find(container->spec.container);
    }
    return false;
}

bool FormControls::EffectivelyVisible(const FormControl& control) const {
    if (!control.visible)
        return false;
    const FormControl* container = Find(control.spec.container);
    for (size_t depth = 0; container != nullptr && depth < controls_.size(); ++depth) {
        if (!container->visible)
            return false;
        container = Find(container->spec.container);
    }
    return true;
}

void FormControls::ApplyVisibility(const FormControl& control) {
    for (auto& c : controls_) {
        if (c.hwnd == nullptr)
            continue;
        if (&c == &control || IsInside(c, control)) {
            ShowWindow(c.hwnd, EffectivelyVisible(c) ? SW_SHOWNA : SW_HIDE);
        }
    }
}

ColorRef FormControls::BackColorOf(const FormControl& control) {
    if (control.backColor)
        return *control.backColor;
    return control.spec.kind == ControlKind::TextField ? kSystemWindowBackground
                                                       : kSystemButtonFace;
}

void FormControls::CreateWindows(HWND form, int dpi, GdiResources& gdi) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    for (auto& c : controls_) {
        WindowRecipe recipe = RecipeFor(c.spec);
        if (recipe.className == nullptr)
            continue;
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS | recipe.style;
        if (EffectivelyVisible(c))
            style |= WS_VISIBLE;
        if (!c.enabled)
            style |= WS_DISABLED;
        RECT r = PixelRect(c, dpi);
        const std::wstring text = WindowText(c.spec, c.text);
        c.hwnd = CreateWindowExW(recipe.exStyle, recipe.className, text.c_str(), style, r.left,
                                 r.top, r.right - r.left, r.bottom - r.top, form,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.commandId)),
                                 instance, nullptr);
        if (c.spec.kind == ControlKind::Line) {
            // An etched static widens itself at creation by its edge; put it back.
            MoveWindow(c.hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
        }
        SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(gdi.Font(c.spec.font)), FALSE);
        if (c.spec.kind == ControlKind::Chart) {
            AttachChart(c.hwnd, c.spec, gdi.Font(c.spec.font),
                        FoldMemoryPath(windowName_ + "-" + c.spec.name));
        }
        // Created as a plain push button and switched as SetEnabled switches one, so that a
        // disabled button comes to the form's drawing one way only.
        if (c.spec.kind == ControlKind::Button && !c.enabled)
            EnablePushButton(c.hwnd, false);
        if (c.spec.kind == ControlKind::Chooser)
            FitChooserClosedHeight(c.hwnd, TwipsToPixels(c.spec.height, dpi));
    }
    Stack();
}

void FormControls::ForgetWindows() {
    for (auto& c : controls_)
        c.hwnd = nullptr;
}

// Sibling order is both drawing order (first = on top, as WS_CLIPSIBLINGS clips the lower ones)
// and tab order. The controls the user works (buttons and choosers) come first, in the order the
// eye reads them: by row, then from the left (a chooser that takes a label's place above the
// buttons is reached before them, wherever the layout lists it). The other controls follow in
// reverse layout order, so a control listed later draws above an earlier one it overlaps (the
// progress fill above its track), except that a caption label goes just before the control it
// names: screen readers name an unnamed control by the static before it. Frames go last, beneath
// what they hold.
void FormControls::Stack() {
    auto worked = [](const FormControl& c) {
        return c.spec.kind == ControlKind::Button || c.spec.kind == ControlKind::Chooser ||
               c.spec.kind == ControlKind::Chart;
    };
    auto isCaption = [this](const FormControl& label) {
        return std::ranges::any_of(
            controls_, [&](const FormControl& c) { return c.spec.labelledBy == label.spec.name; });
    };
    std::vector<const FormControl*> workedInReadingOrder;
    for (auto& c : controls_) {
        if (c.hwnd && worked(c))
            workedInReadingOrder.push_back(&c);
    }
    std::ranges::stable_sort(workedInReadingOrder,
                             [this](const FormControl* a, const FormControl* b) {
                                 const POINT pa = OriginTwips(*a);
                                 const POINT pb = OriginTwips(*b);
                                 return pa.y != pb.y ? pa.y < pb.y : pa.x < pb.x;
                             });
    std::vector<HWND> order;
    order.reserve(controls_.size());
    for (const FormControl* c : workedInReadingOrder)
        order.push_back(c->hwnd);
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        if (!it->hwnd || worked(*it) || it->spec.kind == ControlKind::Frame || isCaption(*it))
            continue;
        const FormControl* caption = Find(it->spec.labelledBy);
        if (caption != nullptr && caption->hwnd != nullptr)
            order.push_back(caption->hwnd);
        order.push_back(it->hwnd);
    }
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        if (it->hwnd && it->spec.kind == ControlKind::Frame)
            order.push_back(it->hwnd);
    }
    for (HWND h : order) {
        SetWindowPos(h, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

}  // namespace ui::win32
