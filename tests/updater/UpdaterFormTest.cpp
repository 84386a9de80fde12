// The window lifecycle both updaters share: close requests deferred while an update runs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "hidlink/sim/SimulatedBus.h"
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

TEST(UpdaterForm, DefersACloseUntilTheUpdateAllowsIt) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    ui::HeadlessWindow window(MinimalLayout());
    Form form(window, bus, kProfile);
    window.Load(form);
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

TEST(UpdaterForm, WithoutARequestTheWindowStays) {
    sim::VirtualClock clock;
    sim::SimulatedBus bus(clock);
    ui::HeadlessWindow window(MinimalLayout());
    Form form(window, bus, kProfile);
    window.Load(form);
    window.Click("Update");
    EXPECT_EQ(window.ProcessEventsCount(), 1);
    EXPECT_FALSE(form.closedAtEnd);
    EXPECT_FALSE(window.IsUnloaded());
    EXPECT_TRUE(window.RequestClose());  // no longer deferred
    EXPECT_THAT(bus.HandleProblems(), ::testing::IsEmpty());
}

}  // namespace
