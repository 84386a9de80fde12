#include "cmdline/CaptureOption.h"

#include <cstdio>

namespace cmdline {

std::optional<int> ProgramCapture::Start(const ProgramInfo& info, const Options& options) {
    if (options.capturePath.empty())
        return std::nullopt;
    std::string problem;
    file_ = hidlink::CaptureFile::Create(options.capturePath, &problem);
    if (!file_) {
        std::fprintf(stderr, "%s: cannot create the capture file %s: %s\n",
                     ProgramName(info).c_str(), options.capturePath.c_str(), problem.c_str());
        return kWrongUsage;
    }
    capturing_ = std::make_unique<hidlink::CapturingApi>(api_, *file_, options.captureAnonymous);
    return std::nullopt;
}

}  // namespace cmdline
