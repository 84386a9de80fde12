#include "servodiag/ConsoleSetup.h"

namespace servodiag {

void AddSettingsAndStatus(ui::ConsoleSetup& setup, StatusReadout& readout) {
    // The window's settings list, in its order.
    setup.detailsTitle = "Settings";
    setup.details = {{"Centre offset", "Homing", "counts"},
                     {"Overall damping", "TDamp", ""},
                     {"Overall inertia", "TInertia", ""},
                     {"Overall friction", "TFriction", ""},
                     {"Stops (each side)", "Slimit", "counts"},
                     {"Stops stiffness", "Stiff", ""},
                     {"Stops damping", "Damp", ""},
                     {"Centering spring", "Spring", ""},
                     {"Motor filter", "MotorFilter", ""},
                     {"Input filter", "InputFilter", ""},
                     {"All Effects scale", "OverallScale", "%"},
                     {"Damper Effect scale", "DampingScale", "%"}};
    setup.readout = ui::ConsoleReadout{[&readout] { return readout.Block(); },
                                       [&readout] { return readout.TakeLine(); }};
}

}  // namespace servodiag
