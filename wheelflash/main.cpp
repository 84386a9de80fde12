// wheelflash: updates the wheel controller's firmware with the image that lies beside it.
#include "hidlink/PlatformApi.h"
#include "wheelflash/Layout.h"
#include "wheelflash/frmMain.h"
#include "window/PlatformWindow.h"

int main() {
    // First, so that every library loaded after it (the window layer's too) comes from the
    // system directory only.
    hidlink::ApiDeclarations& api = hidlink::PlatformApi();
    auto window = ui::CreatePlatformWindow(wheelflash::WheelflashLayout());
    wheelflash::frmMain form(*window, api);
    return window->Run(form);
}
