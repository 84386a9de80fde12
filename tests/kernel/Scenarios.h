// The whole flows of the three programs on the kernel's hidraw devices, each with the hidraw
// backend, the headless window and the real clock. Each records its first failure in the verdict.
#pragma once

#include <memory>

#include "ScenarioSupport.h"

namespace kerneltest {

// Discovery through usbhid past another vendor's device, and the four identity labels of each
// program exactly as the gadget describes the device.
void UsbIdentity(Verdict& verdict);
// servodiag's settings and status ticks, decoded to what the wheel controller sent.
void Servodiag(Verdict& verdict, Carrier carrier);
// ampflash's whole update: switch, records, reset, the amplifier gone and back, found again.
void Ampflash(Verdict& verdict, Carrier carrier);
// wheelflash's whole update: upgrade command, the controller back in its image-receiving mode
// with unnumbered reports, records with report ID 0x00.
void Wheelflash(Verdict& verdict, Carrier carrier);
// The device pulled out during an ampflash transfer and during servodiag's ticks.
void Unplug(Verdict& verdict, Carrier carrier);
// Several matching USB devices at once: each update reaches the chosen device and no other.
void TwoDevices(Verdict& verdict);
// wheelflash's whole update on the base unit: the upgrade command to 2233, the unit back as b02e
// on the same port with unnumbered reports, the image; let go of, it is 2233 again.
void BaseUnitWheelflash(Verdict& verdict);

// The models as the scenarios serve them, with the report layout of each mode.
std::shared_ptr<sim::SimDevice> HeadsetBystander();
ReportIdsOf HeadsetReportIds();
ReportIdsOf AmplifierReportIds();
// Numbered reports (8 and 17) in the normal mode, one unnumbered report in image-receiving mode.
ReportIdsOf WheelReportIds();
// The wheel's reports and the amplifier's data report (8, 17, 0x40) in the normal mode and the
// amplifier's bootloader, one unnumbered report while receiving the controller's image.
ReportIdsOf BaseUnitReportIds();

}  // namespace kerneltest
