#include "hidlink/capture/EmulatedDevice.h"

#include <algorithm>
#include <cstring>

#include "common/PathText.h"
#include "hidlink/capture/CallArguments.h"

namespace hidlink {

namespace args = call_arguments;

namespace {

std::string ValueText(const CaptureLine::Value& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value))
        return std::to_string(*number);
    return "\"" + std::get<std::string>(value) + "\"";
}

// What differs between a captured argument and the one the program passed, in words; empty
// when they are the same.
std::string Difference(const std::string& call, const std::string& key,
                       const CaptureLine::Value& expected, const CaptureLine::Value& got) {
    if (call == "OpenImageFile" && key == "path" &&
        common::BaseName(std::get<std::string>(expected)) ==
            common::BaseName(std::get<std::string>(got)))
        return {};
    if (expected == got)
        return {};
    if (key == "sent") {
        const auto want =
            BytesOfHex(std::get<std::string>(expected)).value_or(std::vector<std::uint8_t>{});
        const auto came =
            BytesOfHex(std::get<std::string>(got)).value_or(std::vector<std::uint8_t>{});
        const auto at = std::mismatch(want.begin(), want.end(), came.begin(), came.end());
        const auto index = static_cast<std::size_t>(at.first - want.begin());
        if (at.first != want.end() && at.second != came.end()) {
            return "sent byte " + std::to_string(index) + " is " + HexOf(&*at.second, 1) +
                   ", the capture has " + HexOf(&*at.first, 1);
        }
        return "sent " + std::to_string(came.size()) + " bytes, the capture has " +
               std::to_string(want.size());
    }
    return key + " is " + ValueText(got) + ", the capture has " + ValueText(expected);
}

// A device interface detail: its size field and a path, which the system keeps to a few
// thousand characters.
constexpr std::int64_t kLongestDetail = 4 + 32768 + 1;

void CopyOut(const std::vector<std::uint8_t>& bytes, void* buffer, std::size_t room) {
    std::copy_n(bytes.begin(), std::min(bytes.size(), room), static_cast<std::uint8_t*>(buffer));
}

}  // namespace

EmulatedDevice::EmulatedDevice(std::vector<CaptureLine> capture, sim::SimClock& clock)
    : capture_(std::move(capture)), clock_(clock), log_(clock) {}

const CaptureLine* EmulatedDevice::Expect(const CaptureLine& call) const {
    const CaptureLine* answer = Match(call);
    Note(call, answer);
    return answer;
}

void EmulatedDevice::Note(const CaptureLine& call, const CaptureLine* answer) const {
    const std::optional<sim::CallKind> kind = sim::CallNamed(call.Text("call"));
    if (!kind)  // the record sizes and the code page are no calls of the bus's log
        return;
    sim::Call& logged = log_.Log(*kind, static_cast<Handle>(call.Int("handle")));
    logged.length = static_cast<std::uint32_t>(call.Int("length", call.Int("milliseconds")));
    logged.text = call.Text("path");
    logged.bytes = answer != nullptr && answer->Find("received") != nullptr
                       ? answer->Bytes("received")
                       : call.Bytes("sent");
    logged.result = answer != nullptr ? answer->Int("result") : 0;
}

const CaptureLine* EmulatedDevice::Match(const CaptureLine& call) const {
    if (!mismatch_.empty())
        return nullptr;
    const std::string name = call.Text("call");
    const std::string which = "call " + std::to_string(next_ + 1) + ", " + name + ": ";
    if (next_ >= capture_.size()) {
        mismatch_ = which + "the capture has ended";
        return nullptr;
    }
    const CaptureLine& captured = capture_[next_];
    if (captured.Text("call") != name) {
        mismatch_ = which + "the capture has " + captured.Text("call") + " here";
        return nullptr;
    }
    for (const auto& [key, value] : call.Fields()) {
        const CaptureLine::Value* expected = captured.Find(key);
        std::string difference = expected == nullptr ? key + " is not in the capture"
                                                     : Difference(name, key, *expected, value);
        if (!difference.empty()) {
            mismatch_ = which + difference;
            return nullptr;
        }
    }
    ++next_;
    return &captured;
}

