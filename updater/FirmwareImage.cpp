#include "updater/FirmwareImage.h"

#include <algorithm>

#include "common/PathText.h"

namespace updater {

namespace {

constexpr std::uint32_t kReadChunk = 64 * 1024;

ImageCheck Rejected(std::string problem) {
    ImageCheck check;
    check.problem = std::move(problem);
    return check;
}

// Reads the whole image, or says why it cannot be sent. Never more than kMaxImageBytes + 1
// bytes are read, so a file that grows while it is read cannot exhaust memory.
ImageCheck ReadImage(hidlink::ApiDeclarations& api, const std::string& path) {
    if (path.empty())
        return Rejected("Image file not found");
    std::string error;
    bool notFound = false;
    const hidlink::FileHandle file = api.OpenImageFile(path, &error, &notFound);
    if (file == hidlink::kNoFile)
        return Rejected(notFound ? "Image file not found: " + common::ShownPath(path)
                                 : "Cannot read image file: " + error);

    std::vector<std::uint8_t> bytes;
    std::int64_t size = api.ImageFileSize(file, &error);
    bool readFailed = size < 0;
    while (!readFailed && size <= kMaxImageBytes) {
        const std::size_t got = bytes.size();
        bytes.resize(got + kReadChunk);
        const std::int64_t n = api.ReadImageFile(file, bytes.data() + got, kReadChunk, &error);
        bytes.resize(got + static_cast<std::size_t>(std::max<std::int64_t>(n, 0)));
        readFailed = n < 0;
        if (n <= 0)
            break;
        size = static_cast<std::int64_t>(bytes.size());
    }
    api.CloseImageFile(file);

    if (readFailed)
        return Rejected("Cannot read image file: " + error);
    if (size > kMaxImageBytes)
        return Rejected("Image file is too large");
    if (bytes.empty())
        return Rejected("Image file is empty");
    if (bytes.size() < kRecordSize)
        return Rejected("Image file is too short");
    return {true,
            {},
            SplitRecords(bytes),
            common::ShownPath(path),
            static_cast<std::int64_t>(bytes.size())};
}

}  // namespace

std::int16_t RecordCountFor(std::int64_t fileSize) {
    return static_cast<std::int16_t>(fileSize / static_cast<std::int64_t>(kRecordSize) + 1);
}

std::vector<ImageRecord> SplitRecords(const std::vector<std::uint8_t>& image) {
    std::vector<ImageRecord> records(image.size() / kRecordSize);
    for (std::size_t i = 0; i < records.size(); ++i) {
        std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(i * kRecordSize), kRecordSize,
                    records[i].begin());
    }
    return records;
}

double ProgressWidth(std::int64_t k, int fullWidth, int recordCount) {
    return static_cast<double>(k) * fullWidth / recordCount;
}

std::string ImagePath(hidlink::ApiDeclarations& api, const std::string& fileName) {
    const std::string directory = api.ProgramDirectory();
    if (directory.empty())
        return {};
    return directory + api.PathSeparator() + fileName;
}

std::string ReportLengthProblem(int reportLength, int minReportLength, int maxReportLength) {
    if (reportLength < minReportLength || reportLength > maxReportLength)
        return "Device report length not supported";
    return {};
}

std::string ChosenImagePath(hidlink::ApiDeclarations& api, const std::string& chosen,
                            const std::string& fileName) {
    return chosen.empty() ? ImagePath(api, fileName) : chosen;
}

ImageCheck CheckImage(hidlink::ApiDeclarations& api, const std::string& path, int reportLength,
                      int minReportLength, int maxReportLength) {
    ImageCheck check = ReadImage(api, path);
    if (!check.ok)
        return check;
    std::string problem = ReportLengthProblem(reportLength, minReportLength, maxReportLength);
    if (!problem.empty())
        return Rejected(std::move(problem));
    return check;
}

}  // namespace updater
