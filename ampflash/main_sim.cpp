// ampflash-sim: ampflash on a simulated bus (a keyboard, then the servo amplifier, or the devices
// of --sim-devices), in real time, with the image beside this program. Tells on standard error what
// the amplifier (or the base unit's amplifier bootloader) received.
#include "ampflash/Layout.h"
#include "ampflash/frmMain.h"
#include "updater/RunSimulatedUpdater.h"

int main(int argc, char** argv) {
    updater::SimulatedDevices devices;
    devices.alone = updater::SimulatedDevices::Alone::Amplifier;
    devices.amplifier.printSummaryOnReturn = true;
    return updater::RunSimulatedUpdater<ampflash::frmMain>(
        argc, argv, cmdline::Program::Ampflash, ampflash::kProfile, ampflash::AmpflashLayout(),
        "btnUpgradeFW", devices);
}
