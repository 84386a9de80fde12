// ApiDeclarations served from a capture: the devices, files and surroundings of the captured run,
// played back to a program that makes the same calls again.
//
// Each call is matched with the next captured line: same call, same arguments (report bytes
// included). A match is answered with the captured results; Sleep advances the virtual clock
// and sleeps nothing. The first call that differs is kept in Mismatch() (the call's number and
// name, what the capture expected and what came), answered with a failure, and so is every
// call after it: a replay that went wrong never goes on as if it had not.
//
// What may differ between runs, and how it is matched:
// - Times are not arguments: the "ms" of a line is never compared.
// - Handles, device information lists, preparsed data and image files are served with the
//   captured values themselves, so the program gets back exactly what it got in the captured
//   run, and a handle it passes on must be the one the capture shows there: a report sent on
//   the other of two handles is a difference.
// - The ANSI code page is the captured machine's, served from the one line that holds it: a
//   character the program converts is not a call of its own.
// - The image file's path is compared by its file name only: the directory a test or a user
//   keeps it in is the one part of a run that differs by machine. Its bytes are served from the
//   capture, so the file need not exist.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "hidlink/ApiDeclarations.h"
#include "hidlink/capture/CaptureLine.h"
#include "hidlink/sim/CallLog.h"
#include "hidlink/sim/SimClock.h"

namespace hidlink {

class EmulatedDevice : public ApiDeclarations {
  public:
    EmulatedDevice(std::vector<CaptureLine> capture, sim::SimClock& clock);

    // Empty while every call matched.
    const std::string& Mismatch() const { return mismatch_; }
    // Whether every captured call was made, and matched.
    bool Finished() const { return mismatch_.empty() && next_ == capture_.size(); }
    std::size_t CallsServed() const { return next_; }
    // Every call the program made, as the simulated bus logs it: bytes sent, or received where
    // the capture answered with bytes; the captured result, or 0 for a call that was refused.
    const std::vector<sim::Call>& Calls() const { return log_.Calls(); }
    std::vector<sim::Call> CallsNamed(const std::string& name) const {
        return log_.CallsNamed(name);
    }

    void HidD_GetHidGuid(Guid* hidGuid) override;
    Bool32 HidD_GetAttributes(Handle device, HiddAttributes* attributes) override;
    Bool32 HidD_GetPreparsedData(Handle device, PreparsedData* preparsed) override;
    Bool32 HidD_FreePreparsedData(PreparsedData preparsed) override;
    std::int32_t HidP_GetCaps(PreparsedData preparsed, HidpCaps* capabilities) override;
    Bool32 HidD_GetManufacturerString(Handle device, void* buffer, std::uint32_t length) override;
    Bool32 HidD_GetProductString(Handle device, void* buffer, std::uint32_t length) override;
    Bool32 HidD_GetSerialNumberString(Handle device, void* buffer, std::uint32_t length) override;
    Bool32 HidD_GetFeature(Handle device, void* report, std::uint32_t length) override;
    Bool32 HidD_SetFeature(Handle device, void* report, std::uint32_t length) override;
    DeviceInfoList SetupDiGetClassDevsA(const Guid* classGuid, std::uint32_t flags) override;
    Bool32 SetupDiEnumDeviceInterfaces(DeviceInfoList list, const Guid* classGuid,
                                       std::uint32_t memberIndex,
                                       DeviceInterfaceData* interfaceData) override;
    Bool32 SetupDiGetDeviceInterfaceDetailA(DeviceInfoList list, DeviceInterfaceData* interfaceData,
                                            void* detail, std::uint32_t detailSize,
                                            std::uint32_t* requiredSize) override;
    Bool32 SetupDiDestroyDeviceInfoList(DeviceInfoList list) override;
    std::uint32_t DeviceInterfaceDataSize() const override;
    std::uint32_t DetailDataCbSize() const override;
    std::uint32_t SecurityAttributesSize() const override;
    Handle CreateFileA(const std::string& fileName, std::uint32_t desiredAccess,
                       std::uint32_t shareMode, const SecurityAttributes* security,
                       std::uint32_t creationDisposition,
                       std::uint32_t flagsAndAttributes) override;
    Bool32 CloseHandle(Handle object) override;
    OpenRefusal AccessRefused(const std::string& devicePath, HiddAttributes* attributes) override;
    std::string DevicePort(const std::string& devicePath) override;
    void Sleep(std::uint32_t milliseconds) override;
    void BeginPreciseTiming() override;
    void EndPreciseTiming() override;
    std::string ProgramDirectory() override;
    std::string PathSeparator() const override;
    char32_t AnsiToUnicode(std::uint8_t code) const override;
    FileHandle OpenImageFile(const std::string& path, std::string* errorText,
                             bool* notFound) override;
    std::int64_t ImageFileSize(FileHandle file, std::string* errorText) override;
    std::int64_t ReadImageFile(FileHandle file, void* buffer, std::uint32_t length,
                               std::string* errorText) override;
    void CloseImageFile(FileHandle file) override;

  private:
    // The captured line that answers this call, or null once a call has differed.
    const CaptureLine* Expect(const CaptureLine& call) const;
    const CaptureLine* Match(const CaptureLine& call) const;
    void Note(const CaptureLine& call, const CaptureLine* answer) const;
    Bool32 ServeBytes(const CaptureLine& call, void* buffer, std::uint32_t length);
    std::uint32_t ServeNumber(const char* call) const;

    std::vector<CaptureLine> capture_;
    sim::SimClock& clock_;
    // Const calls (the record sizes) are calls of the capture too.
    mutable std::size_t next_ = 0;
    mutable std::string mismatch_;
    mutable sim::CallLog log_;
    // The captured machine's ANSI code page, two bytes a character, once the program asked.
    mutable std::vector<std::uint8_t> codePage_;
};

}  // namespace hidlink
