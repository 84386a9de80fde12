// wheelflash-sim: wheelflash on a simulated bus, so the update can be tried without hardware.
// A keyboard enumerates first, then the wheel controller, which drops off the bus after the
// upgrade command and comes back about 1.5 s later waiting for the image; when the program lets
// go of it, it prints what it received on standard error. --sim-devices base puts the base unit
// there instead, which leaves its normal mode (2233) for the same image-receiving mode.
#include "updater/RunSimulatedUpdater.h"
#include "wheelflash/Layout.h"
#include "wheelflash/frmMain.h"

int main(int argc, char** argv) {
    updater::SimulatedDevices devices;
    devices.alone = updater::SimulatedDevices::Alone::Controller;
    devices.controller.productId = 0xB02E;
    devices.controller.leaveAfterMs = 50;
    devices.controller.returnAfterMs = 1500;
    devices.controller.printSummaryOnClose = true;
    return updater::RunSimulatedUpdater<wheelflash::frmMain>(
        argc, argv, cmdline::Program::Wheelflash, wheelflash::kProfile,
        wheelflash::WheelflashLayout(), "Command4", devices);
}
