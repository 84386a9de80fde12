#include "tools/capturecheck/CaptureCheck.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>

#include "ampflash/Reports.h"
#include "updater/Crc32.h"
#include "wheelflash/Reports.h"

namespace capturecheck {

namespace {

using hidlink::CaptureLine;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kRecord = updater::kRecordSize;
constexpr std::uint8_t kSwitch = 0xBB;
constexpr std::uint8_t kUpgrade = 0xCE;
constexpr std::uint8_t kReset = 0xDE;

std::string Hex8(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

bool IsCommand(const Bytes& report) {
    return report.size() >= 4 && report[0] == 0x08 && report[1] == 0xDE && report[2] == 0xFA;
}

bool ZeroFrom(const Bytes& report, std::size_t from) {
    return std::all_of(report.begin() + static_cast<std::ptrdiff_t>(std::min(from, report.size())),
                       report.end(), [](std::uint8_t b) { return b == 0; });
}

class Checker {
  public:
    std::vector<std::string> Run(const std::vector<CaptureLine>& capture) {
        for (std::size_t i = 0; i < capture.size(); ++i) {
            number_ = i + 1;
            Take(capture[i]);
        }
        CheckEnded();
        return problems_;
    }

  private:
    void Problem(const std::string& what) {
        problems_.push_back("call " + std::to_string(number_) + ": " + what);
    }

    void Take(const CaptureLine& line) {
        const std::string call = line.Text("call");
        if (call == "CreateFileA" && line.Int("result") != hidlink::kInvalidHandleValue) {
            pathOf_[line.Int("result")] = line.Text("path");
        } else if (call == "DevicePort" && !line.Text("port").empty()) {
            portOf_[line.Text("path")] = line.Text("port");
        } else if (call == "HidD_GetPreparsedData" && line.Int("result") != 0) {
            handleOfPreparsed_[line.Int("preparsed")] = line.Int("handle");
        } else if (call == "HidP_GetCaps" && line.Find("featureLength") != nullptr) {
            const auto handle = handleOfPreparsed_.find(line.Int("preparsed"));
            if (handle != handleOfPreparsed_.end())
                featureLength_[handle->second] = line.Int("featureLength");
        } else if (call == "OpenImageFile") {
            reading_[line.Int("result")].clear();
        } else if (call == "ReadImageFile" && line.Int("result") > 0) {
            const Bytes bytes = line.Bytes("received");
            Bytes& file = reading_[line.Int("file")];
            file.insert(file.end(), bytes.begin(), bytes.end());
        } else if (call == "CloseImageFile") {
            TakeImage(reading_[line.Int("file")]);
        } else if (call == "HidD_SetFeature" || call == "HidD_GetFeature") {
            CheckLength(line);
            CheckPlace(line);
            if (call == "HidD_SetFeature")
                CheckSent(line);
        }
    }

    // A transfer the device did not refuse ends with the image's last record, and the
    // amplifier's with its reset too: a capture that ends before, the program killed or the
    // reset left out, is no finished exchange.
    void CheckEnded() {
        if (next_ == 0 || lastFailed_)
            return;
        const bool amplifier = lastData_[0] == ampflash::kDataReportId;
        if (next_ < records_.size() || amplifier)
            Problem("the capture ends after record " + std::to_string(next_) + " of " +
                    std::to_string(records_.size()) +
                    (amplifier ? ", without the reset" : ", the transfer unfinished"));
    }

    void TakeImage(const Bytes& file) {
        records_.clear();
        for (std::size_t at = 0; at + kRecord <= file.size(); at += kRecord)
            records_.emplace_back(file.begin() + static_cast<std::ptrdiff_t>(at),
                                  file.begin() + static_cast<std::ptrdiff_t>(at + kRecord));
        imageCrc_ = 0;
        for (const Bytes& record : records_)
            imageCrc_ = updater::Crc32(imageCrc_, record.data(), record.size());
        imageRead_ = true;
    }

    void CheckLength(const CaptureLine& line) {
        const Bytes sent = line.Bytes("sent");
        const std::int64_t length = line.Int("length");
        if (static_cast<std::int64_t>(sent.size()) != length)
            Problem("the report holds " + std::to_string(sent.size()) + " bytes, not its length " +
                    std::to_string(length));
        const auto expected = featureLength_.find(line.Int("handle"));
        if (expected != featureLength_.end() && expected->second != length)
            Problem("a report of " + std::to_string(length) + " bytes to a device whose feature " +
                    "reports are " + std::to_string(expected->second));
    }

    // Where a handle leads: its device's USB port where the capture shows it, else its path.
    std::string PlaceOf(std::int64_t handle) const {
        const auto path = pathOf_.find(handle);
        if (path == pathOf_.end())
            return "handle " + std::to_string(handle);
        const auto port = portOf_.find(path->second);
        return port != portOf_.end() ? "port " + port->second : path->second;
    }

    void CheckPlace(const CaptureLine& line) {
        if (!updatedPlace_)
            return;
        const std::string place = PlaceOf(line.Int("handle"));
        if (place != *updatedPlace_)
            Problem("a report to " + place + " after the update started on " + *updatedPlace_);
    }

    void StartUpdate(const CaptureLine& line) {
        if (!updatedPlace_)
            updatedPlace_ = PlaceOf(line.Int("handle"));
    }

    void CheckSent(const CaptureLine& line) {
        const Bytes sent = line.Bytes("sent");
        if (sent.empty())
            return;
        if (IsCommand(sent)) {
            CheckCommand(line, sent);
        } else if (sent[0] == ampflash::kDataReportId ||
                   sent[0] == wheelflash::kImageDataReportId) {
            StartUpdate(line);
            CheckData(line, sent);
        } else {
            Problem("a report with ID " + hidlink::HexOf(sent.data(), 1) +
                    ", which no update sends");
        }
    }

    void CheckCommand(const CaptureLine& line, const Bytes& sent) {
        const std::uint8_t kind = sent[3];
        if (kind == kSwitch || kind == kUpgrade) {
            StartUpdate(line);
            commanded_ = true;
            if (!ZeroFrom(sent, 4))
                Problem("a command report with bytes after its fourth");
            return;
        }
        if (kind != kReset) {
            Problem("a command 08 de fa " + hidlink::HexOf(&kind, 1) + ", which no update sends");
            return;
        }
        if (next_ == 0 || next_ != records_.size() || refused_)
            Problem("the reset before the image's last record was sent");
        else if (!std::equal(sent.begin() + 4,
                             sent.begin() + std::min<std::size_t>(41, sent.size()),
                             lastData_.begin() + 4))
            Problem("the reset does not repeat the last data report's bytes 4 to 40");
        next_ = 0;
    }

    void CheckData(const CaptureLine& line, const Bytes& sent) {
        if (sent.size() < 1 + kRecord) {
            Problem("a data report too short for a record");
            return;
        }
        if (!imageRead_) {
            Problem("a data report before the image was read");
            return;
        }
        const Bytes record(sent.begin() + 1, sent.begin() + 1 + kRecord);
        // A transfer starts again from the first record, after a refusal or on a new click.
        if (!records_.empty() && record == records_[0] && next_ != 0) {
            next_ = 0;
            sentCrc_ = 0;
        }
        // The device takes records only after the command that readies it, each transfer anew.
        if (next_ == 0 && !commanded_)
            Problem("a transfer started without the switch or upgrade command before it");
        commanded_ = false;
        if (refused_ && next_ != 0)
            Problem("a data report after the device refused one, without starting again");
        if (next_ >= records_.size()) {
            Problem("a data report beyond the image's " + std::to_string(records_.size()) +
                    " records");
        } else if (record != records_[next_]) {
            Problem("record " + std::to_string(next_ + 1) + " expected, another was sent");
        }
        if (!ZeroFrom(sent, 1 + kRecord))
            Problem("a data report with bytes after its record");
        sentCrc_ = updater::Crc32(next_ == 0 ? 0 : sentCrc_, record.data(), record.size());
        ++next_;
        // Only the amplifier's transfer stops at a refused report; the controller's goes on.
        lastFailed_ = line.Int("result") == 0;
        refused_ = sent[0] == ampflash::kDataReportId && lastFailed_;
        lastData_ = sent;
        if (next_ == records_.size() && sentCrc_ != imageCrc_)
            Problem("the records sent have CRC-32 " + Hex8(sentCrc_) + ", the image " +
                    Hex8(imageCrc_));
    }

    std::vector<std::string> problems_;
    std::size_t number_ = 0;
    std::map<std::int64_t, std::string> pathOf_;
    std::map<std::string, std::string> portOf_;
    std::map<std::int64_t, std::int64_t> handleOfPreparsed_;
    std::map<std::int64_t, std::int64_t> featureLength_;
    std::map<std::int64_t, Bytes> reading_;
    std::vector<Bytes> records_;
    bool imageRead_ = false;
    std::uint32_t imageCrc_ = 0;
    std::uint32_t sentCrc_ = 0;
    std::size_t next_ = 0;  // the record the next data report should carry
    bool refused_ = false;
    bool lastFailed_ = false;  // the last data report was not taken: the program may stop there
    bool commanded_ = false;   // a switch or upgrade command since the last transfer started
    Bytes lastData_;
    std::optional<std::string> updatedPlace_;
};

}  // namespace

std::vector<std::string> CheckCapture(const std::vector<hidlink::CaptureLine>& capture) {
    return Checker().Run(capture);
}

}  // namespace capturecheck
