#include "servodiag/StatusRecorder.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

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

namespace {

#ifdef _WIN32
int OpenEmptied(const std::string& path) {
    return _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
}
long long WriteSome(int fd, const char* bytes, std::size_t size) {
    return _write(fd, bytes, static_cast<unsigned>(size));
}
bool Deleted(int fd) {
    struct _stat64 status {};
    return _fstat64(fd, &status) == 0 && status.st_nlink == 0;
}
void CloseFile(int fd) {
    _close(fd);
}
#else
int OpenEmptied(const std::string& path) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}
long long WriteSome(int fd, const char* bytes, std::size_t size) {
    return write(fd, bytes, size);
}
// An open file whose last name is gone: every row written to it is lost on close.
bool Deleted(int fd) {
    struct stat status {};
    return fstat(fd, &status) == 0 && status.st_nlink == 0;
}
void CloseFile(int fd) {
    close(fd);
}
#endif

}  // namespace

std::unique_ptr<StatusRecorder> StatusRecorder::Create(const std::string& path,
                                                       std::string* error) {
    const int fd = OpenEmptied(path);
    if (fd < 0) {
        *error = path + ": " + std::strerror(errno);
        return nullptr;
    }
    std::unique_ptr<StatusRecorder> recorder(new StatusRecorder(fd, path));
    recorder->WriteLine(StatusCsvHeader());
    if (recorder->Failed()) {
        *error = recorder->Problem();
        return nullptr;
    }
    return recorder;
}

StatusRecorder::~StatusRecorder() {
    CloseFile(fd_);
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
    const std::string withEnd = line + "\n";
    std::size_t done = 0;
    while (done < withEnd.size()) {
        const long long written = WriteSome(fd_, withEnd.data() + done, withEnd.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            problem_ = path_ + ": " + (written < 0 ? std::strerror(errno) : "nothing written");
            return;
        }
        done += static_cast<std::size_t>(written);
    }
    if (Deleted(fd_))
        problem_ = path_ + ": the file was deleted while recording";
}

}  // namespace servodiag
