// Finding the kernel's hidraw nodes of the devices the carriers create, and the hidraw nodes the
// test program itself holds open.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kerneltest {

// The hidraw node ("hidraw2") whose HID device has this physical path (uhid devices) and whose
// /dev entry exists, or "".
std::string NodeWithPhys(const std::string& phys);
// The hidraw node whose device lies below a sysfs folder of this name ("dummy_hcd.1": the USB
// bus of one virtual host controller) and whose /dev entry exists, or "".
std::string NodeBelow(const std::string& folderName);
// The HID device folder of a node, as sysfs resolves it now; "" when the node does not exist.
// A device that left the bus and came back has another one, whatever its node's name.
std::string HidDeviceOf(const std::string& node);

// Polls `find` until it returns a node or ten seconds pass; returns the node or "".
std::string WaitForNode(const std::function<std::string()>& find);
// Polls `find` until it returns no node or ten seconds pass; returns whether it did.
bool WaitForNoNode(const std::function<std::string()>& find);
// Polls until the node's sysfs and /dev entries are gone (or ten seconds pass).
void WaitForNodeGone(const std::string& node);

// The hidraw nodes behind this process's open file descriptors, one entry per descriptor.
std::vector<std::string> OpenHidrawNodes();

}  // namespace kerneltest
