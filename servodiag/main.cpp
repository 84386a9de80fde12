// servodiag: diagnostics of the wheel controller on this machine's HID devices.
#include "hidlink/PlatformApi.h"
#include "servodiag/Layout.h"
#include "servodiag/frmMain.h"
#include "window/PlatformWindow.h"

int main() {
    std::unique_ptr<ui::Window> window = ui::CreatePlatformWindow(servodiag::ServodiagLayout());
    servodiag::frmMain form(*window, hidlink::PlatformApi());
    return window->Run(form);
}
