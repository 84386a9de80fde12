// The computer is kept awake from the answer to the update's end: the lock is taken before the
// first report goes out, let go after the last one and before the window closes, also when the
// update fails; nothing is taken when the user says no.
#include <algorithm>

#include "tests/ampflash/AmpflashRig.h"
#include "updater/KeepAwake.h"

namespace ampflash_test {
namespace {

// Where in the bus's call log the lock was taken and let go, and whether the window was open.
struct RecordingLock : updater::KeepAwake {
    explicit RecordingLock(const AmpflashRig& rig) : rig(rig) {}
    std::string Hold() override {
        taken.push_back(rig.bus.Calls().size());
        return {};
    }
    void Release() override {
        if (taken.size() > letGo.size()) {
            letGo.push_back(rig.bus.Calls().size());
            openWhenLetGo = !rig.window.IsUnloaded();
        }
    }
    const AmpflashRig& rig;
    std::vector<std::size_t> taken, letGo;
    bool openWhenLetGo = false;
};

struct LockCase {
    const char* name;
    bool answer;
    std::size_t refusedRecord;  // 0: none
};

class SleepLock : public RigTest<::testing::TestWithParam<LockCase>> {};

TEST_P(SleepLock, SpansEveryReportOfTheUpdate) {
    const LockCase& c = GetParam();
    AmpflashRig& rig = MakeRig();
    rig.WriteImage(ImageBytes(10 * 40));
    if (c.refusedRecord)
        rig.amplifier->RefuseRecords({c.refusedRecord});
    rig.acceptConfirmation = c.answer;
    RecordingLock lock(rig);
    rig.form.KeepAwakeDuringUpdates(lock);
    rig.Load();
    rig.bus.ClearCalls();
    rig.Click();
    rig.window.RequestClose();  // while the lock the form points to is still in scope

    if (!c.answer) {
        EXPECT_TRUE(lock.taken.empty());
        return;
    }
    const std::vector<sim::Call>& calls = rig.bus.Calls();
    const auto isReport = [](const sim::Call& call) {
        return call.name == "HidD_SetFeature" || call.name == "HidD_GetFeature";
    };
    const auto first = std::find_if(calls.begin(), calls.end(), isReport) - calls.begin();
    const auto last = calls.rend() - std::find_if(calls.rbegin(), calls.rend(), isReport);
    ASSERT_EQ(lock.taken.size(), 1u);
    ASSERT_EQ(lock.letGo.size(), 1u);
    EXPECT_LE(lock.taken[0], static_cast<std::size_t>(first));
    EXPECT_GE(lock.letGo[0], static_cast<std::size_t>(last));
    EXPECT_TRUE(lock.openWhenLetGo);
}

INSTANTIATE_TEST_SUITE_P(Ends, SleepLock,
                         ::testing::Values(LockCase{"Updated", true, 0},
                                           LockCase{"Failed", true, 4},
                                           LockCase{"Declined", false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ampflash_test
