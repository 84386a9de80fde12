// The device's identity on the window: manufacturer, product, serial number and version.
#pragma once

#include <cstdint>
#include <string>

#include "hidlink/ApiDeclarations.h"
#include "hidlink/HidLink.h"
#include "window/Window.h"

namespace hidlink {

// Size of the string buffer shared by the three reads of one refresh, and of each read. Bytes
// from kStringReadLength on stay zero, so decoding always meets a terminator.
inline constexpr std::size_t kStringBufferSize = 201;
inline constexpr std::uint32_t kStringReadLength = 100;

// Text of a UTF-16LE string buffer, taking the low byte of each character as a code in the
// system's ANSI code page and ending at the first character whose low byte is zero. The buffer
// must hold kStringBufferSize bytes. Returns UTF-8.
std::string DecodeHidString(const std::uint8_t* buffer, const ApiDeclarations& api);

// " major.MINOR": the version taken as signed 16-bit, major = floor(v / 256) in decimal, minor
// = v - 256 * major in upper-case hex.
std::string FormatVersion(std::uint16_t versionNumber);

// Reads the three identity strings on OverlappedHandle and sets lblManuf, lblVersion,
// lblProduct and lblSerialNumber, and keeps what was read in link.Strings; a string that could not
// be read leaves its label blank. Applies the profile's no-device rule when no device was found.
// Pauses after each read as the profile says. Callers that read more after the serial number
// (servodiag's settings) do so when this returns with link.DeviceDetected true.
void RefreshDeviceInfo(HidLink& link, ApiDeclarations& api, const DeviceProfile& profile,
                       ui::Window& window);

// Windows-1252, the ANSI code page used where the platform has none.
char32_t Windows1252ToUnicode(std::uint8_t code);

// UTF-8 encoding of one code point.
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace hidlink
