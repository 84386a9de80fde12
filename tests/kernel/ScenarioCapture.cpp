#include "ScenarioCapture.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace kerneltest {

ScenarioCapture::ScenarioCapture(hidlink::ApiDeclarations& api, std::string name)
    : name_(std::move(name)), path_("/tmp/capture-" + name_ + ".jsonl") {
    std::string problem;
    file_ = hidlink::CaptureFile::Create(path_, &problem);
    if (!file_)
        throw std::runtime_error("the capture file " + path_ + " cannot be created: " + problem);
    capturing_ = std::make_unique<hidlink::CapturingApi>(api, *file_, false);
}

ScenarioCapture::~ScenarioCapture() {
    capturing_.reset();
    file_.reset();
    std::ifstream in(path_, std::ios::binary);
    for (std::string line; std::getline(in, line);)
        std::printf("capture %s: %s\n", name_.c_str(), line.c_str());
    std::fflush(stdout);
    std::remove(path_.c_str());
}

}  // namespace kerneltest
