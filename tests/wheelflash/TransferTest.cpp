#include <gtest/gtest.h>

#include <algorithm>

#include "WheelflashFixture.h"

namespace wheelflash_test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes WholeRecords(const Bytes& image) {
    return Bytes(image.begin(),
                 image.begin() + static_cast<std::ptrdiff_t>(image.size() / 40 * 40));
}

Bytes RecordOf(const Bytes& image, std::size_t index) {
    const auto begin = image.begin() + static_cast<std::ptrdiff_t>(index * 40);
    return Bytes(begin, begin + 40);
}

// "Command4" runs the whole upgrade on a controller in its normal mode; "Command2" runs the
// transfer alone on a controller that already waits for an image.
class TransferFixture : public WheelflashFixture {
  protected:
    void StartWith(const std::string& button, simdevices::WheelControllerOptions options = {}) {
        button_ = button;
        options.startsInImageMode = button == "Command2";
        AddController(options);
        Load();
    }
    void Run() { window.Click(button_); }

    // The data reports: every HidD_SetFeature after the upgrade command, if one was sent.
    std::vector<sim::Call> DataReports() const {
        std::vector<sim::Call> reports = CallsAfterLoadNamed("HidD_SetFeature");
        if (button_ == "Command4" && !reports.empty())
            reports.erase(reports.begin());
        return reports;
    }

    std::string button_;
};

struct ImageCase {
    std::size_t size;
    std::string button;
};
void PrintTo(const ImageCase& c, std::ostream* os) {
    *os << c.size << " bytes by " << c.button;
}

class ImageArrivesWhole : public TransferFixture,
                          public ::testing::WithParamInterface<ImageCase> {};

TEST_P(ImageArrivesWhole, RecordsInFileOrderThenTheWindowCloses) {
    const ImageCase c = GetParam();
    StartWith(c.button);
    const Bytes image = WriteImage(c.size);
    Run();

    const std::size_t n = c.size / 40;
    EXPECT_EQ(controller->ReceivedImage(), WholeRecords(image));
    const std::vector<sim::Call> reports = DataReports();
    ASSERT_EQ(reports.size(), n);
    for (std::size_t k = 0; k < n; ++k) {
        Bytes expected = {0x00};
        const Bytes record = RecordOf(image, k);
        expected.insert(expected.end(), record.begin(), record.end());
        expected.resize(64, 0x00);
        EXPECT_EQ(reports[k].bytes, expected) << "report " << k;
    }
    // One round per report, then the rounds while "Update complete" is shown.
    EXPECT_EQ(window.ProcessEventsCount(), static_cast<int>(n + updater::kCompleteShownMs / 100));
    EXPECT_TRUE(window.IsUnloaded());
    EXPECT_TRUE(bus.HandleProblems().empty());

    // The fill appears empty, grows by W / (N + 1) per report, repainted each time, and stops
    // short of W.
    std::vector<ui::WindowEvent> fill = window.EventsFor("Pic");
    fill.erase(fill.begin());  // hidden at load
    ASSERT_EQ(fill.size(), 5 + 2 * n);
    EXPECT_EQ(fill[0].what + "=" + fill[0].value, "visible=true");
    EXPECT_EQ(fill[1].what + "=" + fill[1].value, "width=0");
    for (std::size_t k = 1; k <= n; ++k) {
        ASSERT_EQ(fill[2 * k].what, "width");
        EXPECT_DOUBLE_EQ(std::stod(fill[2 * k].value), 5055.0 * k / (n + 1));
        EXPECT_EQ(fill[2 * k + 1].what, "refresh");
    }
    // Full and drawn once more as the update completes: a fast update is still seen.
    EXPECT_EQ(fill[fill.size() - 2].what + "=" + fill[fill.size() - 2].value, "width=5055");
    EXPECT_EQ(fill.back().what, "refresh");
}

INSTANTIATE_TEST_SUITE_P(Sizes, ImageArrivesWhole,
                         ::testing::Values(ImageCase{40, "Command2"}, ImageCase{4000, "Command2"},
                                           ImageCase{4010, "Command2"}, ImageCase{40, "Command4"},
                                           ImageCase{4000, "Command4"},
                                           ImageCase{4010, "Command4"}));

using Transfer = TransferFixture;

