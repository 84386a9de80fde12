#include "hidlink/capture/CapturingApi.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "hidlink/DeviceIdentity.h"
#include "hidlink/capture/CallArguments.h"
#include "hidlink/capture/PlatformError.h"

namespace hidlink {

namespace args = call_arguments;

namespace {

// A serial this short could stand for digits of any path; it is left as it is.
constexpr std::size_t kShortestHiddenSerial = 3;

std::function<std::int64_t()> MonotonicMs() {
    const auto start = std::chrono::steady_clock::now();
    return [start] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start)
            .count();
    };
}

// The UTF-16LE string at the start of a buffer, up to its terminator, as UTF-8.
std::string Utf8OfUtf16(const std::uint8_t* bytes, std::uint32_t length) {
    std::string out;
    for (std::uint32_t i = 0; i + 1 < length; i += 2) {
        char32_t unit = static_cast<char32_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == 0)
            break;
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < length) {
            const char32_t low = static_cast<char32_t>(bytes[i + 2] | (bytes[i + 3] << 8));
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        AppendUtf8(out, unit);
    }
    return out;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), Lower);
    return text;
}

// Windows gives a device's serial in its path lowercased, the device's strings as it has it.
void ReplaceAllAnyCase(std::string& text, const std::string& what, const std::string& with) {
    const std::string lowerWhat = Lowercase(what);
    for (std::size_t at = Lowercase(text).find(lowerWhat); at != std::string::npos;
         at = Lowercase(text).find(lowerWhat, at + with.size()))
        text.replace(at, what.size(), with);
}

// Where the instance segment of a Windows device path (\\?\hid#vid_..&pid_..#INSTANCE#{guid})
// lies: between its second and third '#'; nothing for other texts.
std::optional<std::pair<std::size_t, std::size_t>> InstanceSegment(const std::string& text) {
    if (text.rfind("\\\\?\\", 0) != 0 && text.rfind("\\\\.\\", 0) != 0)
        return std::nullopt;
    const std::size_t first = text.find('#');
    const std::size_t second = first == std::string::npos ? first : text.find('#', first + 1);
    const std::size_t third = second == std::string::npos ? second : text.find('#', second + 1);
    if (third == std::string::npos)
        return std::nullopt;
    return std::make_pair(second + 1, third - second - 1);
}

}  // namespace

CapturingApi::CapturingApi(ApiDeclarations& inner, CaptureFile& file, bool anonymous,
                           std::function<std::int64_t()> nowMs)
    : inner_(inner),
      file_(file),
      anonymous_(anonymous),
      nowMs_(nowMs ? std::move(nowMs) : MonotonicMs()) {}

void CapturingApi::Write(const CaptureLine& line) const {
    const std::int64_t error = LastPlatformError();
    CaptureLine out;
    out.Add("ms", nowMs_());
    for (const auto& [key, value] : line.Fields()) {
        if (const auto* text = std::get_if<std::string>(&value))
            out.Add(key,
                    key == "sent" || key == "received" || key == "unicode" ? *text : Hidden(*text));
        else
            out.Add(key, std::get<std::int64_t>(value));
    }
    out.Add("error", error);
    file_.WriteLine(out.ToJson());
    RestorePlatformError(error);
}

Bool32 CapturingApi::WriteResult(CaptureLine line, Bool32 result) const {
    Write(line.Add("result", result));
    return result;
}

std::string CapturingApi::Hidden(std::string text) const {
    if (!anonymous_)
        return text;
    if (const auto segment = InstanceSegment(text)) {
        const std::string instance = Lowercase(text.substr(segment->first, segment->second));
        auto known = instances_.find(instance);
        if (known == instances_.end()) {
            known =
                instances_.emplace(instance, "instance-" + std::to_string(instances_.size() + 1))
                    .first;
        }
        text.replace(segment->first, segment->second, known->second);
    }
    for (const auto& [serial, placeholder] : placeholders_)
        ReplaceAllAnyCase(text, serial, placeholder);
    return text;
}

void CapturingApi::HidD_GetHidGuid(Guid* hidGuid) {
    inner_.HidD_GetHidGuid(hidGuid);
    Write(args::Named("HidD_GetHidGuid").Add("guid", args::GuidHex(hidGuid)));
}