void EmulatedDevice::HidD_GetHidGuid(Guid* hidGuid) {
    if (const CaptureLine* line = Expect(args::Named("HidD_GetHidGuid")))
        CopyOut(line->Bytes("guid"), hidGuid, sizeof *hidGuid);
}

Bool32 EmulatedDevice::HidD_GetAttributes(Handle device, HiddAttributes* attributes) {
    const CaptureLine* line =
        Expect(args::OnHandle("HidD_GetAttributes", device).Add("size", attributes->Size));
    if (line == nullptr || line->Int("result") == 0)
        return 0;
    attributes->VendorID = static_cast<std::uint16_t>(line->Int("vid"));
    attributes->ProductID = static_cast<std::uint16_t>(line->Int("pid"));
    attributes->VersionNumber = static_cast<std::uint16_t>(line->Int("version"));
    return 1;
}

Bool32 EmulatedDevice::HidD_GetPreparsedData(Handle device, PreparsedData* preparsed) {
    const CaptureLine* line = Expect(args::OnHandle("HidD_GetPreparsedData", device));
    if (line == nullptr || line->Int("result") == 0)
        return 0;
    *preparsed = static_cast<PreparsedData>(line->Int("preparsed"));
    return 1;
}

Bool32 EmulatedDevice::HidD_FreePreparsedData(PreparsedData preparsed) {
    const CaptureLine* line =
        Expect(args::OnNumber("HidD_FreePreparsedData", "preparsed", preparsed));
    return line != nullptr ? static_cast<Bool32>(line->Int("result")) : 0;
}

std::int32_t EmulatedDevice::HidP_GetCaps(PreparsedData preparsed, HidpCaps* capabilities) {
    constexpr auto kInvalidPreparsedData = static_cast<std::int32_t>(0xC0110001);
    const CaptureLine* line = Expect(args::OnNumber("HidP_GetCaps", "preparsed", preparsed));
    if (line == nullptr)
        return kInvalidPreparsedData;
    const auto result = static_cast<std::int32_t>(line->Int("result"));
    if (result == kHidpStatusSuccess)
        CopyOut(line->Bytes("caps"), capabilities, sizeof *capabilities);
    return result;
}

Bool32 EmulatedDevice::ServeBytes(const CaptureLine& call, void* buffer, std::uint32_t length) {
    const CaptureLine* line = Expect(call);
    if (line == nullptr || line->Int("result") == 0)
        return 0;
    CopyOut(line->Bytes("received"), buffer, length);
    return static_cast<Bool32>(line->Int("result"));
}

Bool32 EmulatedDevice::HidD_GetManufacturerString(Handle device, void* buffer,
                                                  std::uint32_t length) {
    return ServeBytes(args::WithLength("HidD_GetManufacturerString", device, length), buffer,
                      length);
}

Bool32 EmulatedDevice::HidD_GetProductString(Handle device, void* buffer, std::uint32_t length) {
    return ServeBytes(args::WithLength("HidD_GetProductString", device, length), buffer, length);
}

Bool32 EmulatedDevice::HidD_GetSerialNumberString(Handle device, void* buffer,
                                                  std::uint32_t length) {
    return ServeBytes(args::WithLength("HidD_GetSerialNumberString", device, length), buffer,
                      length);
}

Bool32 EmulatedDevice::HidD_GetFeature(Handle device, void* report, std::uint32_t length) {
    return ServeBytes(args::FeatureReport("HidD_GetFeature", device, report, length), report,
                      length);
}

Bool32 EmulatedDevice::HidD_SetFeature(Handle device, void* report, std::uint32_t length) {
    const CaptureLine* line =
        Expect(args::FeatureReport("HidD_SetFeature", device, report, length));
    return line != nullptr ? static_cast<Bool32>(line->Int("result")) : 0;
}

