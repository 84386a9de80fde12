// Writes a sample firmware image for a -sim program: SIZE bytes from a fixed seed, so every
// build makes the same file. Sizes that are not a multiple of 40 leave a tail the updaters
// never send. Compiled for the build machine, also in a cross build.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s OUTPUT SIZE SEED\n", argv[0]);
        return 2;
    }
    const long size = std::strtol(argv[2], nullptr, 10);
    std::uint32_t state = static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 0));
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    for (long i = 0; i < size; ++i) {
        // xorshift32: plain, portable, and different enough from record to record.
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        std::fputc(static_cast<int>(state & 0xFF), out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
