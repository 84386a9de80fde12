// A bus with several devices on it, for the -sim programs' --sim-devices: the amplifier and the
// wheel controller together, the base unit that holds both, or a bench of several of a kind. Each
// device sits on a port of its own and carries a serial number of its own, so that the programs'
// choice can be tried.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "hidlink/sim/SimulatedBus.h"
#include "simdevices/Amplifier.h"
#include "simdevices/BaseUnit.h"
#include "simdevices/WheelController.h"

namespace simdevices {

// Adds the devices of `kinds` ("amplifier", "controller", "base") in that order, each made from the
// given options with the port "1-N" (N counting from 1) and its own serial number. Returns them in
// the same order.
std::vector<std::shared_ptr<sim::SimDevice>> AddSimulatedDevices(
    sim::SimulatedBus& bus, const std::vector<std::string>& kinds,
    const AmplifierOptions& amplifier, const WheelControllerOptions& controller,
    const BaseUnitOptions& base = {});

}  // namespace simdevices