Bool32 CapturingApi::HidD_GetAttributes(Handle device, HiddAttributes* attributes) {
    CaptureLine line = args::OnHandle("HidD_GetAttributes", device);
    line.Add("size", attributes->Size);
    const Bool32 result = inner_.HidD_GetAttributes(device, attributes);
    line.Add("result", result);
    if (result != 0) {
        line.Add("vid", attributes->VendorID)
            .Add("pid", attributes->ProductID)
            .Add("version", attributes->VersionNumber);
    }
    Write(line);
    return result;
}

Bool32 CapturingApi::HidD_GetPreparsedData(Handle device, PreparsedData* preparsed) {
    CaptureLine line = args::OnHandle("HidD_GetPreparsedData", device);
    const Bool32 result = inner_.HidD_GetPreparsedData(device, preparsed);
    line.Add("result", result);
    if (result != 0)
        line.Add("preparsed", static_cast<std::int64_t>(*preparsed));
    Write(line);
    return result;
}

Bool32 CapturingApi::HidD_FreePreparsedData(PreparsedData preparsed) {
    CaptureLine line = args::OnNumber("HidD_FreePreparsedData", "preparsed", preparsed);
    return WriteResult(std::move(line), inner_.HidD_FreePreparsedData(preparsed));
}

std::int32_t CapturingApi::HidP_GetCaps(PreparsedData preparsed, HidpCaps* capabilities) {
    CaptureLine line = args::OnNumber("HidP_GetCaps", "preparsed", preparsed);
    const std::int32_t result = inner_.HidP_GetCaps(preparsed, capabilities);
    line.Add("result", result);
    if (result == kHidpStatusSuccess) {
        line.AddBytes("caps", capabilities, sizeof *capabilities)
            .Add("featureLength", capabilities->FeatureReportByteLength);
    }
    Write(line);
    return result;
}

Bool32 CapturingApi::ReadString(const char* call, Handle device, void* buffer, std::uint32_t length,
                                Bool32 (ApiDeclarations::*read)(Handle, void*, std::uint32_t)) {
    CaptureLine line = args::WithLength(call, device, length);
    const Bool32 result = (inner_.*read)(device, buffer, length);
    line.Add("result", result);
    if (result != 0) {
        std::vector<std::uint8_t> received(static_cast<std::uint8_t*>(buffer),
                                           static_cast<std::uint8_t*>(buffer) + length);
        if (read == &ApiDeclarations::HidD_GetSerialNumberString)
            HideSerial(received.data(), length);
        line.AddBytes("received", received.data(), received.size())
            .Add("text", Utf8OfUtf16(received.data(), length));
    }
    Write(line);
    return result;
}

void CapturingApi::HideSerial(void* buffer, std::uint32_t length) {
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    const std::string serial = Utf8OfUtf16(bytes, length);
    if (!anonymous_ || serial.size() < kShortestHiddenSerial)
        return;
    auto known = placeholders_.find(serial);
    if (known == placeholders_.end()) {
        known = placeholders_.emplace(serial, "serial-" + std::to_string(placeholders_.size() + 1))
                    .first;
    }
    // The placeholder is ASCII; it fills the buffer as the device's string would, terminated
    // when the terminator fits, and nothing of the serial is left after it.
    std::memset(bytes, 0, length);
    const std::string& placeholder = known->second;
    for (std::size_t i = 0; i < placeholder.size() && 2 * i + 1 < length; ++i)
        bytes[2 * i] = static_cast<std::uint8_t>(placeholder[i]);
}

Bool32 CapturingApi::HidD_GetManufacturerString(Handle device, void* buffer, std::uint32_t length) {
    return ReadString("HidD_GetManufacturerString", device, buffer, length,
                      &ApiDeclarations::HidD_GetManufacturerString);
}

Bool32 CapturingApi::HidD_GetProductString(Handle device, void* buffer, std::uint32_t length) {
    return ReadString("HidD_GetProductString", device, buffer, length,
                      &ApiDeclarations::HidD_GetProductString);
}

Bool32 CapturingApi::HidD_GetSerialNumberString(Handle device, void* buffer, std::uint32_t length) {
    return ReadString("HidD_GetSerialNumberString", device, buffer, length,
                      &ApiDeclarations::HidD_GetSerialNumberString);
}

