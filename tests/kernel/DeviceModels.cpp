// The report layouts the scenarios give each model, and the bystander device.
#include "Scenarios.h"
#include "simdevices/BaseUnit.h"
#include "simdevices/Bystanders.h"
#include "simdevices/WheelController.h"

namespace kerneltest {

std::shared_ptr<sim::SimDevice> HeadsetBystander() {
    std::shared_ptr<sim::SimDevice> headset = simdevices::MakeHeadset();
    headset->MutableDescription().serialNumber = u"HS-7731";
    headset->MutableDescription().featureReportByteLength = 9;
    return headset;
}

ReportIdsOf HeadsetReportIds() {
    return FixedReportIds({1});
}

ReportIdsOf AmplifierReportIds() {
    return FixedReportIds({0x08, 0x40});
}

ReportIdsOf WheelReportIds() {
    return [](const sim::SimDevice& model) {
        const auto& wheel = static_cast<const simdevices::WheelController&>(model);
        if (wheel.CurrentMode() == simdevices::WheelController::Mode::ImageReceiving)
            return std::vector<std::uint8_t>{0x00};
        return std::vector<std::uint8_t>{0x08, 17};
    };
}

ReportIdsOf BaseUnitReportIds() {
    return [](const sim::SimDevice& model) {
        const auto& unit = static_cast<const simdevices::BaseUnit&>(model);
        if (unit.CurrentMode() == simdevices::BaseUnit::Mode::ControllerImage)
            return std::vector<std::uint8_t>{0x00};
        return std::vector<std::uint8_t>{0x08, 17, 0x40};
    };
}

}  // namespace kerneltest
