// servodiag: diagnostics of the wheel controller on this machine's HID devices.
#include "hidlink/PlatformApi.h"
#include "servodiag/Layout.h"
#include "servodiag/frmMain.h"
#include "window/PlatformWindow.h"

int main() {
    // First, so that every library loaded after it (the window layer's too) comes from the
    // system directory only.
    hidlink::ApiDeclarations& api = hidlink::PlatformApi();
    std::unique_ptr<ui::Window> window = ui::CreatePlatformWindow(servodiag::ServodiagLayout());
    servodiag::frmMain form(*window, api);
    return window->Run(form);
}