DeviceInfoList EmulatedDevice::SetupDiGetClassDevsA(const Guid* classGuid, std::uint32_t flags) {
    const CaptureLine* line = Expect(args::ClassDevs(classGuid, flags));
    return line != nullptr ? static_cast<DeviceInfoList>(line->Int("result"))
                           : kInvalidDeviceInfoList;
}

Bool32 EmulatedDevice::SetupDiEnumDeviceInterfaces(DeviceInfoList list, const Guid* classGuid,
                                                   std::uint32_t memberIndex,
                                                   DeviceInterfaceData* interfaceData) {
    const CaptureLine* line =
        Expect(args::EnumInterfaces(list, classGuid, memberIndex, interfaceData));
    if (line == nullptr || line->Int("result") == 0)
        return 0;
    interfaceData->InterfaceClassGuid = *classGuid;
    interfaceData->Flags = static_cast<std::uint32_t>(line->Int("interfaceFlags"));
    interfaceData->Reserved = memberIndex;
    return 1;
}

Bool32 EmulatedDevice::SetupDiGetDeviceInterfaceDetailA(DeviceInfoList list,
                                                        DeviceInterfaceData* /*interfaceData*/,
                                                        void* detail, std::uint32_t detailSize,
                                                        std::uint32_t* requiredSize) {
    const CaptureLine* line = Expect(args::InterfaceDetail(list, detail, detailSize, requiredSize));
    if (line == nullptr)
        return 0;
    const std::int64_t required = line->Int("required");
    // A broken capture must not make the program allocate gigabytes for a path.
    if (required < 0 || required > kLongestDetail) {
        mismatch_ = "call " + std::to_string(next_) +
                    ", SetupDiGetDeviceInterfaceDetailA: required " + std::to_string(required) +
                    " is more than any device path needs";
        return 0;
    }
    if (requiredSize != nullptr)
        *requiredSize = static_cast<std::uint32_t>(required);
    if (line->Int("result") == 0)
        return 0;
    const std::string path = line->Text("path");
    if (detail == nullptr || detailSize < 4 + path.size() + 1)
        return 0;
    std::memcpy(static_cast<char*>(detail) + 4, path.c_str(), path.size() + 1);
    return 1;
}

Bool32 EmulatedDevice::SetupDiDestroyDeviceInfoList(DeviceInfoList list) {
    const CaptureLine* line = Expect(args::OnNumber("SetupDiDestroyDeviceInfoList", "list", list));
    return line != nullptr ? static_cast<Bool32>(line->Int("result")) : 0;
}

std::uint32_t EmulatedDevice::ServeNumber(const char* call) const {
    const CaptureLine* line = Expect(args::Named(call));
    return line != nullptr ? static_cast<std::uint32_t>(line->Int("result")) : 0;
}

std::uint32_t EmulatedDevice::DeviceInterfaceDataSize() const {
    return ServeNumber("DeviceInterfaceDataSize");
}

std::uint32_t EmulatedDevice::DetailDataCbSize() const {
    return ServeNumber("DetailDataCbSize");
}

std::uint32_t EmulatedDevice::SecurityAttributesSize() const {
    return ServeNumber("SecurityAttributesSize");
}

Handle EmulatedDevice::CreateFileA(const std::string& fileName, std::uint32_t desiredAccess,
                                   std::uint32_t shareMode, const SecurityAttributes* security,
                                   std::uint32_t creationDisposition,
                                   std::uint32_t flagsAndAttributes) {
    const CaptureLine* line = Expect(args::CreateFile(fileName, desiredAccess, shareMode, security,
                                                      creationDisposition, flagsAndAttributes));
    return line != nullptr ? static_cast<Handle>(line->Int("result")) : kInvalidHandleValue;
}

Bool32 EmulatedDevice::CloseHandle(Handle object) {
    const CaptureLine* line = Expect(args::OnHandle("CloseHandle", object));
    return line != nullptr ? static_cast<Bool32>(line->Int("result")) : 0;
}

