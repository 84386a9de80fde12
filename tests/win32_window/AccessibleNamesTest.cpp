// The three programs' windows as an MSAA client reads them (oleacc's AccessibleObjectFromWindow):
// every value control is named by its caption, or by the name the layout gives it. Wine (8.0)
// names a control by the static before it but serves no annotated names (the chooser, the
// progress fill): those are checked on Windows only.
#include <gtest/gtest.h>
#include <windows.h>

#include <oleacc.h>

#include <string>

#include "tests/program_windows/ProgramWindowCases.h"
#include "window/Accessibility.h"
#include "window/win32/Win32Window.h"

namespace {

struct Msaa {
    std::string name;
    long role = 0;
    long state = 0;
};

Msaa ReadMsaa(HWND hwnd) {
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&accessible)))) {
        return {"<no IAccessible>"};
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    Msaa out;
    if (SUCCEEDED(accessible->get_accName(self, &name)) && name != nullptr) {
        char utf8[512] = {};
        WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8, sizeof utf8, nullptr, nullptr);
        out.name = utf8;
        SysFreeString(name);
    }
    VARIANT role;
    VARIANT state;
    VariantInit(&role);
    VariantInit(&state);
    if (SUCCEEDED(accessible->get_accRole(self, &role)) && role.vt == VT_I4)
        out.role = role.lVal;
    if (SUCCEEDED(accessible->get_accState(self, &state)) && state.vt == VT_I4)
        out.state = state.lVal;
    accessible->Release();
    return out;
}

bool UnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The program's window, loaded on a bus without devices.
class MsaaNames : public ::testing::TestWithParam<program_windows::ProgramCase> {
  protected:
    void SetUp() override {
        window.Load(*form);
        ASSERT_NE(window.FormHandle(), nullptr) << "no desktop: run under xvfb-run";
    }
    void TearDown() override { SendMessageW(window.FormHandle(), WM_CLOSE, 0, 0); }

    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    const ui::FormLayout layout = GetParam().layout();
    ui::win32::Win32Window window{layout};
    std::unique_ptr<ui::FormHandlers> form = GetParam().makeForm(window, bus);
};

TEST_P(MsaaNames, EveryValueControlIsNamedAsTheLayoutSays) {
    for (const ui::ControlSpec& spec : layout.controls) {
        if (!ui::ShowsValue(spec) || (spec.labelledBy.empty() && UnderWine()))
            continue;
        const std::string name = ReadMsaa(window.ControlHandle(spec.name)).name;
        EXPECT_EQ(name, ui::AccessibleName(layout, spec)) << spec.name;
    }
}

// A disabled button is drawn by the form, yet still reads as an unavailable push button named by
// its caption. Wine (8.0) gives every button the client role: the role is checked on Windows.
TEST_P(MsaaNames, ADisabledButtonStaysAnUnavailablePushButton) {
    for (const ui::ControlSpec& spec : layout.controls) {
        if (spec.kind != ui::ControlKind::Button)
            continue;
        window.SetEnabled(spec.name, false);
        const Msaa button = ReadMsaa(window.ControlHandle(spec.name));
        EXPECT_EQ(button.name, window.Text(spec.name)) << spec.name;
        EXPECT_NE(button.state & STATE_SYSTEM_UNAVAILABLE, 0) << spec.name;
        if (!UnderWine()) {
            EXPECT_EQ(button.role, ROLE_SYSTEM_PUSHBUTTON) << spec.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, MsaaNames, ::testing::ValuesIn(program_windows::ProgramCases()),
                         program_windows::CaseName);

}  // namespace
