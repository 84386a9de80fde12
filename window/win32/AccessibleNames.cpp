#include "window/win32/AccessibleNames.h"

#include <initguid.h>  // defines CLSID_AccPropServices and the PROPID_ACC_ GUIDs here

#include <oleacc.h>

#include "window/win32/ChartControl.h"
#include "window/win32/Utf16.h"

namespace ui::win32 {

AccessibleNames::AccessibleNames() {
    comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    void* services = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IAccPropServices, &services))) {
        services_ = static_cast<IAccPropServices*>(services);
    }
}

AccessibleNames::~AccessibleNames() {
    if (services_ != nullptr)
        services_->Release();
    if (comStarted_)
        CoUninitialize();
}

void AccessibleNames::SetName(HWND hwnd, const std::string& text) {
    SetProperty(hwnd, PROPID_ACC_NAME, text);
}

void AccessibleNames::SetProperty(HWND hwnd, const GUID& property, const std::string& text) {
    if (services_ == nullptr || hwnd == nullptr)
        return;
    services_->SetHwndPropStr(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property,
                              ToUtf16(text).c_str());
}

void AccessibleNames::Name(const FormLayout& layout, FormControls& controls) {
    layout_ = layout;
    for (const FormControl& c : controls.All()) {
        if (!c.spec.labelledBy.empty() || !c.spec.accessibleName.empty())
            SetName(c.hwnd, AccessibleName(layout_, c.spec));
        if (c.spec.kind == ControlKind::Chart) {
            // The drawing is what takes the focus; the time chooser has no caption beside it.
            SetName(GetDlgItem(c.hwnd, kChartPlot), AccessibleName(layout_, c.spec));
            SetName(GetDlgItem(c.hwnd, kChartSpan), "Time shown");
        }
        // The chooser's caption ("Choose a device") is only drawn in the empty box: a screen
        // reader hears it as the box's description.
        if (c.spec.kind == ControlKind::Chooser)
            SetProperty(c.hwnd, PROPID_ACC_DESCRIPTION, c.text);
    }
}

void AccessibleNames::TextChanged(const FormControl& control) {
    if (control.spec.announced && control.hwnd != nullptr)
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control.hwnd, OBJID_CLIENT, CHILDID_SELF);
}

void AccessibleNames::WidthChanged(const FormControl& control) {
    if (!control.spec.announced || !ShowsValue(control.spec) || control.hwnd == nullptr)
        return;
    if (services_ != nullptr) {
        const std::string value =
            std::to_string(ProgressPercent(control.spec, control.width)) + "%";
        services_->SetHwndPropStr(control.hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                  PROPID_ACC_VALUE, ToUtf16(value).c_str());
    }
    if (progressPacing_.Due(AnnouncementPacing::Clock::now()))
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, control.hwnd, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace ui::win32
