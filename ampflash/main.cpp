// ampflash: updates the servo amplifier's firmware from the image beside the program.
#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "hidlink/PlatformApi.h"
#include "window/PlatformWindow.h"

int main() {
    // First, so that every library loaded after it (the window layer's too) comes from the
    // system directory only.
    hidlink::ApiDeclarations& api = hidlink::PlatformApi();
    auto window = ui::CreatePlatformWindow(ampflash::AmpflashLayout());
    ampflash::frmMain form(*window, api);
    return window->Run(form);
}
