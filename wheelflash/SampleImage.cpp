// Writes the sample image that wheelflash-sim sends: 300 whole records and a 17-byte tail that
// is never sent, from a fixed seed so every build makes the same file.
#include <cstdint>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output file>\n", argv[0]);
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    constexpr long kSize = 300 * 40 + 17;
    std::uint32_t state = 0x2545F491u;
    for (long i = 0; i < kSize; ++i) {
        // xorshift32: plain, portable, and different enough from record to record.
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        std::fputc(static_cast<int>(state & 0xFF), out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
