// One line of a capture: a flat JSON object of named integers and strings, in the order they were
// added. Bytes travel as hex strings. The reader takes back what the writer writes, and no more:
// no nesting, no arrays, no fractions.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace hidlink {

class CaptureLine {
  public:
    using Value = std::variant<std::int64_t, std::string>;

    CaptureLine& Add(std::string key, std::int64_t value);
    CaptureLine& Add(std::string key, std::string value);
    CaptureLine& AddBytes(std::string key, const void* bytes, std::size_t length);

    const Value* Find(const std::string& key) const;
    std::int64_t Int(const std::string& key, std::int64_t otherwise = 0) const;
    std::string Text(const std::string& key) const;
    std::vector<std::uint8_t> Bytes(const std::string& key) const;
    const std::vector<std::pair<std::string, Value>>& Fields() const { return fields_; }

    // One JSON object, without a line end. A string's well-formed UTF-8 is written as it is,
    // any other byte above 0x7E as \u00XX, so that a path in any code page comes back byte for
    // byte. Captures that escape every such byte read back the same.
    std::string ToJson() const;
    // Nothing, with *problem set, for anything the writer would not have written.
    static std::optional<CaptureLine> Parse(const std::string& json, std::string* problem);

  private:
    std::vector<std::pair<std::string, Value>> fields_;
};

// The lines of a capture file; nothing, with the line's number and fault in *problem, for a line
// that is not one a capture holds.
std::optional<std::vector<CaptureLine>> ReadCapture(std::istream& in, std::string* problem);

std::string HexOf(const void* bytes, std::size_t length);
// Nothing for an odd length or a character that is not a hex digit.
std::optional<std::vector<std::uint8_t>> BytesOfHex(const std::string& hex);

}  // namespace hidlink
