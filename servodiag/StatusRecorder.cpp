#include "servodiag/StatusRecorder.h"

#include <vector>

#include "common/FileAccess.h"
#include "common/PathText.h"
#include "common/UtcTime.h"
#include "servodiag/NumberText.h"

namespace servodiag {

namespace {

const char* EstopName(Estop estop) {
    switch (estop) {
        case Estop::Stop:
            return "stop";
        case Estop::Bypassed:
            return "bypassed";
        case Estop::Ok:
            break;
    }
    return "ok";
}

std::string Number(double x) {
    return NumberText(x, ".");
}

std::string Version(std::uint8_t major, std::uint8_t minor) {
    return HexText(major) + "." + HexText(minor);
}

}  // namespace

std::string StatusCsvHeader() {
    return "time,device,position_counts,degrees,bus_volts,estop,usb_errors,spi_errors,amp_fw,"
           "amp_bl,amp_serial,motor_model";
}

std::string StatusCsvRow(std::chrono::system_clock::time_point when, const StatusValues* values) {
    constexpr std::size_t kValueColumns = 10;  // after time and device
    std::vector<std::string> fields{common::UtcMilliseconds(when)};
    if (values == nullptr) {
        fields.push_back("not responding");
        fields.resize(fields.size() + kValueColumns);
    } else {
        const std::optional<AmplifierDetails>& a = values->amplifier;
        fields.push_back("ok");
        fields.push_back(a ? std::to_string(a->positionCounts) : "");
        fields.push_back(a ? Number(a->degrees) : "");
        fields.push_back(values->busVolts ? Number(*values->busVolts) : "");
        fields.push_back(EstopName(values->estop));
        fields.push_back(std::to_string(values->usbErrors));
        fields.push_back(std::to_string(values->spiErrors));
        fields.push_back(a ? Version(a->firmwareMajor, a->firmwareMinor) : "");
        fields.push_back(a ? Version(a->bootloaderMajor, a->bootloaderMinor) : "");
        fields.push_back(a ? std::to_string(a->serialNumber) : "");
        fields.push_back(a ? std::to_string(a->motorModel) : "");
    }
    std::string row;
    for (const std::string& field : fields) {
        if (!row.empty())
            row.push_back(',');
        row.append(field);
    }
    return row;
}

std::unique_ptr<StatusRecorder> StatusRecorder::Create(const std::string& path,
                                                       std::string* error) {
    std::optional<common::File> file = common::File::CreateEmptied(path);
    if (!file) {
        *error = common::ShownPath(path) + ": " + common::LastErrorText();
        return nullptr;
    }
    std::unique_ptr<StatusRecorder> recorder(
        new StatusRecorder(std::move(*file), common::ShownPath(path)));
    recorder->WriteLine(StatusCsvHeader());
    if (recorder->Failed()) {
        *error = recorder->Problem();
        return nullptr;
    }
    return recorder;
}

bool StatusRecorder::Record(const std::uint8_t* report) {
    if (Failed())
        return false;
    const auto now = std::chrono::system_clock::now();
    if (report == nullptr) {
        WriteLine(StatusCsvRow(now, nullptr));
    } else {
        const StatusValues values = DecodeStatusValues(report);
        WriteLine(StatusCsvRow(now, &values));
    }
    return !Failed();
}

void StatusRecorder::WriteLine(const std::string& line) {
    // Binary: the same bytes on every platform, rows ending in "\n".
    std::string why;
    if (!file_.WriteAll(line + "\n", &why)) {
        problem_ = path_ + ": " + why;
        return;
    }
    if (file_.Deleted())
        problem_ = path_ + ": the file was deleted while recording";
}

}  // namespace servodiag
