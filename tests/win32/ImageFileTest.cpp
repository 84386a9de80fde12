// Image files and the program's directory through the real kernel32 calls.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "hidlink/PlatformApi.h"
#include "hidlink/platform/win32/TextConversion.h"
#include "tests/win32/OpenHandles.h"

namespace {

using hidlink::kNoFile;

bool Exists(const std::string& utf8Path) {
    std::wstring path;
    hidlink::win32::Utf8ToUtf16(utf8Path, &path);
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A fresh folder per test, holding one 100-byte image with a name outside ASCII.
class ImageFile : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        ASSERT_NE(::GetTempPathW(MAX_PATH + 1, temp), 0u);
        const std::wstring folder =
            std::wstring(temp) + L"drivanta-image-" + std::to_wstring(::GetCurrentProcessId());
        ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
        folder_ = hidlink::win32::Utf16ToUtf8(folder);

        for (int i = 0; i < 100; ++i)
            content_.push_back(static_cast<std::uint8_t>(i * 7));
        imagePath_ = folder_ + "\\servoamp-\xC3\xA4\xE2\x82\xAC.bin";  // "ä€" in the name
        std::wstring widePath;
        ASSERT_TRUE(hidlink::win32::Utf8ToUtf16(imagePath_, &widePath));
        const HANDLE file = ::CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(file, content_.data(), DWORD(content_.size()), &written, nullptr);
        ::CloseHandle(file);
        ASSERT_EQ(written, content_.size());
    }

    void TearDown() override {
        std::wstring path;
        hidlink::win32::Utf8ToUtf16(imagePath_, &path);
        ::DeleteFileW(path.c_str());
        hidlink::win32::Utf8ToUtf16(folder_, &path);
        ::RemoveDirectoryW(path.c_str());
    }

    hidlink::ApiDeclarations& api = hidlink::PlatformApi();
    std::string folder_;
    std::string imagePath_;
    std::vector<std::uint8_t> content_;
};

TEST_F(ImageFile, ReadsTheWholeFileInFortyByteSlicesThenReportsItsEnd) {
    const int handlesBefore = OpenHandleCount();
    std::string error;
    bool notFound = true;
    const hidlink::FileHandle file = api.OpenImageFile(imagePath_, &error, &notFound);
    ASSERT_NE(file, kNoFile) << error;
    EXPECT_FALSE(notFound);
    EXPECT_EQ(api.ImageFileSize(file, &error), 100);

    std::vector<std::uint8_t> read;
    std::vector<std::int64_t> counts;
    std::uint8_t slice[40];
    for (int i = 0; i < 4; ++i) {
        const std::int64_t count = api.ReadImageFile(file, slice, sizeof slice, &error);
        counts.push_back(count);
        if (count > 0)
            read.insert(read.end(), slice, slice + count);
    }
    EXPECT_EQ(counts, (std::vector<std::int64_t>{40, 40, 20, 0}));
    EXPECT_EQ(read, content_);

    api.CloseImageFile(file);
    EXPECT_EQ(OpenHandleCount(), handlesBefore);
}

struct OpenFailure {
    const char* description;
    const char* relativePath;  // appended to the test's folder
    bool notFound;
};

void PrintTo(const OpenFailure& failure, std::ostream* out) {
    *out << failure.description;
}

class ImageFileOpenFailure : public ImageFile, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(ImageFileOpenFailure, ReportsTheSystemErrorAndCreatesNothing) {
    const std::string path = folder_ + GetParam().relativePath;
    std::string error;
    bool notFound = !GetParam().notFound;

    EXPECT_EQ(api.OpenImageFile(path, &error, &notFound), kNoFile);

    EXPECT_EQ(notFound, GetParam().notFound);
    ASSERT_FALSE(error.empty());
    EXPECT_NE(error.back(), '\n');
    if (GetParam().notFound) {
        EXPECT_FALSE(Exists(path));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImageFileOpenFailure,
    ::testing::Values(OpenFailure{"missing file", "\\wheelflash.bin", true},
                      OpenFailure{"missing folder", "\\absent\\wheelflash.bin", true},
                      OpenFailure{"a folder, not a file", "", false},
                      OpenFailure{"name that is not UTF-8", "\\bad\xFF.bin", false}),
    [](const auto& info) {
        std::string name = info.param.description;
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        }
        return name;
    });

TEST(ProgramDirectory, HoldsTheRunningExecutable) {
    hidlink::ApiDeclarations& api = hidlink::PlatformApi();
    const std::string directory = api.ProgramDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_NE(directory.back(), '\\');  // the tests do not run from a drive root
    EXPECT_TRUE(Exists(directory + api.PathSeparator() + "win32_backend_tests.exe")) << directory;
}

TEST(AnsiToUnicode, GivesAsciiForTheLowerHalf) {
    hidlink::ApiDeclarations& api = hidlink::PlatformApi();
    for (int code = 1; code < 0x80; ++code) {
        EXPECT_EQ(api.AnsiToUnicode(static_cast<std::uint8_t>(code)), char32_t(code)) << code;
    }
}

TEST(AnsiToUnicode, FollowsWindows1252WhereThatIsTheCodePage) {
    if (::GetACP() != 1252)
        GTEST_SKIP() << "ANSI code page " << ::GetACP();
    hidlink::ApiDeclarations& api = hidlink::PlatformApi();
    EXPECT_EQ(api.AnsiToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(api.AnsiToUnicode(0xAC), U'\u00AC');
    EXPECT_EQ(api.AnsiToUnicode(0xE9), U'\u00E9');
}

}  // namespace