Bool32 CapturingApi::HidD_GetFeature(Handle device, void* report, std::uint32_t length) {
    CaptureLine line = args::FeatureReport("HidD_GetFeature", device, report, length);
    const Bool32 result = inner_.HidD_GetFeature(device, report, length);
    line.Add("result", result);
    if (result != 0)
        line.AddBytes("received", report, length);
    Write(line);
    return result;
}

Bool32 CapturingApi::HidD_SetFeature(Handle device, void* report, std::uint32_t length) {
    CaptureLine line = args::FeatureReport("HidD_SetFeature", device, report, length);
    const Bool32 result = inner_.HidD_SetFeature(device, report, length);
    Write(line.Add("result", result));
    return result;
}

DeviceInfoList CapturingApi::SetupDiGetClassDevsA(const Guid* classGuid, std::uint32_t flags) {
    CaptureLine line = args::ClassDevs(classGuid, flags);
    const DeviceInfoList result = inner_.SetupDiGetClassDevsA(classGuid, flags);
    Write(line.Add("result", static_cast<std::int64_t>(result)));
    return result;
}

Bool32 CapturingApi::SetupDiEnumDeviceInterfaces(DeviceInfoList list, const Guid* classGuid,
                                                 std::uint32_t memberIndex,
                                                 DeviceInterfaceData* interfaceData) {
    CaptureLine line = args::EnumInterfaces(list, classGuid, memberIndex, interfaceData);
    const Bool32 result =
        inner_.SetupDiEnumDeviceInterfaces(list, classGuid, memberIndex, interfaceData);
    line.Add("result", result);
    if (result != 0)
        line.Add("interfaceFlags", interfaceData->Flags);
    Write(line);
    return result;
}

Bool32 CapturingApi::SetupDiGetDeviceInterfaceDetailA(DeviceInfoList list,
                                                      DeviceInterfaceData* interfaceData,
                                                      void* detail, std::uint32_t detailSize,
                                                      std::uint32_t* requiredSize) {
    CaptureLine line = args::InterfaceDetail(list, detail, detailSize, requiredSize);
    const Bool32 result = inner_.SetupDiGetDeviceInterfaceDetailA(list, interfaceData, detail,
                                                                  detailSize, requiredSize);
    line.Add("result", result);
    if (requiredSize != nullptr)
        line.Add("required", *requiredSize);
    if (result != 0 && detailSize > 4) {
        const auto* path = static_cast<const char*>(detail) + 4;
        line.Add("path", std::string(path, strnlen(path, detailSize - 4)));
    }
    Write(line);
    return result;
}

Bool32 CapturingApi::SetupDiDestroyDeviceInfoList(DeviceInfoList list) {
    CaptureLine line = args::OnNumber("SetupDiDestroyDeviceInfoList", "list", list);
    return WriteResult(std::move(line), inner_.SetupDiDestroyDeviceInfoList(list));
}

std::uint32_t CapturingApi::DeviceInterfaceDataSize() const {
    const std::uint32_t result = inner_.DeviceInterfaceDataSize();
    Write(args::Named("DeviceInterfaceDataSize").Add("result", result));
    return result;
}

std::uint32_t CapturingApi::DetailDataCbSize() const {
    const std::uint32_t result = inner_.DetailDataCbSize();
    Write(args::Named("DetailDataCbSize").Add("result", result));
    return result;
}

std::uint32_t CapturingApi::SecurityAttributesSize() const {
    const std::uint32_t result = inner_.SecurityAttributesSize();
    Write(args::Named("SecurityAttributesSize").Add("result", result));
    return result;
}

Handle CapturingApi::CreateFileA(const std::string& fileName, std::uint32_t desiredAccess,
                                 std::uint32_t shareMode, const SecurityAttributes* security,
                                 std::uint32_t creationDisposition,
                                 std::uint32_t flagsAndAttributes) {
    CaptureLine line = args::CreateFile(fileName, desiredAccess, shareMode, security,
                                        creationDisposition, flagsAndAttributes);
    const Handle result = inner_.CreateFileA(fileName, desiredAccess, shareMode, security,
                                             creationDisposition, flagsAndAttributes);
    Write(line.Add("result", static_cast<std::int64_t>(result)));
    return result;
}

