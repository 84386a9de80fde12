// Software centres offer a program for a plugged-in device by the modaliases in its AppStream
// metainfo: each program must list exactly the products of our vendor that it accepts.
#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "hidlink/HidLink.h"

namespace {

struct ProgramCase {
    const char* program;
    bool (*accepts)(const hidlink::HiddAttributes&);
};

const ProgramCase kPrograms[] = {
    {"servodiag", hidlink::ServodiagAccepts},
    {"ampflash", hidlink::AmpflashAccepts},
    {"wheelflash", hidlink::WheelflashAccepts},
};

void PrintTo(const ProgramCase& c, std::ostream* os) {
    *os << c.program;
}

class Metainfo : public testing::TestWithParam<ProgramCase> {};

std::set<std::uint16_t> AcceptedProducts(const ProgramCase& c) {
    std::set<std::uint16_t> accepted;
    for (std::uint32_t product = 0; product <= 0xFFFF; ++product) {
        hidlink::HiddAttributes a;
        a.VendorID = hidlink::kDrivantaVendorId;
        a.ProductID = static_cast<std::uint16_t>(product);
        if (c.accepts(a))
            accepted.insert(a.ProductID);
    }
    return accepted;
}

TEST_P(Metainfo, ListsTheAcceptedProductsOfTheVendorAsModaliases) {
    const std::string path = std::string(DRIVANTA_PACKAGING_LINUX) + "/org.drivanta." +
                             GetParam().program + ".metainfo.xml";
    std::ifstream file(path);
    ASSERT_TRUE(file) << path;
    std::stringstream text;
    text << file.rdbuf();
    const std::string xml = text.str();

    // The USB modalias as the kernel writes it: upper-case hex, any device release.
    const std::regex modalias(R"(<modalias>usb:v([0-9A-F]{4})p([0-9A-F]{4})d\*</modalias>)");
    std::set<std::uint16_t> listed;
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), modalias);
         it != std::sregex_iterator(); ++it) {
        EXPECT_EQ((*it)[1], "1D47") << (*it)[0];
        listed.insert(static_cast<std::uint16_t>(std::stoul((*it)[2], nullptr, 16)));
    }
    EXPECT_EQ(listed, AcceptedProducts(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Programs, Metainfo, testing::ValuesIn(kPrograms),
                         [](const testing::TestParamInfo<ProgramCase>& info) {
                             return std::string(info.param.program);
                         });

}  // namespace
