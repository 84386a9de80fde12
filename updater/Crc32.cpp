#include "updater/Crc32.h"

#include <array>

namespace updater {

namespace {

constexpr std::array<std::uint32_t, 256> MakeTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kTable = MakeTable();

}  // namespace

std::uint32_t Crc32(std::uint32_t crc, const std::uint8_t* bytes, std::size_t size) {
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
        crc = kTable[(crc ^ bytes[i]) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t Crc32OfRecords(const std::vector<ImageRecord>& records) {
    std::uint32_t crc = 0;
    for (const ImageRecord& record : records)
        crc = Crc32(crc, record.data(), record.size());
    return crc;
}

}  // namespace updater