OpenRefusal EmulatedDevice::AccessRefused(const std::string& devicePath,
                                          HiddAttributes* attributes) {
    const CaptureLine* line = Expect(args::OnPath("AccessRefused", devicePath));
    if (line == nullptr)
        return OpenRefusal::None;
    const auto result = static_cast<OpenRefusal>(line->Int("result"));
    if (result != OpenRefusal::None) {
        attributes->VendorID = static_cast<std::uint16_t>(line->Int("vid"));
        attributes->ProductID = static_cast<std::uint16_t>(line->Int("pid"));
    }
    return result;
}

std::string EmulatedDevice::DevicePort(const std::string& devicePath) {
    const CaptureLine* line = Expect(args::OnPath("DevicePort", devicePath));
    return line != nullptr ? line->Text("port") : std::string();
}

void EmulatedDevice::Sleep(std::uint32_t milliseconds) {
    if (Expect(args::OnNumber("Sleep", "milliseconds", milliseconds)) != nullptr)
        clock_.Sleep(milliseconds);
}

void EmulatedDevice::BeginPreciseTiming() {
    Expect(args::Named("BeginPreciseTiming"));
}

void EmulatedDevice::EndPreciseTiming() {
    Expect(args::Named("EndPreciseTiming"));
}

std::string EmulatedDevice::ProgramDirectory() {
    const CaptureLine* line = Expect(args::Named("ProgramDirectory"));
    return line != nullptr ? line->Text("directory") : std::string();
}

std::string EmulatedDevice::PathSeparator() const {
    const CaptureLine* line = Expect(args::Named("PathSeparator"));
    return line != nullptr ? line->Text("separator") : std::string("/");
}

char32_t EmulatedDevice::AnsiToUnicode(std::uint8_t code) const {
    if (codePage_.empty()) {
        const CaptureLine* line = Expect(args::Named("AnsiCodePage"));
        codePage_ = line != nullptr ? line->Bytes("unicode") : std::vector<std::uint8_t>{};
    }
    if (codePage_.size() < 512)
        return U'?';
    return static_cast<char32_t>(codePage_[2 * std::size_t(code)] << 8 |
                                 codePage_[2 * std::size_t(code) + 1]);
}

FileHandle EmulatedDevice::OpenImageFile(const std::string& path, std::string* errorText,
                                         bool* notFound) {
    const CaptureLine* line = Expect(args::OnPath("OpenImageFile", path));
    *notFound = false;
    if (line == nullptr) {
        *errorText = "the replay differs from the capture";
        return kNoFile;
    }
    const auto result = static_cast<FileHandle>(line->Int("result"));
    if (result == kNoFile) {
        *errorText = line->Text("errorText");
        *notFound = line->Int("notFound") != 0;
    }
    return result;
}

std::int64_t EmulatedDevice::ImageFileSize(FileHandle file, std::string* errorText) {
    const CaptureLine* line = Expect(args::OnNumber("ImageFileSize", "file", file));
    const std::int64_t result = line != nullptr ? line->Int("result") : -1;
    if (result < 0)
        *errorText = line != nullptr ? line->Text("errorText") : "the replay differs";
    return result;
}

std::int64_t EmulatedDevice::ReadImageFile(FileHandle file, void* buffer, std::uint32_t length,
                                           std::string* errorText) {
    const CaptureLine* line =
        Expect(args::OnNumber("ReadImageFile", "file", file).Add("length", length));
    const std::int64_t result = line != nullptr ? line->Int("result") : -1;
    if (result < 0) {
        *errorText = line != nullptr ? line->Text("errorText") : "the replay differs";
        return result;
    }
    // Never more than the program asked for nor than the capture holds: a broken capture's
    // count must not send the program past its buffer.
    const std::vector<std::uint8_t> received = line->Bytes("received");
    CopyOut(received, buffer, length);
    return std::min<std::int64_t>(result, std::min<std::int64_t>(length, std::ssize(received)));
}

void EmulatedDevice::CloseImageFile(FileHandle file) {
    Expect(args::OnNumber("CloseImageFile", "file", file));
}

}  // namespace hidlink
