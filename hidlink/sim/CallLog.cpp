#include "hidlink/sim/CallLog.h"

#include <algorithm>
#include <stdexcept>

namespace sim {

namespace {

// By CallKind.
constexpr std::array<std::string_view, static_cast<std::size_t>(CallKind::kCount)> kCallNames = {
    "HidD_GetHidGuid",
    "HidD_GetAttributes",
    "HidD_GetPreparsedData",
    "HidD_FreePreparsedData",
    "HidP_GetCaps",
    "HidD_GetManufacturerString",
    "HidD_GetProductString",
    "HidD_GetSerialNumberString",
    "HidD_GetFeature",
    "HidD_SetFeature",
    "SetupDiGetClassDevsA",
    "SetupDiEnumDeviceInterfaces",
    "SetupDiGetDeviceInterfaceDetailA",
    "SetupDiDestroyDeviceInfoList",
    "CreateFileA",
    "CloseHandle",
    "AccessRefused",
    "DevicePort",
    "Sleep",
    "BeginPreciseTiming",
    "EndPreciseTiming",
    "OpenImageFile",
    "ImageFileSize",
    "ReadImageFile",
    "CloseImageFile",
};

}  // namespace

std::string_view CallName(CallKind kind) {
    return kCallNames[static_cast<std::size_t>(kind)];
}

std::optional<CallKind> CallNamed(std::string_view name) {
    const auto* named = std::find(kCallNames.begin(), kCallNames.end(), name);
    if (named == kCallNames.end())
        return std::nullopt;
    return static_cast<CallKind>(named - kCallNames.begin());
}

void CallLog::Keep(bool keep) {
    keep_ = keep;
    if (!keep)
        calls_ = {};
}

std::vector<Call> CallLog::CallsNamed(const std::string& name) const {
    std::vector<Call> out;
    std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(out),
                 [&](const Call& c) { return c.name == name; });
    return out;
}

void CallLog::FailNext(const std::string& callName, int count) {
    for (int i = 1; i <= count; ++i)
        FailNth(callName, i);
}

// A misspelt name would fail nothing and leave the test that asked for it passing untested.
void CallLog::FailNth(const std::string& callName, int n) {
    const std::optional<CallKind> kind = CallNamed(callName);
    if (!kind)
        throw std::invalid_argument("the bus has no call named " + callName);
    const auto index = static_cast<std::size_t>(*kind);
    failingCalls_[index].insert(callCounts_[index] + n);
}

bool CallLog::TakeFailure(const Call& call) {
    const auto kind = static_cast<std::size_t>(call.kind);
    const std::int64_t number = ++callCounts_[kind];
    std::set<std::int64_t>& failing = failingCalls_[kind];
    return !failing.empty() && failing.erase(number) == 1;
}

Call& CallLog::Log(CallKind kind, hidlink::Handle handle) {
    Call& call = keep_ ? calls_.emplace_back() : unloggedCall_;
    call.timeMs = clock_.NowMs();
    call.kind = kind;
    // Named only in the log: without it the name is never read.
    if (keep_)
        call.name = CallName(kind);
    call.handle = handle;
    call.bytes.clear();
    call.length = 0;
    call.flags = 0;
    call.text.clear();
    call.result = 0;
    return call;
}

}  // namespace sim
