// CRC-32 with the zlib polynomial, so that anyone can check an image with standard tools.
#pragma once

#include <cstddef>
#include <cstdint>

namespace simdevices {

inline std::uint32_t Crc32(const std::uint8_t* data, std::size_t length, std::uint32_t crc = 0) {
    crc = ~crc;
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

}  // namespace simdevices
