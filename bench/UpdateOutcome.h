// Whether an update the bench timed did its job: a figure taken from one that did not is no
// figure of the program's speed (a wait for a device that never came back, a window closed by
// the bench's own timer), and is reported as not measured, with this reason.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct UpdateOutcome {
    std::size_t writtenBytes = 0;             // the image file's size, as the bench wrote it
    std::vector<std::uint8_t> sentImage;      // the image file's bytes, read back
    std::vector<std::uint8_t> receivedImage;  // what the simulated device stored
    std::string caption;                      // the button's text once the update ended
    int exitStatus = -1;                      // the program's, at the end
};

// Empty when the update ended "Update complete" with exit status 0 and the device holds the
// whole image file, byte for byte, and that file read back whole; otherwise what went wrong.
std::string UpdateShortfall(const UpdateOutcome& outcome);

}  // namespace bench
