// The window lifecycle both updaters share: close requests deferred while an update runs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cmdline/CommandLine.h"
#include "hidlink/sim/SimulatedBus.h"
#include "simdevices/Amplifier.h"
#include "updater/UpdaterForm.h"
#include "window/headless/HeadlessWindow.h"

namespace {

ui::FormLayout MinimalLayout() {
    ui::FormLayout layout;
    for (const char* name : {"lblManuf", "lblProduct", "lblSerialNumber", "lblVersion"}) {
        ui::ControlSpec c;
        c.name = name;
        layout.controls.push_back(c);
    }
    ui::ControlSpec fill;
    fill.name = "Pic";
    fill.kind = ui::ControlKind::PictureBox;
    fill.width = 5055;
    layout.controls.push_back(fill);
    ui::ControlSpec chooser;
    chooser.name = hidlink::kChooserControl;
    chooser.kind = ui::ControlKind::Chooser;
    layout.controls.push_back(chooser);
    ui::ControlSpec button;
    button.name = "Update";
    button.kind = ui::ControlKind::Button;
    layout.controls.push_back(button);
    return layout;
}

// An updater whose "update" is one round of event processing between the deferral points.
class Form : public updater::UpdaterForm {
  public:
    using UpdaterForm::UpdaterForm;
    void Click(const std::string&) override {
        BeginDeferringClose();
        window_.ProcessEvents();
        closedAtEnd = EndDeferringClose();
    }
    void ShowReady() override {}
    bool closedAtEnd = false;
};

const hidlink::DeviceProfile kProfile{hidlink::AmpflashAccepts,
                                      hidlink::NoDeviceRule::BlankVersionSpace, 0};

// The form on its smallest window, loaded, with no device on the bus.
class LoadedUpdaterForm : public ::testing::Test {
  protected:
    void SetUp() override { window.Load(form); }

    sim::VirtualClock clock;
    sim::SimulatedBus bus{clock};
    ui::HeadlessWindow window{MinimalLayout()};
    Form form{window, bus, kProfile};
};

TEST_F(LoadedUpdaterForm, DefersACloseUntilTheUpdateAllowsIt) {
    EXPECT_EQ(form.ProgressFullWidth(), 5055);
    EXPECT_FALSE(window.Control("Pic").visible);

    bool closedInside = true;
    window.OnProcessEvents = [&](int) { closedInside = window.RequestClose(); };
    window.Click("Update");
    EXPECT_FALSE(closedInside);
    EXPECT_TRUE(form.closedAtEnd);
    EXPECT_TRUE(window.IsUnloaded());
    EXPECT_TRUE(window.Terminated());
}

TEST_F(LoadedUpdaterForm, WithoutARequestTheWindowStays) {
    window.Click("Update");
    EXPECT_EQ(window.ProcessEventsCount(), 1);
    EXPECT_FALSE(form.closedAtEnd);
    EXPECT_FALSE(window.IsUnloaded());
    EXPECT_TRUE(window.RequestClose());  // no longer deferred
    EXPECT_THAT(bus.HandleProblems(), ::testing::IsEmpty());
}

// A run's outcomes, one per click, then picks and closes: each click ends the way its name says.
class ScriptedForm : public updater::UpdaterForm {
  public:
    using UpdaterForm::UpdaterForm;
    void Click(const std::string& outcome) override {
        if (outcome == "failed")
            UpdateFailed("the device stopped answering");
        else if (outcome == "sent")
            UpdateSentNotSeenBack();
        else if (outcome == "refused")
            RejectImage("Update", 40, "not an image");
        else if (outcome == "updated")
            UpdateSucceeded("Update", 40, false);
    }
    void ShowReady() override {}
};

struct History {
    const char* what;
    // "failed", "sent", "refused", "updated" (last), "pick 0", "pick 1"
    std::vector<std::string> steps;
    int status;
};

// Qt reports a pick of the line already chosen too: no pick may undo an outcome before it.
TEST(UpdaterForm, ExitStatusIsTheMostSeriousOutcomeOfTheRun) {
    const std::vector<History> histories = {
        {"nothing done", {}, cmdline::kCancelled},
        {"failed, then the same line picked again", {"failed", "pick 0"}, cmdline::kUpdateFailed},
        {"failed, then the other device picked", {"failed", "pick 1"}, cmdline::kUpdateFailed},
        {"failed, then the image refused", {"failed", "refused"}, cmdline::kUpdateFailed},
        {"sent, then a pick", {"sent", "pick 1"}, cmdline::kNotSeenBack},
        {"sent, then failed", {"sent", "failed"}, cmdline::kUpdateFailed},
        {"refused, then a pick", {"refused", "pick 1"}, cmdline::kCancelled},
        {"a pick, then refused", {"pick 1", "refused"}, cmdline::kImageRejected},
        {"failed, then the same device updated", {"failed", "updated"}, cmdline::kUpdated},
        {"failed, then the other device updated",
         {"failed", "pick 1", "updated"},
         cmdline::kUpdateFailed},
    };
    for (const History& history : histories) {
        SCOPED_TRACE(history.what);
        sim::VirtualClock clock;
        sim::SimulatedBus bus(clock);
        for (const char* port : {"1", "2"}) {
            simdevices::AmplifierOptions options;
            options.serialNumber = u"DV2A-" + std::u16string(1, char16_t(port[0]));
            options.port = std::string("1-") + port;
            auto amplifier = std::make_shared<simdevices::Amplifier>(options);
            // Neither reports a serial number: only their ports tell them apart.
            amplifier->MutableDescription().serialNumber.reset();
            bus.AddDevice(amplifier);
        }
        ui::HeadlessWindow window(MinimalLayout());
        ScriptedForm form(window, bus, kProfile);
        window.Load(form);
        window.Choose(hidlink::kChooserControl, 0);
        for (const std::string& step : history.steps) {
            if (step.rfind("pick ", 0) == 0)
                window.Choose(hidlink::kChooserControl, std::stoi(step.substr(5)));
            else
                form.Click(step);
        }
        EXPECT_TRUE(window.IsUnloaded() || window.RequestClose());
        EXPECT_EQ(form.ExitStatus(), history.status);
    }
}

}  // namespace
