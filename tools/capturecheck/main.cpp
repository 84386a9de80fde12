// capture-check FILE...: says of each capture written by --capture whether it is a well-formed
// exchange with the devices, and what is wrong where it is not. Status 0 when every file is.
#include <cstdio>
#include <fstream>

#include "hidlink/capture/CaptureLine.h"
#include "tools/capturecheck/CaptureCheck.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: capture-check FILE...\n");
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        std::string problem;
        const auto capture = in ? hidlink::ReadCapture(in, &problem) : std::nullopt;
        if (!capture) {
            std::printf("%s: not a capture: %s\n", argv[i], in ? problem.c_str() : "cannot open");
            status = 1;
            continue;
        }
        const auto problems = capturecheck::CheckCapture(*capture);
        std::printf("%s: %s (%zu calls)\n", argv[i],
                    problems.empty() ? "well-formed" : "NOT well-formed", capture->size());
        for (const auto& p : problems)
            std::printf("  %s\n", p.c_str());
        if (!problems.empty())
            status = 1;
    }
    return status;
}
