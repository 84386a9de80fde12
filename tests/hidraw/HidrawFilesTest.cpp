// Image files and the program's folder on Linux, with the texts the user sees on failure.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hidlink/platform/linux/HidrawApi.h"

namespace {

namespace fs = std::filesystem;
using hidlink::FileHandle;
using hidlink::kNoFile;

class HidrawFiles : public testing::Test {
  protected:
    HidrawFiles() {
        std::string pattern = (fs::temp_directory_path() / "hidraw-files-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            folder = pattern;
    }
    ~HidrawFiles() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    fs::path folder;
    hidlink::hidraw::HidrawApi api;
    std::string error;
    bool notFound = false;
};

TEST_F(HidrawFiles, MissingFileIsNotFoundAndNotCreated) {
    const fs::path image = folder / "wheelflash.bin";
    EXPECT_EQ(api.OpenImageFile(image.string(), &error, &notFound), kNoFile);
    EXPECT_TRUE(notFound);
    EXPECT_EQ(error, std::strerror(ENOENT));
    EXPECT_FALSE(fs::exists(image));
}

TEST_F(HidrawFiles, ReadsWholeRecordsThenTheRestThenNothing) {
    const fs::path image = folder / "image.bin";
    std::vector<char> bytes(100);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i);
    std::ofstream(image, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));

    const FileHandle file = api.OpenImageFile(image.string(), &error, &notFound);
    ASSERT_NE(file, kNoFile) << error;
    EXPECT_EQ(api.ImageFileSize(file, &error), 100);
    std::vector<std::int64_t> counts;
    std::vector<std::uint8_t> read;
    for (int i = 0; i < 4; ++i) {
        std::uint8_t record[40] = {};
        const std::int64_t n = api.ReadImageFile(file, record, sizeof record, &error);
        counts.push_back(n);
        read.insert(read.end(), record, record + std::max<std::int64_t>(n, 0));
    }
    EXPECT_EQ(counts, (std::vector<std::int64_t>{40, 40, 20, 0}));
    EXPECT_EQ(read, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    api.CloseImageFile(file);
}

// Only a regular file is an image. A FIFO must not hold the open until a writer comes.
TEST_F(HidrawFiles, WhatIsNoRegularFileIsRefusedAtOnce) {
    const fs::path fifo = folder / "image.bin";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        std::string error;
    } cases[] = {
        {folder.string(), std::strerror(EISDIR)},
        {fifo.string(), "not a regular file"},
        {"/dev/null", "not a regular file"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(api.OpenImageFile(c.path, &error, &notFound), kNoFile) << c.path;
        EXPECT_EQ(error, c.error) << c.path;
        EXPECT_FALSE(notFound) << c.path;
    }
}

TEST_F(HidrawFiles, ClosedFileIsNotReadThroughAReusedDescriptor) {
    const fs::path image = folder / "image.bin";
    std::ofstream(image) << "data";
    const FileHandle file = api.OpenImageFile(image.string(), &error, &notFound);
    api.CloseImageFile(file);
    // The lowest free descriptor is the one just closed.
    const int other = ::open(image.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(other, file);
    std::uint8_t record[40];
    EXPECT_EQ(api.ReadImageFile(file, record, sizeof record, &error), -1);
    api.CloseImageFile(file);
    EXPECT_NE(::fcntl(other, F_GETFD), -1) << "a descriptor the backend did not open was closed";
    ::close(other);
}

TEST_F(HidrawFiles, ProgramDirectoryHoldsTheRunningProgram) {
    const fs::path directory = api.ProgramDirectory();
    EXPECT_TRUE(directory.is_absolute()) << directory;
    EXPECT_TRUE(fs::exists(directory / "hidraw_tests")) << directory;
    EXPECT_EQ(api.PathSeparator(), "/");
}

}  // namespace
