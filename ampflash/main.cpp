// ampflash: updates the servo amplifier's firmware from the image beside the program.
#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "hidlink/PlatformApi.h"
#include "window/PlatformWindow.h"

int main() {
    auto window = ui::CreatePlatformWindow(ampflash::AmpflashLayout());
    ampflash::frmMain form(*window, hidlink::PlatformApi());
    return window->Run(form);
}
