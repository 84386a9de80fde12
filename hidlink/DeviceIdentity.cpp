#include "hidlink/DeviceIdentity.h"

#include <array>

namespace hidlink {

std::string DecodeHidString(const std::uint8_t* buffer, const ApiDeclarations& api) {
    std::string text;
    for (std::size_t i = 0; i + 1 < kStringBufferSize && buffer[i] != 0; i += 2) {
        AppendUtf8(text, api.AnsiToUnicode(buffer[i]));
    }
    return text;
}

std::string FormatVersion(std::uint16_t versionNumber) {
    const int v = static_cast<std::int16_t>(versionNumber);
    const int major = v >= 0 ? v / 256 : -((-v + 255) / 256);
    const int minor = v - 256 * major;
    static const char kHex[] = "0123456789ABCDEF";
    std::string minorHex;
    if (minor >= 16)
        minorHex += kHex[minor / 16];
    minorHex += kHex[minor % 16];
    std::string text = " ";
    text += std::to_string(major);
    text += '.';
    text += minorHex;
    return text;
}

void RefreshDeviceInfo(HidLink& link, ApiDeclarations& api, const DeviceProfile& profile,
                       ui::Window& window) {
    std::array<std::uint8_t, kStringBufferSize> buffer{};

    if (!link.DeviceDetected) {
        if (profile.noDevice != NoDeviceRule::LeaveUntouched) {
            for (const char* label : {"lblManuf", "lblProduct", "lblSerialNumber"})
                window.SetText(label, "");
            window.SetText("lblVersion",
                           profile.noDevice == NoDeviceRule::BlankVersionSpace ? " " : "");
        }
        return;
    }

    auto pause = [&] {
        if (profile.pauseAfterStringMs != 0)
            api.Sleep(profile.pauseAfterStringMs);
    };

    // Each label shows this device's string as read now, or nothing where the read failed: never
    // what an earlier device or read left there. The version comes with the device's attributes,
    // read when it was found.
    const auto read = [&](Bool32 (ApiDeclarations::*call)(Handle, void*, std::uint32_t),
                          const char* label, std::optional<std::string>& value) {
        link.LastResult = (api.*call)(link.OverlappedHandle, buffer.data(), kStringReadLength);
        value.reset();
        if (link.LastResult != 0)
            value = DecodeHidString(buffer.data(), api);
        window.SetText(label, value ? " " + *value : std::string());
        pause();
    };
    read(&ApiDeclarations::HidD_GetManufacturerString, "lblManuf", link.Strings.manufacturer);
    window.SetText("lblVersion", FormatVersion(link.Attributes.VersionNumber));
    read(&ApiDeclarations::HidD_GetProductString, "lblProduct", link.Strings.product);
    read(&ApiDeclarations::HidD_GetSerialNumberString, "lblSerialNumber", link.Strings.serial);
}

char32_t Windows1252ToUnicode(std::uint8_t code) {
    // 0x80-0x9F differ from Latin-1; the five undefined codes map to their C1 control points.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (code >= 0x80 && code <= 0x9F)
        return kHigh[code - 0x80];
    return code;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

}  // namespace hidlink
