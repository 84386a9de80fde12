#include "servodiag/StatusLines.h"

#include <cmath>
#include <sstream>

#include "servodiag/NumberText.h"
#include "servodiag/StatusRecorder.h"
#include "servodiag/StatusReport.h"
#include "servodiag/StatusValues.h"

namespace servodiag {

namespace {

std::string WithUnit(const std::optional<std::string>& value, const char* unit) {
    if (!value || value->empty())
        return "";
    return *value + " " + unit;
}

std::string Silence(const std::uint8_t* lastReport, std::int64_t silentForMs) {
    if (lastReport == nullptr)
        return "no answer yet";
    const double tenths = std::round(double(silentForMs) / 100);
    return "not responding, last good reading " + NumberText(tenths / 10, ".") + " s ago";
}

// Only red and green mean something on a terminal: the window's white is its plain background.
std::optional<ui::ColorRef> Signal(const std::optional<ui::ColorRef>& colour) {
    if (colour == ui::kRed || colour == ui::kGreen)
        return colour;
    return std::nullopt;
}

std::vector<std::string> SplitAtCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, ',');)
        parts.push_back(part);
    // A last empty column leaves no part behind.
    if (!text.empty() && text.back() == ',')
        parts.emplace_back();
    return parts;
}

}  // namespace

std::vector<ui::LiveField> StatusBlock(const std::uint8_t* lastReport,
                                       std::optional<std::int64_t> silentForMs) {
    StatusView view;
    if (lastReport != nullptr)
        view = DecodeStatusReport(lastReport, ".");
    const auto text = [](const std::optional<std::string>& value) { return value.value_or(""); };
    std::vector<ui::LiveField> block{
        {"USB errors", text(view.USBerr), {}},
        {"SPI errors", text(view.SPIerr), {}},
        {"Amp FW ver", text(view.amp_fw_ver), {}},
        {"Amp HW ver", text(view.amp_bl_ver), {}},
        {"Amp S/N", text(view.amp_sn), {}},
        {"Bus voltage", view.bus_v == "OFF" ? "OFF" : WithUnit(view.bus_v, "V"),
         Signal(view.bus_vColor)},
        {"SFD position", WithUnit(view.sfd_pos, "counts"), {}},
        {"Motor model", text(view.motor_model), {}},
        {"E-STOP", text(view.estop), Signal(view.estopColor)},
        {"Current position", WithUnit(view.Degrees, "degrees"), {}},
    };
    for (ui::LiveField& field : block)
        field.stale = silentForMs.has_value();
    const ui::LiveField device =
        silentForMs ? ui::LiveField{"Device", Silence(lastReport, *silentForMs), ui::kRed}
                    : ui::LiveField{"Device", "ok", {}};
    block.insert(block.begin(), device);
    return block;
}

std::string StatusLine(std::chrono::system_clock::time_point when, const std::uint8_t* report) {
    std::optional<StatusValues> values;
    if (report != nullptr)
        values = DecodeStatusValues(report);
    const std::vector<std::string> names = SplitAtCommas(StatusCsvHeader());
    const std::vector<std::string> row =
        SplitAtCommas(StatusCsvRow(when, values ? &*values : nullptr));
    // The first two columns are the time and whether the device answered: no name needed.
    std::string line = row[0] + " " + row[1];
    if (!values)
        return line;
    for (std::size_t i = 2; i < names.size() && i < row.size(); ++i)
        line += " " + names[i] + "=" + (row[i].empty() ? "-" : row[i]);
    return line;
}

}  // namespace servodiag
