// What a device that receives a firmware image keeps: the 40-byte record of every data report
// with its report ID, in the order received. Tests may have it refuse some reports.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace simdevices {

class RecordStore {
  public:
    static constexpr std::size_t kRecordBytes = 40;

    explicit RecordStore(std::uint8_t dataReportId) : dataReportId_(dataReportId) {}

    // Whether the report is a data report: the ID and room for a whole record.
    bool IsDataReport(const std::uint8_t* report, std::uint32_t length) const {
        return report[0] == dataReportId_ && length >= 1 + kRecordBytes;
    }
    // Counts a data report and stores its record, unless it is one of the refused; false then.
    bool Take(const std::uint8_t* report);
    // Forgets what came, as a receiver that starts again.
    void Clear();

    const std::vector<std::uint8_t>& Image() const { return received_; }
    std::size_t Records() const { return received_.size() / kRecordBytes; }
    std::size_t DataReports() const { return dataReports_; }
    // Refuse the data reports with these 1-based indexes (counted since the last Clear).
    void Refuse(std::set<std::size_t> indexes) { refused_ = std::move(indexes); }
    // "<who>: received N records (M bytes), crc32 xxxxxxxx"
    std::string Summary(const char* who) const;

  private:
    std::uint8_t dataReportId_;
    std::vector<std::uint8_t> received_;
    std::size_t dataReports_ = 0;
    std::set<std::size_t> refused_;
};

}  // namespace simdevices
