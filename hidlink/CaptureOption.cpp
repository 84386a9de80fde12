#include "hidlink/CaptureOption.h"

#include <cstdio>

namespace hidlink {

std::optional<int> ProgramCapture::Start(const cmdline::ProgramInfo& info,
                                         const cmdline::Options& options) {
    if (options.capturePath.empty())
        return std::nullopt;
    std::string problem;
    file_ = CaptureFile::Create(options.capturePath, &problem);
    if (!file_) {
        std::fprintf(stderr, "%s: cannot create the capture file %s: %s\n",
                     cmdline::ProgramName(info).c_str(), options.capturePath.c_str(), problem.c_str());
        return cmdline::kWrongUsage;
    }
    capturing_ = std::make_unique<CapturingApi>(api_, *file_, options.captureAnonymous);
    return std::nullopt;
}

}  // namespace hidlink
