// The call log of the simulated bus and of the emulated device: every call they answer, with its
// time, handle, bytes and result, and the plan of the calls a test wants to fail.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "hidlink/ApiDeclarations.h"
#include "hidlink/sim/SimClock.h"

namespace sim {

// Every call the bus answers, in the order of ApiDeclarations.
enum class CallKind : std::uint8_t {
    kHidD_GetHidGuid,
    kHidD_GetAttributes,
    kHidD_GetPreparsedData,
    kHidD_FreePreparsedData,
    kHidP_GetCaps,
    kHidD_GetManufacturerString,
    kHidD_GetProductString,
    kHidD_GetSerialNumberString,
    kHidD_GetFeature,
    kHidD_SetFeature,
    kSetupDiGetClassDevsA,
    kSetupDiEnumDeviceInterfaces,
    kSetupDiGetDeviceInterfaceDetailA,
    kSetupDiDestroyDeviceInfoList,
    kCreateFileA,
    kCloseHandle,
    kAccessRefused,
    kDevicePort,
    kSleep,
    kBeginPreciseTiming,
    kEndPreciseTiming,
    kOpenImageFile,
    kImageFileSize,
    kReadImageFile,
    kCloseImageFile,
    kCount
};

// The name a call is logged, failed and captured by: its name in ApiDeclarations.
std::string_view CallName(CallKind kind);
// The kind of the call of that name; nothing for a name the log has no call of.
std::optional<CallKind> CallNamed(std::string_view name);

struct Call {
    std::int64_t timeMs = 0;
    CallKind kind = CallKind::kCount;
    std::string name;
    hidlink::Handle handle = 0;
    std::vector<std::uint8_t> bytes;  // report sent, or report received; detail buffer; etc.
    std::uint32_t length = 0;         // length argument, or milliseconds for Sleep
    std::uint32_t flags = 0;          // CreateFileA flags, access and share packed as logged
    std::string text;                 // path or error text
    std::int64_t result = 0;
};

class CallLog {
  public:
    // Kept unless the clock is real: a program on a real clock runs for hours and nobody reads
    // its log.
    explicit CallLog(const SimClock& clock) : clock_(clock), keep_(!clock.IsReal()) {}

    // A fresh entry for the call, at the clock's time; while the log is off, a scratch entry
    // that the next call reuses.
    Call& Log(CallKind kind, hidlink::Handle handle = 0);
    const std::vector<Call>& Calls() const { return calls_; }
    std::vector<Call> CallsNamed(const std::string& name) const;
    void Clear() { calls_.clear(); }
    // Without the log, Calls() stays empty and memory stays the same however long the run.
    void Keep(bool keep);

    // The next `count` calls of that name fail; a name the log has no call of throws.
    void FailNext(const std::string& callName, int count = 1);
    // Only the n-th call of that name from now (1 = the next) fails.
    void FailNth(const std::string& callName, int n);
    // Counts the call and says whether it is one FailNext/FailNth asked to fail.
    bool TakeFailure(const Call& call);

  private:
    const SimClock& clock_;
    std::vector<Call> calls_;
    bool keep_;
    Call unloggedCall_;  // filled in and dropped while the log is off
    // By CallKind: the numbers of the calls to fail, and how many were made.
    std::array<std::set<std::int64_t>, static_cast<std::size_t>(CallKind::kCount)> failingCalls_;
    std::array<std::int64_t, static_cast<std::size_t>(CallKind::kCount)> callCounts_{};
};

}  // namespace sim
