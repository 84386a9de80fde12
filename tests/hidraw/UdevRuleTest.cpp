// The udev rule opens exactly the devices the three programs accept from our vendor, written
// the way sysfs shows the IDs (lower-case hex), and nothing of any other vendor.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "hidlink/HidLink.h"

namespace {

TEST(HidrawUdevRule, GrantsAccessToExactlyTheAcceptedProductsOfTheVendor) {
    std::ifstream rules(DRIVANTA_UDEV_RULES);
    ASSERT_TRUE(rules) << DRIVANTA_UDEV_RULES;
    const std::regex rule(R"re(KERNEL=="hidraw\*", ATTRS\{idVendor\}=="([0-9a-f]{4})", )re"
                          R"re(ATTRS\{idProduct\}=="([0-9a-f]{4})", TAG\+="uaccess")re");
    std::set<std::uint16_t> granted;
    for (std::string line; std::getline(rules, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, rule)) << line;
        EXPECT_EQ(match[1], "1d47") << line;
        granted.insert(static_cast<std::uint16_t>(std::stoul(match[2], nullptr, 16)));
    }

    std::set<std::uint16_t> accepted;
    for (std::uint32_t product = 0; product <= 0xFFFF; ++product) {
        hidlink::HiddAttributes a;
        a.VendorID = hidlink::kDrivantaVendorId;
        a.ProductID = static_cast<std::uint16_t>(product);
        if (hidlink::ServodiagAccepts(a) || hidlink::AmpflashAccepts(a) ||
            hidlink::WheelflashAccepts(a)) {
            accepted.insert(a.ProductID);
        }
    }
    EXPECT_EQ(granted, accepted);
}

}  // namespace
