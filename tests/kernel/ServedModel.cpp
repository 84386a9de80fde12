#include "ServedModel.h"

#include <algorithm>

#include "FeatureDescriptor.h"

namespace kerneltest {

ReportIdsOf FixedReportIds(std::vector<std::uint8_t> ids) {
    return [ids](const sim::SimDevice&) { return ids; };
}

std::string Narrow(const std::optional<std::u16string>& text) {
    std::string out;
    if (text) {
        for (char16_t c : *text)
            out.push_back(static_cast<char>(c));
    }
    return out;
}

ServedModel::ServedModel(std::shared_ptr<sim::SimDevice> model, ReportIdsOf reportIds, Clock clock)
    : model_(std::move(model)), reportIds_(std::move(reportIds)), clock_(clock) {}

std::int64_t ServedModel::NowMs() const {
    if (clock_ == Clock::Frozen)
        return 0;
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

bool ServedModel::Advance() {
    std::lock_guard<std::mutex> lock(mutex_);
    model_->Advance(NowMs());
    return !pulled_ && model_->Description().present;
}

Appearance ServedModel::Appear() const {
    std::lock_guard<std::mutex> lock(mutex_);
    const sim::DeviceDescription& d = model_->Description();
    return {d, FeatureOnlyDescriptor(reportIds_(*model_), d.featureReportByteLength)};
}

std::optional<std::vector<std::uint8_t>> ServedModel::Get(std::uint8_t reportId,
                                                          std::uint32_t length) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::uint8_t> report(std::max<std::uint32_t>(length, 1), 0);
    report[0] = reportId;
    const std::int64_t now = NowMs();
    model_->Advance(now);
    const bool answered = model_->GetFeature(report.data(), length, now);
    exchanges_.push_back({Exchange::Kind::Get, reportId, report, !answered});
    if (!answered)
        return std::nullopt;
    return report;
}

bool ServedModel::Set(const std::vector<std::uint8_t>& report) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::int64_t now = NowMs();
    model_->Advance(now);
    const bool taken =
        !report.empty() &&
        model_->SetFeature(report.data(), static_cast<std::uint32_t>(report.size()), now);
    exchanges_.push_back(
        {Exchange::Kind::Set, report.empty() ? std::uint8_t{0} : report[0], report, !taken});
    return taken;
}

void ServedModel::PullPlugAtRequest(std::size_t n) {
    std::lock_guard<std::mutex> lock(mutex_);
    pullAt_ = requests_ + n;
}

void ServedModel::SetPlugged(bool plugged) {
    std::lock_guard<std::mutex> lock(mutex_);
    pulled_ = !plugged;
    pullAt_ = 0;
}

bool ServedModel::Admit() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (++requests_ == pullAt_)
        pulled_ = true;
    return !pulled_;
}

void ServedModel::LetGo() {
    std::lock_guard<std::mutex> lock(mutex_);
    model_->HandleClosed(NowMs());
}

std::vector<Exchange> ServedModel::Exchanges() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return exchanges_;
}

}  // namespace kerneltest
