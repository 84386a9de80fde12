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

using ImageRecord = std::array<std::uint8_t, kRecordSize>;

// Read attempts of the counting pass for a file of this size: whole records + 1.
std::int16_t RecordCountFor(std::int64_t fileSize);

// The whole records of an image, in order.
std::vector<ImageRecord> SplitRecords(const std::vector<std::uint8_t>& image);

// Width of the progress fill after k reports: k x fullWidth / recordCount, in floating point.
double ProgressWidth(std::int64_t k, int fullWidth, int recordCount);

// The program's directory joined with the image's file name by the platform's separator.
std::string ImagePath(hidlink::ApiDeclarations& api, const std::string& fileName);
// The image the user named (on the command line), or else the one beside the program.
std::string ChosenImagePath(hidlink::ApiDeclarations& api, const std::string& chosen,
                            const std::string& fileName);

// Checks made before anything is sent: an update must never start on an image that cannot be
// sent whole, nor on a device that cannot carry a record in one report.
struct ImageCheck {
    bool ok = false;
    std::string problem;  // the caption that tells the user what is wrong
};
ImageCheck CheckImage(hidlink::ApiDeclarations& api, const std::string& path, int reportLength,
                      int minReportLength, int maxReportLength);

// Reads an image one record at a time. Never creates the file.
class ImageReader {
  public:
    enum class Result { Record, End, Error };

    explicit ImageReader(hidlink::ApiDeclarations& api) : api_(api) {}
    ~ImageReader() { Close(); }
    ImageReader(const ImageReader&) = delete;
    ImageReader& operator=(const ImageReader&) = delete;

    bool Open(const std::string& path);
    // Record: 40 bytes in `record`. End: the read came back short or empty. Error: see Error().
    Result Next(ImageRecord& record);
    void Close();
    const std::string& Error() const { return error_; }

  private:
    hidlink::ApiDeclarations& api_;
    hidlink::FileHandle file_ = hidlink::kNoFile;
    std::string error_;
};

}  // namespace updater
