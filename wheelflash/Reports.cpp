#include "wheelflash/Reports.h"

#include <algorithm>

namespace wheelflash {

std::vector<std::uint8_t> UpgradeCommandReport(std::size_t length) {
    constexpr std::uint8_t kCommand[] = {kUpgradeCommandReportId, 0xDE, 0xFA, 0xCE};
    // Never shorter than the command itself, so the buffer is never written past its end.
    std::vector<std::uint8_t> report(std::max(length, std::size(kCommand)), 0x00);
    std::copy(std::begin(kCommand), std::end(kCommand), report.begin());
    return report;
}

void PutRecord(std::vector<std::uint8_t>& report, const updater::ImageRecord& record) {
    report[0] = kImageDataReportId;
    std::copy(record.begin(), record.end(), report.begin() + 1);
}

std::vector<std::uint8_t> ImageDataReport(const updater::ImageRecord& record, std::size_t length) {
    std::vector<std::uint8_t> report(std::max(length, std::size_t{kMinReportLength}), 0x00);
    PutRecord(report, record);
    return report;
}

}  // namespace wheelflash
