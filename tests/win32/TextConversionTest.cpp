#include "hidlink/platform/win32/TextConversion.h"

#include <gtest/gtest.h>

namespace {

using hidlink::win32::DirectoryOf;
using hidlink::win32::SystemErrorText;
using hidlink::win32::Utf16ToUtf8;
using hidlink::win32::Utf8ToUtf16;

struct TextPair {
    const char* utf8;
    const wchar_t* utf16;
};

void PrintTo(const TextPair& pair, std::ostream* out) {
    *out << '"' << pair.utf8 << '"';
}

class BothDirections : public ::testing::TestWithParam<TextPair> {};

TEST_P(BothDirections, ConvertsLosslessly) {
    std::wstring wide = L"left over";
    ASSERT_TRUE(Utf8ToUtf16(GetParam().utf8, &wide));
    EXPECT_EQ(wide, GetParam().utf16);
    EXPECT_EQ(Utf16ToUtf8(GetParam().utf16), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(Texts, BothDirections,
                         ::testing::Values(TextPair{"", L""},
                                           TextPair{"C:\\Temp\\image.bin", L"C:\\Temp\\image.bin"},
                                           TextPair{"Gr\xC3\xBC\xC3\x9F"
                                                    "e",
                                                    L"Gr\u00FC\u00DFe"},
                                           TextPair{"\xE2\x82\xAC 5", L"\u20AC 5"},
                                           // outside the BMP: a surrogate pair in UTF-16
                                           TextPair{"\xF0\x9F\x8E\xAE", L"\U0001F3AE"}));

TEST(Utf8ToUtf16, RefusesTextThatIsNotUtf8) {
    for (const char* invalid : {"\xC3",
                                "a\xFF"
                                "b",
                                "\xED\xA0\x80" /* encoded surrogate */}) {
        std::wstring wide;
        EXPECT_FALSE(Utf8ToUtf16(invalid, &wide)) << invalid;
    }
}

TEST(Utf16ToUtf8, ReplacesALoneSurrogate) {
    EXPECT_EQ(Utf16ToUtf8(std::wstring{L'a', wchar_t(0xD800), L'b'}),
              "a\xEF\xBF\xBD"
              "b");
}

struct DirectoryCase {
    const wchar_t* path;
    const wchar_t* directory;
};

void PrintTo(const DirectoryCase& directoryCase, std::ostream* out) {
    *out << hidlink::win32::Utf16ToUtf8(directoryCase.path);
}

class DirectoryOfPath : public ::testing::TestWithParam<DirectoryCase> {};

TEST_P(DirectoryOfPath, DropsTheLastComponent) {
    EXPECT_EQ(DirectoryOf(GetParam().path), GetParam().directory);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DirectoryOfPath,
    ::testing::Values(DirectoryCase{L"C:\\Tools\\Drivanta\\ampflash.exe", L"C:\\Tools\\Drivanta"},
                      DirectoryCase{L"C:\\ampflash.exe", L"C:\\"},
                      DirectoryCase{L"\\\\?\\C:\\ampflash.exe", L"\\\\?\\C:\\"},
                      DirectoryCase{L"\\\\server\\share\\ampflash.exe", L"\\\\server\\share"},
                      DirectoryCase{L"Z:/work/build/ampflash.exe", L"Z:/work/build"},
                      DirectoryCase{L"\\ampflash.exe", L"\\"},
                      DirectoryCase{L"ampflash.exe", L""}));

TEST(SystemErrorText, IsTheSystemMessageWithoutItsLineEnd) {
    for (const DWORD error : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION}) {
        const std::string text = SystemErrorText(error);
        ASSERT_FALSE(text.empty()) << error;
        EXPECT_NE(text.back(), '\n') << error;
        EXPECT_NE(text.back(), '\r') << error;
    }
}

TEST(SystemErrorText, NamesTheCodeWhenTheSystemHasNoMessage) {
    EXPECT_EQ(SystemErrorText(0x2000FFFF), "Error 536936447");
}

}  // namespace
