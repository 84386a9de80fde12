#include "bench/ImageDirectory.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace bench {

ImageDirectory::ImageDirectory(const std::string& fileName, std::size_t records)
    : fileName_(fileName), records_(records) {
    std::string pattern = (std::filesystem::temp_directory_path() / "bench-image-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a temp folder");
    directory_ = pattern;
    std::ofstream image(directory_ / fileName, std::ios::binary);
    for (std::size_t i = 0; i < WrittenBytes(); ++i)
        image.put(static_cast<char>(i * 7 + i / kRecordBytes));
}

std::vector<std::uint8_t> ImageDirectory::Bytes() const {
    std::ifstream file(directory_ / fileName_, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

ImageDirectory::~ImageDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

}  // namespace bench
