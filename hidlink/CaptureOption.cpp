#include "hidlink/CaptureOption.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "common/SystemText.h"

namespace hidlink {

namespace {

std::filesystem::path PathOf(const std::string& utf8) {
#ifdef _WIN32
    return std::filesystem::path(common::Utf16(utf8));
#else
    return std::filesystem::path(utf8);
#endif
}

// The same file, through a link or another spelling; a file not there yet by its whole path.
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (std::filesystem::equivalent(PathOf(a), PathOf(b), error))
        return true;
    const auto whole = [](const std::string& path) {
        std::error_code ignored;
        return std::filesystem::weakly_canonical(PathOf(path), ignored).lexically_normal();
    };
    return whole(a) == whole(b);
}

}  // namespace

ProgramCapture::~ProgramCapture() {
    if (file_ && file_->LinesLost() > 0)
        std::fprintf(stderr, "The capture file lacks %d lines the disk refused.\n",
                     file_->LinesLost());
}

std::optional<int> ProgramCapture::Start(const cmdline::ProgramInfo& info,
                                         const cmdline::Options& options,
                                         const std::vector<std::string>& otherFiles) {
    if (options.capturePath.empty())
        return std::nullopt;
    std::vector<std::string> ownFiles = otherFiles;
    ownFiles.insert(ownFiles.end(), {options.imagePath, options.recordPath, options.replayPath});
    for (const std::string& own : ownFiles) {
        if (!own.empty() && SameFile(options.capturePath, own)) {
            std::fprintf(stderr, "%s: the capture file %s would overwrite %s\n",
                         cmdline::ProgramName(info).c_str(), options.capturePath.c_str(),
                         own.c_str());
            return cmdline::kWrongUsage;
        }
    }
    std::string problem;
    file_ = CaptureFile::Create(options.capturePath, &problem);
    if (!file_) {
        std::fprintf(stderr, "%s: cannot create the capture file %s: %s\n",
                     cmdline::ProgramName(info).c_str(), options.capturePath.c_str(),
                     problem.c_str());
        return cmdline::kWrongUsage;
    }
    capturing_ = std::make_unique<CapturingApi>(api_, *file_, options.captureAnonymous);
    return std::nullopt;
}

}  // namespace hidlink
