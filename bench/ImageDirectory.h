// A fresh temp folder holding a firmware image of whole 40-byte records, removed afterwards.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace bench {

class ImageDirectory {
  public:
    ImageDirectory(const std::string& fileName, std::size_t records);
    ~ImageDirectory();
    ImageDirectory(const ImageDirectory&) = delete;
    ImageDirectory& operator=(const ImageDirectory&) = delete;

    std::string Path() const { return directory_.string(); }

  private:
    std::filesystem::path directory_;
};

}  // namespace bench