Bool32 CapturingApi::CloseHandle(Handle object) {
    CaptureLine line = args::OnHandle("CloseHandle", object);
    return WriteResult(std::move(line), inner_.CloseHandle(object));
}

OpenRefusal CapturingApi::AccessRefused(const std::string& devicePath, HiddAttributes* attributes) {
    CaptureLine line = args::OnPath("AccessRefused", devicePath);
    const OpenRefusal result = inner_.AccessRefused(devicePath, attributes);
    line.Add("result", static_cast<std::int64_t>(result));
    if (result != OpenRefusal::None)
        line.Add("vid", attributes->VendorID).Add("pid", attributes->ProductID);
    Write(line);
    return result;
}

std::string CapturingApi::DevicePort(const std::string& devicePath) {
    CaptureLine line = args::OnPath("DevicePort", devicePath);
    std::string result = inner_.DevicePort(devicePath);
    Write(line.Add("port", result));
    return result;
}

void CapturingApi::Sleep(std::uint32_t milliseconds) {
    inner_.Sleep(milliseconds);
    Write(args::OnNumber("Sleep", "milliseconds", milliseconds));
}

void CapturingApi::BeginPreciseTiming() {
    inner_.BeginPreciseTiming();
    Write(args::Named("BeginPreciseTiming"));
}

void CapturingApi::EndPreciseTiming() {
    inner_.EndPreciseTiming();
    Write(args::Named("EndPreciseTiming"));
}

std::string CapturingApi::ProgramDirectory() {
    std::string result = inner_.ProgramDirectory();
    Write(args::Named("ProgramDirectory").Add("directory", result));
    return result;
}

std::string CapturingApi::PathSeparator() const {
    std::string result = inner_.PathSeparator();
    Write(args::Named("PathSeparator").Add("separator", result));
    return result;
}

// The code page is the machine's, not the device's: written once, whole, where the program
// first asks, so a replay answers any character (a serial's placeholder's too) as this machine
// would.
char32_t CapturingApi::AnsiToUnicode(std::uint8_t code) const {
    if (!codePageWritten_) {
        std::string table;
        for (int c = 0; c < 256; ++c) {
            const char32_t point = inner_.AnsiToUnicode(static_cast<std::uint8_t>(c));
            const std::uint8_t bytes[] = {static_cast<std::uint8_t>(point >> 8),
                                          static_cast<std::uint8_t>(point)};
            table += HexOf(bytes, sizeof bytes);
        }
        Write(args::Named("AnsiCodePage").Add("unicode", table));
        codePageWritten_ = true;
    }
    return inner_.AnsiToUnicode(code);
}

FileHandle CapturingApi::OpenImageFile(const std::string& path, std::string* errorText,
                                       bool* notFound) {
    CaptureLine line = args::OnPath("OpenImageFile", path);
    const FileHandle result = inner_.OpenImageFile(path, errorText, notFound);
    line.Add("result", static_cast<std::int64_t>(result));
    if (result == kNoFile)
        line.Add("errorText", *errorText).Add("notFound", *notFound ? 1 : 0);
    Write(line);
    return result;
}

std::int64_t CapturingApi::ImageFileSize(FileHandle file, std::string* errorText) {
    CaptureLine line = args::OnNumber("ImageFileSize", "file", file);
    const std::int64_t result = inner_.ImageFileSize(file, errorText);
    line.Add("result", result);
    if (result < 0)
        line.Add("errorText", *errorText);
    Write(line);
    return result;
}

std::int64_t CapturingApi::ReadImageFile(FileHandle file, void* buffer, std::uint32_t length,
                                         std::string* errorText) {
    CaptureLine line = args::OnNumber("ReadImageFile", "file", file);
    line.Add("length", length);
    const std::int64_t result = inner_.ReadImageFile(file, buffer, length, errorText);
    line.Add("result", result);
    if (result > 0)
        line.AddBytes("received", buffer, static_cast<std::size_t>(result));
    if (result < 0)
        line.Add("errorText", *errorText);
    Write(line);
    return result;
}

void CapturingApi::CloseImageFile(FileHandle file) {
    inner_.CloseImageFile(file);
    Write(args::OnNumber("CloseImageFile", "file", file));
}

}  // namespace hidlink