// The image is read once, before the first report; the handles close after the last report, and
// the window goes last.
TEST_F(Transfer, ReadsTheImageOnceAndEndsWithBothHandlesThenTheWindow) {
    StartWith("Command2");
    WriteImage(400);
    const hidlink::Handle plain = form.Link().DeviceHandle;
    const hidlink::Handle overlapped = form.Link().OverlappedHandle;
    Run();

    // The device is let go of before "Update complete" is shown for two seconds.
    std::vector<sim::Call> calls = CallsAfterLoad();
    while (!calls.empty() && calls.back().name == "Sleep")
        calls.pop_back();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(CallsAfterLoadNamed("OpenImageFile").size(), 1u);
    const auto closed = std::find_if(calls.begin(), calls.end(),
                                     [](const sim::Call& c) { return c.name == "CloseImageFile"; });
    const auto firstReport = std::find_if(
        calls.begin(), calls.end(), [](const sim::Call& c) { return c.name == "HidD_SetFeature"; });
    EXPECT_LT(closed, firstReport);
    // After the last report the controller's identity is read again, for the log.
    const auto lastReport = std::find_if(calls.rbegin(), calls.rend(), [](const sim::Call& c) {
        return c.name == "HidD_SetFeature";
    });
    ASSERT_NE(lastReport, calls.rend());
    EXPECT_EQ(std::prev(lastReport.base())[1].name, "HidD_GetAttributes");
    EXPECT_EQ(calls[calls.size() - 2].name, "CloseHandle");
    EXPECT_EQ(calls[calls.size() - 2].handle, plain);
    EXPECT_EQ(calls[calls.size() - 1].name, "CloseHandle");
    EXPECT_EQ(calls[calls.size() - 1].handle, overlapped);
    for (const sim::Call& report : DataReports())
        EXPECT_EQ(report.handle, plain);
    EXPECT_TRUE(window.IsUnloaded());
}

// One refused record does not stop the transfer (the controller sees every report in order),
// but the update is not reported as done: the window stays open and says how many failed.
TEST_F(Transfer, ARefusedRecordKeepsTheWindowOpenWithTheCount) {
    StartWith("Command4");
    const Bytes image = WriteImage(4000);
    controller->RefuseRecords({5});
    Run();

    const std::vector<sim::Call> reports = DataReports();
    ASSERT_EQ(reports.size(), 100u);
    for (std::size_t k = 0; k < reports.size(); ++k)
        EXPECT_EQ(Bytes(reports[k].bytes.begin() + 1, reports[k].bytes.begin() + 41),
                  RecordOf(image, k));
    Bytes accepted = WholeRecords(image);
    accepted.erase(accepted.begin() + 4 * 40, accepted.begin() + 5 * 40);
    EXPECT_EQ(controller->ReceivedImage(), accepted);

    EXPECT_FALSE(window.IsUnloaded());
    EXPECT_EQ(window.Text("Command2"), "Update failed: 1 of 100 records not accepted");
    EXPECT_EQ(window.Text("Command4"), "Upgrade Firmware");
    EXPECT_TRUE(window.Control("Command2").enabled);
    EXPECT_TRUE(window.Control("Command4").enabled);
    EXPECT_TRUE(bus.HandleProblems().empty());  // nothing open, nothing closed twice

    EXPECT_TRUE(window.RequestClose());
    EXPECT_TRUE(bus.HandleProblems().empty());
}

TEST_F(Transfer, AnImageThatCannotBeReadSendsNothingAndSaysSo) {
    StartWith("Command2");
    WriteImage(400);
    bus.FailImageReadAt(1, "Input/output error");
    Run();

    EXPECT_EQ(DataReports().size(), 0u);
    EXPECT_EQ(window.Text("Command2"), "Cannot read image file: Input/output error");
    EXPECT_FALSE(window.IsUnloaded());
    EXPECT_TRUE(bus.HandleProblems(false).empty());
}

class InputDuringTransfer : public TransferFixture,
                            public ::testing::WithParamInterface<std::string> {};

// Events are processed between reports: clicks then must not start anything, and a close
// request must wait until the transfer has closed the image and the device.
TEST_P(InputDuringTransfer, ClicksAreIgnoredAndCloseWaitsForTheEnd) {
    StartWith(GetParam());
    const Bytes image = WriteImage(400);
    bool closedAtOnce = true;
    window.OnProcessEvents = [&](int count) {
        if (count != 3)
            return;
        window.Click("Command2");
        window.Click("Command4");
        closedAtOnce = window.RequestClose();
    };
    Run();

    EXPECT_FALSE(closedAtOnce);
    EXPECT_EQ(controller->ReceivedImage(), image);
    EXPECT_EQ(DataReports().size(), 10u);
    EXPECT_EQ(window.ProcessEventsCount(), 10);
    EXPECT_TRUE(window.IsUnloaded());
    EXPECT_TRUE(bus.HandleProblems().empty());
}

INSTANTIATE_TEST_SUITE_P(Buttons, InputDuringTransfer, ::testing::Values("Command2", "Command4"));

// A close asked for during a transfer that then fails is still honoured when it ends.
TEST_F(Transfer, ACloseDeferredThroughAFailedTransferClosesAtItsEnd) {
    StartWith("Command4");
    WriteImage(400);
    controller->RefuseRecords({2});
    window.OnProcessEvents = [&](int count) {
        if (count == 1)
            window.RequestClose();
    };
    Run();

    EXPECT_EQ(DataReports().size(), 10u);
    EXPECT_TRUE(window.IsUnloaded());
    EXPECT_TRUE(bus.HandleProblems().empty());
}

}  // namespace
}  // namespace wheelflash_test
