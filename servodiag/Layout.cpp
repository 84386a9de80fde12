#include "servodiag/Layout.h"

#include <string>

#include "hidlink/DeviceChooser.h"
#include "servodiag/StatusChart.h"

namespace servodiag {

namespace {

constexpr int kLabelHeight = 285;
constexpr int kFieldHeight = 360;
constexpr int kFieldWidth = 1035;
constexpr int kStateLineRow = 360;  // the state line's height and the space below it
constexpr int kFormHeight = 9620;   // below the state line, down to the chart
constexpr int kChartHeight = 4200;
constexpr int kChartGap = 120;  // between the chart and the window's bottom edge

// Captions of the status column and the settings list sit this much lower than their fields,
// so that the label text lines up with the text inside the field.
constexpr int kStatusCaptionDrop = 40;
constexpr int kSettingsCaptionDrop = 60;

ui::Font Arial(bool bold = false) {
    return ui::Font{"Arial", 10, bold};
}

ui::ControlSpec Control(std::string name, ui::ControlKind kind, std::string caption, int left,
                        int top, int width, int height) {
    return ui::MakeControl(std::move(name), kind, std::move(caption), left, top, width, height,
                           Arial());
}

ui::ControlSpec Label(std::string name, std::string caption, int left, int top, int width) {
    return Control(std::move(name), ui::ControlKind::Label, std::move(caption), left, top, width,
                   kLabelHeight);
}

// Fields only display device values, and start empty: no word stands in them that could be read
// as a value before the device has sent one.
ui::ControlSpec Field(std::string name, int left, int top) {
    return Control(std::move(name), ui::ControlKind::TextField, "", left, top, kFieldWidth,
                   kFieldHeight);
}

// A label that shows a value: its text can be selected and copied.
ui::ControlSpec ValueLabel(std::string name, int left, int top, int width) {
    ui::ControlSpec c = Label(std::move(name), "", left, top, width);
    c.selectable = true;
    return c;
}

ui::ControlSpec Separator(std::string name, int top) {
    return Control(std::move(name), ui::ControlKind::Line, "", 120, top, 4800, 15);
}

// Where several devices match, shown in the product label's place, and next to it in tab order.
// Outside the frame, which stays disabled until a device's settings are read: the choice must be
// open before that.
ui::ControlSpec DeviceChooser(const ui::ControlSpec& frame) {
    ui::ControlSpec chooser =
        Control(hidlink::kChooserControl, ui::ControlKind::Chooser, hidlink::kChooserPrompt,
                frame.left + 1560, frame.top + 620, 3300, kFieldHeight);
    chooser.visible = false;
    chooser.accessibleName = "Device";
    return chooser;
}

void AddDeviceDetails(std::vector<ui::ControlSpec>& controls) {
    ui::ControlSpec frame =
        Control("Frame1", ui::ControlKind::Frame, "Device details", 60, 60, 4935, 1755);
    frame.enabled = false;  // enabled once the device's settings have been read
    controls.push_back(frame);

    struct Row {
        const char* caption;
        const char* captionText;
        const char* value;
        int valueLeft;
        int top;
    };
    const Row rows[] = {
        {"Label4", "Manufacturer", "lblManuf", 1620, 300},
        {"Label5", "Product", "lblProduct", 1560, 660},
        {"Label2", "Version", "lblVersion", 1620, 1020},
        {"Label3", "Serial Number", "lblSerialNumber", 1620, 1380},
    };
    for (const Row& row : rows) {
        ui::ControlSpec caption = Label(row.caption, row.captionText, 180, row.top, 1335);
        caption.container = "Frame1";
        controls.push_back(caption);

        // Window-background value labels look like fields without being editable.
        ui::ControlSpec value = ValueLabel(row.value, row.valueLeft, row.top, 3300);
        value.container = "Frame1";
        value.backColor = ui::kSystemWindowBackground;
        value.labelledBy = row.caption;
        controls.push_back(value);
        if (row.value == std::string("lblProduct"))
            controls.push_back(DeviceChooser(frame));
    }
}

void AddStatusColumn(std::vector<ui::ControlSpec>& controls) {
    struct Row {
        const char* caption;
        const char* captionText;
        const char* field;
        int top;
        bool visible;
    };
    const Row rows[] = {
        {"Label25", "USB errors", "USBerr", 200, true},
        {"Label26", "SPI errors", "SPIerr", 600, true},
        {"Label27", "Amp FW ver", "amp_fw_ver", 960, true},
        {"Label28", "Amp HW ver", "amp_bl_ver", 1320, true},
        {"Label29", "Amp S/N", "amp_sn", 1680, true},
        {"Label30", "Bus voltage", "bus_v", 2040, false},
        {"Label31", "SFD position", "sfd_pos", 2400, false},
        {"Label32", "Motor model", "motor_model", 2760, true},
        {"Label33", "E-STOP", "estop", 3120, true},
    };
    for (const Row& row : rows) {
        ui::ControlSpec caption =
            Label(row.caption, row.captionText, 5280, row.top + kStatusCaptionDrop, 1275);
        caption.visible = row.visible;
        controls.push_back(caption);

        // Hidden fields are still written by every status read.
        ui::ControlSpec field = Field(row.field, 6600, row.top);
        field.visible = row.visible;
        field.labelledBy = row.caption;
        controls.push_back(field);
    }
}

void AddPositionRow(std::vector<ui::ControlSpec>& controls) {
    controls.push_back(Label("Label8", "Current position", 120, 2280, 1935));
    ui::ControlSpec degrees = ValueLabel("Degrees", 2160, 2520, kFieldWidth);
    degrees.font = Arial(true);
    degrees.labelledBy = "Label8";
    controls.push_back(degrees);
    controls.push_back(Label("Label17", "degrees", 3240, 2520, 735));
}

void AddSettingsList(std::vector<ui::ControlSpec>& controls) {
    struct Row {
        const char* caption;
        const char* captionText;
        const char* field;
        int top;
        const char* unit;  // the label after the field, or null
        const char* unitText;
    };
    const Row rows[] = {
        {"Label6", "Centre offset", "Homing", 2940, "Label11", "counts"},
        {"Label16", "Overall damping", "TDamp", 3540, nullptr, nullptr},
        {"Label20", "Overall inertia", "TInertia", 4080, nullptr, nullptr},
        {"Label21", "Overall friction", "TFriction", 4560, nullptr, nullptr},
        {"Label1", "Stops (each side)", "Slimit", 5100, "Label12", "counts"},
        {"Label13", "Stops stiffness", "Stiff", 5580, nullptr, nullptr},
        {"Label15", "Stops damping", "Damp", 6060, nullptr, nullptr},
        {"Label24", "Centering spring", "Spring", 6600, nullptr, nullptr},
        {"Label22", "Motor filter", "MotorFilter", 7320, nullptr, nullptr},
        {"Label23", "Input filter", "InputFilter", 7800, nullptr, nullptr},
        {"Label18", "All Effects scale", "OverallScale", 8460, "Label19", "%"},
        {"Label7", "Damper Effect scale", "DampingScale", 8940, "Label14", "%"},
    };
    for (const Row& row : rows) {
        const int captionTop = row.top + kSettingsCaptionDrop;
        controls.push_back(Label(row.caption, row.captionText, 120, captionTop, 1995));
        ui::ControlSpec field = Field(row.field, 2160, row.top);
        field.labelledBy = row.caption;
        controls.push_back(field);
        if (row.unit != nullptr)
            controls.push_back(Label(row.unit, row.unitText, 3240, captionTop, 735));
    }
    controls.push_back(Separator("Line1", 3420));
    controls.push_back(Separator("Line2", 7200));
    controls.push_back(Separator("Line3", 8280));
}

// Neither button is ever shown: the timer runs the status read, and nothing is written back.
void AddButtons(std::vector<ui::ControlSpec>& controls) {
    ui::ControlSpec getData =
        Control("Command1", ui::ControlKind::Button, "Get data", 6600, 3720, kFieldWidth, 375);
    getData.accessKey = 'G';
    getData.visible = false;
    controls.push_back(getData);

    ui::ControlSpec writeAndReset =
        Control("Go", ui::ControlKind::Button, "Write and reset", 5280, 4200, 2355, 375);
    writeAndReset.accessKey = 'W';
    writeAndReset.visible = false;
    writeAndReset.enabled = false;
    controls.push_back(writeAndReset);
}

void AddTimer(std::vector<ui::ControlSpec>& controls) {
    ui::ControlSpec timer = Control("Timer", ui::ControlKind::Timer, "", 0, 0, 0, 0);
    timer.intervalMs = 200;
    timer.enabled = false;  // started at the end of the window's load
    controls.push_back(timer);
}

// Below everything the window had before, so that no control moves: the values over time,
// among them the bus voltage and the error counts, which the status column does not show.
void AddChart(std::vector<ui::ControlSpec>& controls) {
    ui::ControlSpec chart =
        Control(kChartControl, ui::ControlKind::Chart, "", 120, kFormHeight, 7860, kChartHeight);
    chart.chartSeries = StatusChartSeries();
    chart.accessibleName = "Status over time";
    controls.push_back(chart);
}

// The line that says what became of the device, above everything else: where the user looks
// first. The rest of the window stands below it.
void AddStateLine(std::vector<ui::ControlSpec>& controls) {
    for (ui::ControlSpec& c : controls) {
        if (c.container.empty() && c.kind != ui::ControlKind::Timer)
            c.top += kStateLineRow;
    }
    ui::ControlSpec line = Label("lblDeviceState", "", 120, 60, 7860);
    line.font = Arial(true);
    line.announced = true;  // what became of the device, said as soon as it changes
    controls.insert(controls.begin(), line);
}

}  // namespace

ui::FormLayout ServodiagLayout() {
    ui::FormLayout layout;
    layout.caption = "Drivanta v2 diagnostics";
    layout.clientWidth = 8100;
    layout.clientHeight = kStateLineRow + kFormHeight + kChartHeight + kChartGap;
    layout.iconName = "servodiag";
    AddDeviceDetails(layout.controls);
    AddStatusColumn(layout.controls);
    AddPositionRow(layout.controls);
    AddSettingsList(layout.controls);
    AddButtons(layout.controls);
    AddTimer(layout.controls);
    AddChart(layout.controls);
    AddStateLine(layout.controls);
    return layout;
}

}  // namespace servodiag
