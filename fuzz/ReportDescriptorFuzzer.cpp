// The report-descriptor length rule on any bytes a device's descriptor may hold. libFuzzer hands
// the input in a heap block of exactly its size, so the address sanitizer reports any read past
// the descriptor; parsing it again followed by other bytes must give the same lengths.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/Require.h"
#include "hidlink/platform/linux/ReportDescriptor.h"

namespace {

using hidlink::hidraw::ParseReportDescriptor;
using hidlink::hidraw::ReportLengths;

bool SameLengths(const ReportLengths& a, const ReportLengths& b) {
    return a.usagePage == b.usagePage && a.usage == b.usage &&
           a.inputReportByteLength == b.inputReportByteLength &&
           a.outputReportByteLength == b.outputReportByteLength &&
           a.featureReportByteLength == b.featureReportByteLength;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ReportLengths lengths = ParseReportDescriptor(data, size);

    // Report Count, Feature and long-item prefixes: what a parser reading past the end would
    // act on.
    for (std::uint8_t tail : {0x95, 0xB1, 0xFE}) {
        std::vector<std::uint8_t> padded(data, data + size);
        padded.resize(size + 8, tail);
        fuzz::Require(SameLengths(lengths, ParseReportDescriptor(padded.data(), size)),
                      "bytes after the descriptor change its lengths");
    }
    return 0;
}
