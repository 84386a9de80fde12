#include "servodiag/StatusReport.h"

#include "servodiag/NumberText.h"
#include "servodiag/StatusValues.h"

namespace servodiag {

namespace {

std::string VersionText(std::uint8_t major, std::uint8_t minor) {
    return HexText(major) + "." + HexText(minor);
}

}  // namespace

StatusView DecodeStatusReport(const std::uint8_t* b, const std::string& decimalSeparator) {
    const StatusValues values = DecodeStatusValues(b);
    StatusView view;
    view.USBerr = std::to_string(values.usbErrors);
    view.SPIerr = std::to_string(values.spiErrors);

    if (!values.amplifier) {
        // The last angle stays on screen while the amplifier cannot be asked.
        view.amp_fw_ver = view.amp_bl_ver = view.amp_sn = view.motor_model = view.sfd_pos = "";
    } else {
        const AmplifierDetails& a = *values.amplifier;
        view.amp_fw_ver = VersionText(a.firmwareMajor, a.firmwareMinor);
        view.amp_bl_ver = VersionText(a.bootloaderMajor, a.bootloaderMinor);
        view.amp_sn = NumberText(a.serialNumber, decimalSeparator);
        view.motor_model = NumberText(a.motorModel, decimalSeparator);
        view.sfd_pos = NumberText(double(a.positionCounts), decimalSeparator);
        view.Degrees = NumberText(a.degrees, decimalSeparator);
    }

    if (!values.busVolts) {
        view.bus_v = "OFF";
        view.bus_vColor = ui::kRed;
    } else {
        view.bus_v = NumberText(*values.busVolts, decimalSeparator);
        view.bus_vColor = ui::kWhite;
    }

    switch (values.estop) {
        case Estop::Bypassed:
            view.estop = "bypassed";  // the colour of the last known state stays
            break;
        case Estop::Stop:
            view.estop = "STOP";
            view.estopColor = ui::kRed;
            break;
        case Estop::Ok:
            view.estop = "OK";
            view.estopColor = ui::kGreen;
            break;
    }
    return view;
}

}  // namespace servodiag
