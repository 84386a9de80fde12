// The Linux timing the transfers rely on: the deadline of a sleep, and the thread's timer slack
// raised for a sequence and given back after it.
#include <sys/prctl.h>

#include <gtest/gtest.h>

#include "hidlink/platform/linux/PreciseTiming.h"

namespace {

using hidlink::linuxtiming::DeadlineAfter;
using hidlink::linuxtiming::TimerSlack;

struct DeadlineCase {
    const char* name;
    timespec now;
    std::uint32_t milliseconds;
    timespec deadline;
};

class DeadlineTest : public ::testing::TestWithParam<DeadlineCase> {};

TEST_P(DeadlineTest, AddsTheDelayAndCarriesWholeSeconds) {
    const timespec got = DeadlineAfter(GetParam().now, GetParam().milliseconds);
    EXPECT_EQ(got.tv_sec, GetParam().deadline.tv_sec);
    EXPECT_EQ(got.tv_nsec, GetParam().deadline.tv_nsec);
}

INSTANTIATE_TEST_SUITE_P(
    Linux, DeadlineTest,
    ::testing::Values(DeadlineCase{"Nothing", {5, 100}, 0, {5, 100}},
                      DeadlineCase{"FourMs", {5, 100}, 4, {5, 4000100}},
                      DeadlineCase{"CarriesIntoTheNextSecond", {5, 998000000}, 4, {6, 2000000}},
                      DeadlineCase{"EndsExactlyOnASecond", {5, 996000000}, 4, {6, 0}},
                      DeadlineCase{"WholeSecondsAndMore", {5, 999999999}, 2001, {8, 999999}},
                      DeadlineCase{"LongestDelay", {0, 0}, 4294967295u, {4294967, 295000000}}),
    [](const auto& info) { return std::string(info.param.name); });

unsigned long CurrentSlack() {
    return static_cast<unsigned long>(::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0));
}

// Each step raises (+) or restores (-); the slack must be the finest exactly while raised.
TEST(TimerSlackTest, IsFinestWhileRaisedAndGivesBackTheThreadsOwnAfterTheOutermostRestore) {
    const unsigned long own = 70000;
    ASSERT_EQ(::prctl(PR_SET_TIMERSLACK, own, 0, 0, 0), 0);
    TimerSlack slack;
    const struct {
        char step;
        unsigned long expected;
    } steps[] = {{'+', 1}, {'+', 1}, {'-', 1}, {'-', own}, {'-', own}, {'+', 1}, {'-', own}};
    for (const auto& s : steps) {
        if (s.step == '+')
            slack.Raise();
        else
            slack.Restore();
        EXPECT_EQ(CurrentSlack(), s.expected) << "after " << s.step;
    }
    ::prctl(PR_SET_TIMERSLACK, 0, 0, 0, 0);
}

}  // namespace
