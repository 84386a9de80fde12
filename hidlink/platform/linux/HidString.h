// Device strings handed to the caller the way hid.dll hands them: UTF-16LE in the caller's buffer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "hidlink/ApiDeclarations.h"

namespace hidlink::hidraw {

// UTF-16 of UTF-8 text; a malformed sequence becomes U+FFFD, characters beyond U+FFFF become
// surrogate pairs.
std::u16string Utf8ToUtf16(std::string_view utf8);

// Writes `utf8` as UTF-16LE into `buffer`: whole 16-bit units within `length` bytes, then a
// 16-bit NUL when it fits. Returns 0 and writes nothing when the string is empty.
Bool32 WriteHidString(std::string_view utf8, void* buffer, std::uint32_t length);

}  // namespace hidlink::hidraw
