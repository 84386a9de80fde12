#include "servodiag/StatusRecorder.h"

#include <cerrno>
#include <cstring>

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
    std::string row = common::UtcMilliseconds(when);
    if (values == nullptr)
        return row + ",not responding,,,,,,,,,,";

    const std::optional<AmplifierDetails>& a = values->amplifier;
    row += ",ok,";
    row += a ? std::to_string(a->positionCounts) + "," + Number(a->degrees) + "," : ",,";
    row += values->busVolts ? Number(*values->busVolts) : "";
    row += ",";
    row += EstopName(values->estop);
    row += "," + std::to_string(values->usbErrors) + "," + std::to_string(values->spiErrors) + ",";
    if (a) {
        row += Version(a->firmwareMajor, a->firmwareMinor) + "," +
               Version(a->bootloaderMajor, a->bootloaderMinor) + "," +
               std::to_string(a->serialNumber) + "," + std::to_string(a->motorModel);
    } else {
        row += ",,,";
    }
    return row;
}

std::unique_ptr<StatusRecorder> StatusRecorder::Create(const std::string& path,
                                                       std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        *error = path + ": " + std::strerror(errno);
        return nullptr;
    }
    std::unique_ptr<StatusRecorder> recorder(new StatusRecorder(file));
    recorder->WriteLine(StatusCsvHeader());
    if (recorder->Failed()) {
        *error = path + ": cannot write";
        return nullptr;
    }
    return recorder;
}

StatusRecorder::~StatusRecorder() {
    std::fclose(file_);
}

void StatusRecorder::Record(const std::uint8_t* report) {
    const auto now = std::chrono::system_clock::now();
    if (report == nullptr) {
        WriteLine(StatusCsvRow(now, nullptr));
        return;
    }
    const StatusValues values = DecodeStatusValues(report);
    WriteLine(StatusCsvRow(now, &values));
}

void StatusRecorder::WriteLine(const std::string& line) {
    const std::string withEnd = line + "\n";
    if (std::fwrite(withEnd.data(), 1, withEnd.size(), file_) != withEnd.size() ||
        std::fflush(file_) != 0) {
        failed_ = true;
    }
}

}  // namespace servodiag
