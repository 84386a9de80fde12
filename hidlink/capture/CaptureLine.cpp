#include "hidlink/capture/CaptureLine.h"

#include <cstdio>

namespace hidlink {

namespace {

// How many bytes the well-formed UTF-8 character at `at` takes; 0 when it is none.
std::size_t Utf8Length(const std::string& text, std::size_t at) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
    }
    // No overlong forms, no surrogates, nothing beyond U+10FFFF.
    const unsigned second = byte(at + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

// Well-formed UTF-8 goes through as it is, for any JSON reader to show; a byte that is no part
// of it is written as \u00XX, which the reader here takes back as that byte.
void AppendJsonString(std::string& out, const std::string& text) {
    out += '"';
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        const std::size_t character = byte > 0x7F ? Utf8Length(text, i) : 0;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (character > 0) {
            out.append(text, i, character);
            i += character - 1;
        } else if (byte < 0x20 || byte > 0x7E) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class Reader {
  public:
    explicit Reader(const std::string& text) : text_(text) {}

    bool Take(char c) {
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool AtEnd() {
        SkipSpace();
        return pos_ == text_.size();
    }
    std::optional<std::string> String() {
        if (!Take('"'))
            return std::nullopt;
        std::string out;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '"')
                return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size())
                return std::nullopt;
            const char e = text_[pos_++];
            if (e == 'u') {
                int code = 0;
                for (int i = 0; i < 4; ++i) {
                    const int d = pos_ < text_.size() ? HexDigit(text_[pos_++]) : -1;
                    if (d < 0)
                        return std::nullopt;
                    code = code * 16 + d;
                }
                if (code > 0xFF)  // the writer escapes single bytes only
                    return std::nullopt;
                out += static_cast<char>(code);
            } else if (e == '"' || e == '\\' || e == '/') {
                out += e;
            } else {
                return std::nullopt;
            }
        }
        return std::nullopt;
    }
    std::optional<std::int64_t> Integer() {
        SkipSpace();
        const std::size_t start = pos_;
        if (pos_ < text_.size() && text_[pos_] == '-')
            ++pos_;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9')
            ++pos_;
        if (pos_ == start || (pos_ == start + 1 && text_[start] == '-'))
            return std::nullopt;
        try {
            return std::stoll(text_.substr(start, pos_ - start));
        } catch (...) {
            return std::nullopt;
        }
    }
    bool NextIsString() {
        SkipSpace();
        return pos_ < text_.size() && text_[pos_] == '"';
    }

  private:
    void SkipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\r' || text_[pos_] == '\n'))
            ++pos_;
    }
    const std::string& text_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string HexOf(const void* bytes, std::size_t length) {
    static const char kDigits[] = "0123456789abcdef";
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    std::string out;
    out.reserve(length * 2);
    for (std::size_t i = 0; i < length; ++i) {
        out += kDigits[p[i] >> 4];
        out += kDigits[p[i] & 0xF];
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> BytesOfHex(const std::string& hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::vector<std::uint8_t> out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]);
        const int low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return out;
}

CaptureLine& CaptureLine::Add(std::string key, std::int64_t value) {
    fields_.emplace_back(std::move(key), value);
    return *this;
}

CaptureLine& CaptureLine::Add(std::string key, std::string value) {
    fields_.emplace_back(std::move(key), std::move(value));
    return *this;
}

CaptureLine& CaptureLine::AddBytes(std::string key, const void* bytes, std::size_t length) {
    return Add(std::move(key), HexOf(bytes, length));
}

const CaptureLine::Value* CaptureLine::Find(const std::string& key) const {
    for (const auto& [name, value] : fields_) {
        if (name == key)
            return &value;
    }
    return nullptr;
}

std::int64_t CaptureLine::Int(const std::string& key, std::int64_t otherwise) const {
    const Value* value = Find(key);
    const auto* number = value != nullptr ? std::get_if<std::int64_t>(value) : nullptr;
    return number != nullptr ? *number : otherwise;
}

std::string CaptureLine::Text(const std::string& key) const {
    const Value* value = Find(key);
    const auto* text = value != nullptr ? std::get_if<std::string>(value) : nullptr;
    return text != nullptr ? *text : std::string();
}

std::vector<std::uint8_t> CaptureLine::Bytes(const std::string& key) const {
    return BytesOfHex(Text(key)).value_or(std::vector<std::uint8_t>{});
}

std::string CaptureLine::ToJson() const {
    std::string out = "{";
    for (const auto& [key, value] : fields_) {
        if (out.size() > 1)
            out += ',';
        AppendJsonString(out, key);
        out += ':';
        if (const auto* number = std::get_if<std::int64_t>(&value))
            out += std::to_string(*number);
        else
            AppendJsonString(out, std::get<std::string>(value));
    }
    return out + "}";
}

std::optional<CaptureLine> CaptureLine::Parse(const std::string& json, std::string* problem) {
    Reader reader(json);
    CaptureLine line;
    const auto fail = [&](const char* what) {
        *problem = what;
        return std::nullopt;
    };
    if (!reader.Take('{'))
        return fail("not a JSON object");
    if (!reader.Take('}')) {
        do {
            auto key = reader.String();
            if (!key || !reader.Take(':'))
                return fail("a field without a quoted name");
            if (reader.NextIsString()) {
                auto text = reader.String();
                if (!text)
                    return fail("a string that does not end");
                line.Add(std::move(*key), std::move(*text));
            } else {
                auto number = reader.Integer();
                if (!number)
                    return fail("a value that is neither a string nor a whole number");
                line.Add(std::move(*key), *number);
            }
        } while (reader.Take(','));
        if (!reader.Take('}'))
            return fail("a field list that does not end with }");
    }
    if (!reader.AtEnd())
        return fail("text after the object");
    return line;
}

std::optional<std::vector<CaptureLine>> ReadCapture(std::istream& in, std::string* problem) {
    std::vector<CaptureLine> lines;
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        if (text.empty())
            continue;
        std::string fault;
        auto line = CaptureLine::Parse(text, &fault);
        if (line && line->Text("call").empty())
            fault = "no call named";
        if (!fault.empty()) {
            *problem = "line " + std::to_string(number) + ": " + fault;
            return std::nullopt;
        }
        lines.push_back(std::move(*line));
    }
    return lines;
}

}  // namespace hidlink
