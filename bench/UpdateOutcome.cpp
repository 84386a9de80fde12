#include "bench/UpdateOutcome.h"

#include <algorithm>

#include "cmdline/CommandLine.h"

namespace bench {

namespace {

constexpr char kComplete[] = "Update complete";

}  // namespace

std::string UpdateShortfall(const UpdateOutcome& outcome) {
    if (outcome.caption.rfind(kComplete, 0) != 0)
        return "the update ended \"" + outcome.caption + "\"";
    if (outcome.exitStatus != cmdline::kUpdated)
        return "the program's exit status is " + std::to_string(outcome.exitStatus);
    const auto& sent = outcome.sentImage;
    const auto& received = outcome.receivedImage;
    // An image file that could not be read back would match a device that received nothing.
    if (sent.empty() || sent.size() != outcome.writtenBytes) {
        return "the image file read back holds " + std::to_string(sent.size()) + " of the " +
               std::to_string(outcome.writtenBytes) + " bytes written";
    }
    if (received.size() != sent.size()) {
        return "the device holds " + std::to_string(received.size()) + " of the image's " +
               std::to_string(sent.size()) + " bytes";
    }
    const auto differ = std::mismatch(sent.begin(), sent.end(), received.begin());
    if (differ.first != sent.end())
        return "the device's image differs at byte " + std::to_string(differ.first - sent.begin());
    return {};
}

}  // namespace bench
