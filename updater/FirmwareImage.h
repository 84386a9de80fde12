// The firmware image as the two updaters see it: raw bytes beside the program, sent in 40-byte
// records, in file order. A trailing fragment shorter than a record is never sent.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "hidlink/ApiDeclarations.h"

namespace updater {

inline constexpr std::size_t kRecordSize = 40;
// RecordCount is a signed 16-bit count of read attempts (whole records + 1), so an image holds
// at most 32,766 whole records.
inline constexpr std::int64_t kMaxRecords = 32766;
// The longest file that still holds no more than kMaxRecords whole records.
inline constexpr std::int64_t kMaxImageBytes =
    kMaxRecords * static_cast<std::int64_t>(kRecordSize) + static_cast<std::int64_t>(kRecordSize) -
    1;

using ImageRecord = std::array<std::uint8_t, kRecordSize>;

// Read attempts of the counting pass for a file of this size: whole records + 1.
std::int16_t RecordCountFor(std::int64_t fileSize);

// The whole records of an image, in order.
std::vector<ImageRecord> SplitRecords(const std::vector<std::uint8_t>& image);

// Width of the progress fill after k reports: k x fullWidth / recordCount, in floating point.
double ProgressWidth(std::int64_t k, int fullWidth, int recordCount);

// The program's directory joined with the image's file name by the platform's separator, or ""
// when the platform cannot say where the program lies: the image is then not guessed at.
std::string ImagePath(hidlink::ApiDeclarations& api, const std::string& fileName);
// The image the user named (on the command line), or else the one beside the program.
std::string ChosenImagePath(hidlink::ApiDeclarations& api, const std::string& chosen,
                            const std::string& fileName);

// Checks made before anything is sent: an update must never start on an image that cannot be
// sent whole, nor on a device that cannot carry a record in one report. The image is read here,
// once and whole, and the update sends exactly these records: a file changed afterwards cannot
// make it send something other than what was checked.
struct ImageCheck {
    bool ok = false;
    std::string problem;  // the caption that tells the user what is wrong
    std::vector<ImageRecord> records;
    std::string path;           // the file that was read, as shown to the user
    std::int64_t fileSize = 0;  // its whole size, a trailing fragment included
};
ImageCheck CheckImage(hidlink::ApiDeclarations& api, const std::string& path, int reportLength,
                      int minReportLength, int maxReportLength);

// The caption for a report length outside [minReportLength, maxReportLength], or "".
std::string ReportLengthProblem(int reportLength, int minReportLength, int maxReportLength);

}  // namespace updater
