#include "servodiag/StatusReadout.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>

#include "common/UtcTime.h"
#include "servodiag/StatusLines.h"

namespace servodiag {

namespace {

const char kNoStatusWords[] = "this device reports no status";

}  // namespace

std::int64_t SteadyMilliseconds() {
    return std::int64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count());
}

StatusReadout::StatusReadout(std::function<std::int64_t()> nowMs) : nowMs_(std::move(nowMs)) {}

void StatusReadout::Take(const std::uint8_t* report) {
    // The line is made only when asked for: a window asks for none.
    takenAt_ = std::chrono::system_clock::now();
    lineDue_ = true;
    noStatus_ = false;
    answering_ = report != nullptr;
    if (!answering_)
        return;
    std::copy_n(report, kStatusBufferSize, lastAnswer_.begin());
    answeredEver_ = true;
    lastAnswerMs_ = nowMs_();
}

void StatusReadout::TakeNoStatus() {
    takenAt_ = std::chrono::system_clock::now();
    lineDue_ = !noStatus_;
    noStatus_ = true;
    answering_ = false;
}

void StatusReadout::Forget() {
    answeredEver_ = false;
    noStatus_ = false;
}

std::vector<ui::LiveField> StatusReadout::Block() const {
    if (noStatus_) {
        std::vector<ui::LiveField> block = StatusBlock(nullptr, std::nullopt);
        block.front().value = kNoStatusWords;
        return block;
    }
    std::optional<std::int64_t> silentForMs;
    if (!answering_)
        silentForMs = nowMs_() - lastAnswerMs_;
    return StatusBlock(answeredEver_ ? lastAnswer_.data() : nullptr, silentForMs);
}

std::string StatusReadout::TakeLine() {
    if (!std::exchange(lineDue_, false))
        return "";
    if (noStatus_)
        return common::UtcMilliseconds(takenAt_) + " " + kNoStatusWords;
    // A device that has not answered yet has not stopped answering either.
    if (!answering_ && !answeredEver_)
        return common::UtcMilliseconds(takenAt_) + " no answer yet";
    return StatusLine(takenAt_, answering_ ? lastAnswer_.data() : nullptr);
}

}  // namespace servodiag
