#include "hidlink/platform/linux/ReportDescriptor.h"

#include <algorithm>
#include <map>
#include <vector>

namespace hidlink::hidraw {

namespace {

// Item types and tags of the HID 1.11 short item prefix (tag << 4 | type << 2 | size code).
enum ItemType : std::uint8_t { kMain = 0, kGlobal = 1, kLocal = 2 };
enum MainTag : std::uint8_t {
    kInput = 0x8,
    kOutput = 0x9,
    kCollection = 0xA,
    kFeature = 0xB,
    kEndCollection = 0xC,
};
enum GlobalTag : std::uint8_t {
    kUsagePage = 0x0,
    kReportSize = 0x7,
    kReportId = 0x8,
    kReportCount = 0x9,
    kPush = 0xA,
    kPop = 0xB,
};
enum LocalTag : std::uint8_t { kUsage = 0x0 };
constexpr std::uint8_t kLongItemPrefix = 0xFE;

// Push nests global states; real descriptors use one or two levels. Deeper pushes are ignored.
constexpr std::size_t kDeepestPush = 16;

// Far beyond any real report, yet small enough that adding to it never overflows.
constexpr std::uint64_t kBitsCeiling = std::uint64_t{1} << 40;

struct GlobalState {
    std::uint32_t usagePage = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportId = 0;
    std::uint32_t reportCount = 0;
};

// Bits per report ID of one kind of report.
using ReportBits = std::map<std::uint32_t, std::uint64_t>;

void AddBits(ReportBits& reports, const GlobalState& g) {
    std::uint64_t& bits = reports[g.reportId];
    bits = std::min(bits + std::uint64_t{g.reportSize} * g.reportCount, kBitsCeiling);
}

std::uint16_t WindowsByteLength(const ReportBits& reports) {
    if (reports.empty())
        return 0;
    std::uint64_t longestBits = 0;
    for (const auto& [id, bits] : reports)
        longestBits = std::max(longestBits, bits);
    const std::uint64_t bytes = (longestBits + 7) / 8 + 1;
    return static_cast<std::uint16_t>(std::min<std::uint64_t>(bytes, 0xFFFF));
}

std::uint32_t LittleEndian(const std::uint8_t* data, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i > 0; --i)
        value = value << 8 | data[i - 1];
    return value;
}

}  // namespace

ReportLengths ParseReportDescriptor(const std::uint8_t* descriptor, std::size_t size) {
    ReportLengths lengths;
    GlobalState global;
    std::vector<GlobalState> pushed;
    ReportBits input;
    ReportBits output;
    ReportBits feature;
    // The first Usage since the last main item, and its size in bytes (0: none yet).
    std::uint32_t firstUsage = 0;
    std::size_t firstUsageSize = 0;
    bool topCollectionSeen = false;
    int collectionDepth = 0;

    std::size_t pos = 0;
    while (pos < size) {
        const std::uint8_t prefix = descriptor[pos];
        if (prefix == kLongItemPrefix) {
            // Long item: prefix, data size, tag, data. Nothing in it matters here.
            if (size - pos < 3)
                break;
            const std::size_t itemSize = std::size_t{3} + descriptor[pos + 1];
            if (size - pos < itemSize)
                break;
            pos += itemSize;
            continue;
        }
        const std::size_t dataSize = (prefix & 3) == 3 ? 4 : prefix & 3;
        if (size - pos - 1 < dataSize)
            break;
        const std::uint8_t* data = descriptor + pos + 1;
        const std::uint32_t value = LittleEndian(data, dataSize);
        const auto type = static_cast<std::uint8_t>(prefix >> 2 & 3);
        const auto tag = static_cast<std::uint8_t>(prefix >> 4);
        pos += 1 + dataSize;

        if (type == kGlobal) {
            switch (tag) {
                case kUsagePage:
                    global.usagePage = value;
                    break;
                case kReportSize:
                    global.reportSize = value;
                    break;
                case kReportId:
                    global.reportId = value;
                    break;
                case kReportCount:
                    global.reportCount = value;
                    break;
                case kPush:
                    if (pushed.size() < kDeepestPush)
                        pushed.push_back(global);
                    break;
                case kPop:
                    if (!pushed.empty()) {
                        global = pushed.back();
                        pushed.pop_back();
                    }
                    break;
                default:
                    break;
            }
        } else if (type == kLocal) {
            if (tag == kUsage && firstUsageSize == 0 && dataSize > 0) {
                firstUsage = value;
                firstUsageSize = dataSize;
            }
        } else if (type == kMain) {
            switch (tag) {
                case kInput:
                    AddBits(input, global);
                    break;
                case kOutput:
                    AddBits(output, global);
                    break;
                case kFeature:
                    AddBits(feature, global);
                    break;
                case kCollection:
                    if (collectionDepth == 0 && !topCollectionSeen) {
                        topCollectionSeen = true;
                        // A four-byte Usage carries its own usage page in the high half.
                        lengths.usagePage = static_cast<std::uint16_t>(
                            firstUsageSize == 4 ? firstUsage >> 16 : global.usagePage);
                        lengths.usage = static_cast<std::uint16_t>(firstUsage);
                    }
                    ++collectionDepth;
                    break;
                case kEndCollection:
                    if (collectionDepth > 0)
                        --collectionDepth;
                    break;
                default:
                    break;
            }
            // Local items last until the next main item.
            firstUsage = 0;
            firstUsageSize = 0;
        }
    }

    lengths.inputReportByteLength = WindowsByteLength(input);
    lengths.outputReportByteLength = WindowsByteLength(output);
    lengths.featureReportByteLength = WindowsByteLength(feature);
    return lengths;
}

}  // namespace hidlink::hidraw
