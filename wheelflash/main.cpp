// wheelflash: updates the wheel controller's firmware with the image that lies beside it.
#include "hidlink/PlatformApi.h"
#include "wheelflash/Layout.h"
#include "wheelflash/frmMain.h"
#include "window/PlatformWindow.h"

int main() {
    auto window = ui::CreatePlatformWindow(wheelflash::WheelflashLayout());
    wheelflash::frmMain form(*window, hidlink::PlatformApi());
    return window->Run(form);
}
