#include "ampflash/Reports.h"

#include <algorithm>

namespace ampflash {

namespace {

constexpr std::uint8_t kCommandReportId = 0x08;
constexpr std::uint8_t kCommandSignature[] = {0xDE, 0xFA};
constexpr std::uint8_t kSwitchToBootloader = 0xBB;
constexpr std::uint8_t kResetAmplifier = 0xDE;

template <std::size_t N>
void PutCommand(std::array<std::uint8_t, N>& buffer, std::uint8_t command) {
    buffer[0] = kCommandReportId;
    buffer[1] = kCommandSignature[0];
    buffer[2] = kCommandSignature[1];
    buffer[3] = command;
}

}  // namespace

void PutSwitchReport(CommandBuffer& buffer) {
    PutCommand(buffer, kSwitchToBootloader);
}

void PutDataReport(ReportBuffer& buffer, const updater::ImageRecord& record) {
    buffer[0] = kDataReportId;
    std::copy(record.begin(), record.end(), buffer.begin() + 1);
}

void PutResetReport(ReportBuffer& buffer) {
    PutCommand(buffer, kResetAmplifier);
}

}  // namespace ampflash
