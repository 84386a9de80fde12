// A fresh temp folder holding a firmware image of whole 40-byte records, removed afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

class ImageDirectory {
  public:
    ImageDirectory(const std::string& fileName, std::size_t records);
    ~ImageDirectory();
    ImageDirectory(const ImageDirectory&) = delete;
    ImageDirectory& operator=(const ImageDirectory&) = delete;

    static constexpr std::size_t kRecordBytes = 40;

    std::string Path() const { return directory_.string(); }
    std::size_t WrittenBytes() const { return records_ * kRecordBytes; }
    // The image file's bytes, as the updater reads them.
    std::vector<std::uint8_t> Bytes() const;

  private:
    std::filesystem::path directory_;
    std::string fileName_;
    std::size_t records_;
};

}  // namespace bench
