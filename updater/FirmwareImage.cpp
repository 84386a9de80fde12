#include "updater/FirmwareImage.h"

#include <algorithm>

namespace updater {

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
    return api.ProgramDirectory() + api.PathSeparator() + fileName;
}

std::string ChosenImagePath(hidlink::ApiDeclarations& api, const std::string& chosen,
                            const std::string& fileName) {
    return chosen.empty() ? ImagePath(api, fileName) : chosen;
}

ImageCheck CheckImage(hidlink::ApiDeclarations& api, const std::string& path, int reportLength,
                      int minReportLength, int maxReportLength) {
    std::string error;
    bool notFound = false;
    const hidlink::FileHandle file = api.OpenImageFile(path, &error, &notFound);
    if (file == hidlink::kNoFile) {
        return {false, notFound ? "Image file not found" : "Cannot read image file: " + error};
    }
    const std::int64_t size = api.ImageFileSize(file, &error);
    api.CloseImageFile(file);
    if (size < 0)
        return {false, "Cannot read image file: " + error};
    if (size == 0)
        return {false, "Image file is empty"};
    if (size < static_cast<std::int64_t>(kRecordSize))
        return {false, "Image file is too short"};
    if (size / static_cast<std::int64_t>(kRecordSize) > kMaxRecords) {
        return {false, "Image file is too large"};
    }
    if (reportLength < minReportLength || reportLength > maxReportLength) {
        return {false, "Device report length not supported"};
    }
    return {true, {}};
}

bool ImageReader::Open(const std::string& path) {
    Close();
    bool notFound = false;
    file_ = api_.OpenImageFile(path, &error_, &notFound);
    return file_ != hidlink::kNoFile;
}

ImageReader::Result ImageReader::Next(ImageRecord& record) {
    if (file_ == hidlink::kNoFile)
        return Result::End;
    // A read may return fewer bytes than asked before the end (a pipe, a network share): keep
    // reading until the record is whole, the file ends or it fails.
    std::size_t got = 0;
    while (got < kRecordSize) {
        const std::int64_t n = api_.ReadImageFile(
            file_, record.data() + got, static_cast<std::uint32_t>(kRecordSize - got), &error_);
        if (n < 0)
            return Result::Error;
        if (n == 0)
            return Result::End;
        got += static_cast<std::size_t>(n);
    }
    return Result::Record;
}

void ImageReader::Close() {
    if (file_ == hidlink::kNoFile)
        return;
    api_.CloseImageFile(file_);
    file_ = hidlink::kNoFile;
}

}  // namespace updater
