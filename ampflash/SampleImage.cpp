// Writes the sample image that ampflash-sim sends: 300 whole records and a 7-byte tail, which
// the transfer leaves out. The bytes are the same on every build.
#include <cstdint>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    constexpr long kBytes = 300 * 40 + 7;
    std::uint32_t state = 0x2233u;
    for (long i = 0; i < kBytes; ++i) {
        state = state * 1664525u + 1013904223u;  // a plain LCG: deterministic, not random
        std::fputc(static_cast<int>(state >> 24), out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
