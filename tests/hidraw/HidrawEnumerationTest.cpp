// Enumeration and the detail query of the hidraw backend, on a sysfs tree in a temp folder.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "hidlink/platform/linux/HidrawApi.h"
#include "tests/hidraw/FakeSysfs.h"

namespace {

using namespace hidlink;
using hidraw_test::FakeSysfs;

constexpr std::uint8_t kUntouched = 0xAA;

class HidrawEnumeration : public testing::Test {
  protected:
    DeviceInfoList OpenList() {
        Guid guid;
        api.HidD_GetHidGuid(&guid);
        hidGuid = guid;
        return api.SetupDiGetClassDevsA(&hidGuid, kDigcfPresent | kDigcfDeviceInterface);
    }

    DeviceInterfaceData Interface(DeviceInfoList list, std::uint32_t index) {
        DeviceInterfaceData data;
        data.cbSize = api.DeviceInterfaceDataSize();
        EXPECT_EQ(api.SetupDiEnumDeviceInterfaces(list, &hidGuid, index, &data), 1);
        return data;
    }

    // The paths of the list, read the way the shared discovery code reads them.
    std::vector<std::string> Paths(DeviceInfoList list) {
        std::vector<std::string> paths;
        DeviceInterfaceData data;
        data.cbSize = api.DeviceInterfaceDataSize();
        for (std::uint32_t i = 0; api.SetupDiEnumDeviceInterfaces(list, &hidGuid, i, &data); ++i) {
            std::uint32_t required = 0;
            EXPECT_EQ(api.SetupDiGetDeviceInterfaceDetailA(list, &data, nullptr, 0, &required), 0);
            std::vector<std::uint8_t> detail(required);
            const std::uint32_t cbSize = api.DetailDataCbSize();
            std::memcpy(detail.data(), &cbSize, 4);
            EXPECT_EQ(api.SetupDiGetDeviceInterfaceDetailA(list, &data, detail.data(), required,
                                                           &required),
                      1);
            paths.emplace_back(reinterpret_cast<const char*>(detail.data() + 4));
        }
        return paths;
    }

    FakeSysfs sysfs;
    hidraw::HidrawApi api{sysfs.SysRoot(), sysfs.DevRoot()};
    Guid hidGuid;
};

TEST_F(HidrawEnumeration, ListsNodesInNumericOrder) {
    for (int node : {10, 2, 0, 1})
        sysfs.AddUsbHidraw(node, {});
    const DeviceInfoList list = OpenList();
    EXPECT_EQ(Paths(list), (std::vector<std::string>{sysfs.DevicePath(0), sysfs.DevicePath(1),
                                                     sysfs.DevicePath(2), sysfs.DevicePath(10)}));
    EXPECT_EQ(api.SetupDiDestroyDeviceInfoList(list), 1);
}

TEST_F(HidrawEnumeration, ListIsASnapshot) {
    sysfs.AddUsbHidraw(3, {});
    const DeviceInfoList before = OpenList();
    sysfs.AddUsbHidraw(1, {});
    EXPECT_EQ(Paths(before), std::vector<std::string>{sysfs.DevicePath(3)});
    const DeviceInfoList after = OpenList();
    EXPECT_EQ(Paths(after).size(), 2u);
    EXPECT_EQ(api.SetupDiDestroyDeviceInfoList(before), 1);
    EXPECT_EQ(api.SetupDiDestroyDeviceInfoList(after), 1);
}

TEST_F(HidrawEnumeration, NoHidrawClassGivesAnEmptyList) {
    const DeviceInfoList list = OpenList();
    ASSERT_NE(list, kInvalidDeviceInfoList);
    DeviceInterfaceData data;
    data.cbSize = api.DeviceInterfaceDataSize();
    EXPECT_EQ(api.SetupDiEnumDeviceInterfaces(list, &hidGuid, 0, &data), 0);
    EXPECT_EQ(api.SetupDiDestroyDeviceInfoList(list), 1);
}

TEST_F(HidrawEnumeration, RefusesAWrongRecordSizeAndAnIndexPastTheEnd) {
    sysfs.AddUsbHidraw(0, {});
    const DeviceInfoList list = OpenList();
    DeviceInterfaceData data;
    data.cbSize = 28;  // the 32-bit record
    EXPECT_EQ(api.SetupDiEnumDeviceInterfaces(list, &hidGuid, 0, &data), 0);
    data.cbSize = api.DeviceInterfaceDataSize();
    EXPECT_EQ(api.SetupDiEnumDeviceInterfaces(list, &hidGuid, 1, &data), 0);
    EXPECT_EQ(api.SetupDiDestroyDeviceInfoList(list), 1);
}

struct DetailCase {
    const char* name;
    std::uint32_t cbSize;
    int sizeAdjustment;  // detailSize = required size + this
    bool succeeds;
};

// Parameters print as their names in test output.
void PrintTo(const DetailCase& c, std::ostream* os) {
    *os << c.name;
}

const DetailCase kDetailCases[] = {
    {"RequiredSize", 8, 0, true}, {"LargerBuffer", 8, 3, true}, {"OneByteShort", 8, -1, false},
    {"Win32CbSize", 5, 0, false}, {"ZeroCbSize", 0, 0, false},
};

class HidrawDetail : public HidrawEnumeration, public testing::WithParamInterface<DetailCase> {};

TEST_P(HidrawDetail, WritesThePathFromByteFourAndNeverPastTheSize) {
    const DetailCase& c = GetParam();
    sysfs.AddUsbHidraw(7, {});
    const DeviceInfoList list = OpenList();
    DeviceInterfaceData data = Interface(list, 0);
    const std::string path = sysfs.DevicePath(7);

    std::uint32_t required = 0;
    EXPECT_EQ(api.SetupDiGetDeviceInterfaceDetailA(list, &data, nullptr, 0, &required), 0);
    ASSERT_EQ(required, 4 + path.size() + 1);

    const std::uint32_t detailSize = required + c.sizeAdjustment;
    std::vector<std::uint8_t> detail(detailSize + 16, kUntouched);
    std::memcpy(detail.data(), &c.cbSize, 4);
    EXPECT_EQ(
        api.SetupDiGetDeviceInterfaceDetailA(list, &data, detail.data(), detailSize, &required),
        c.succeeds ? 1 : 0);

    std::uint32_t cbSizeAfter = 0;
    std::memcpy(&cbSizeAfter, detail.data(), 4);
    EXPECT_EQ(cbSizeAfter, c.cbSize);
    if (c.succeeds) {
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(detail.data() + 4)), path);
    }
    const std::size_t firstUntouched = c.succeeds ? 4 + path.size() + 1 : 4;
    for (std::size_t i = firstUntouched; i < detail.size(); ++i) {
        ASSERT_EQ(detail[i], kUntouched) << "byte " << i;
    }
    EXPECT_EQ(api.SetupDiDestroyDeviceInfoList(list), 1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, HidrawDetail, testing::ValuesIn(kDetailCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HidrawEnumeration, DetailBufferTooSmallForItsSizeFieldIsNotRead) {
    sysfs.AddUsbHidraw(0, {});
    const DeviceInfoList list = OpenList();
    DeviceInterfaceData data = Interface(list, 0);
    // Exactly two bytes on the heap: reading a four-byte size field would trip the sanitizer.
    const auto detail = std::make_unique<std::uint8_t[]>(2);
    std::uint32_t required = 0;
    EXPECT_EQ(api.SetupDiGetDeviceInterfaceDetailA(list, &data, detail.get(), 2, &required), 0);
    EXPECT_EQ(required, 4 + sysfs.DevicePath(0).size() + 1);
    EXPECT_EQ(api.SetupDiDestroyDeviceInfoList(list), 1);
}

}  // namespace
