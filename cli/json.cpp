// JSON output of tallywick-cli. The documents are nlohmann::ordered_json; their text is written here
// rather than by dump(), which would write a float 174 as 174.0, choose other forms for large and
// small numbers than the shortest one, and escape some control characters differently.
#include "cli/json.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6)), out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12)), out += char(0x80 | ((c >> 6) & 0x3F)), out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18)), out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F)), out += char(0x80 | (c & 0x3F));
    }
}

void AppendEscaped(std::string& out, char32_t c) {
    static const char kHex[] = "0123456789abcdef";
    switch (c) {
        case '"':
            out += "\\\"";
            return;
        case '\\':
            out += "\\\\";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        case '\t':
            out += "\\t";
            return;
        default:
            break;
    }
    if (c < 0x20) {
        out += "\\u00";
        out += kHex[c >> 4], out += kHex[c & 15];
    } else {
        AppendUtf8(out, c);
    }
}

}  // namespace

std::string JsonString(std::u16string_view text) {
    return JsonString(Utf8(text));
}

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (char ch : utf8) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 0x80)
            out += ch;  // multi-byte sequences pass through as they are
        else
            AppendEscaped(out, c);
    }
    return out + "\"";
}

std::string JsonFloat(float value) {
    if (!std::isfinite(value)) return "null";
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : "null";
}

namespace {

// The program's numbers are float32 values, stored exactly as doubles: they are written as float32.
// A double that is no float32 value keeps the shortest text of its own.
std::string JsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    if (std::fabs(value) <= std::numeric_limits<float>::max() &&
        static_cast<double>(static_cast<float>(value)) == value)
        return JsonFloat(static_cast<float>(value));
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : "null";
}

void AppendJson(std::string& out, const nlohmann::ordered_json& value) {
    using Type = nlohmann::ordered_json::value_t;
    switch (value.type()) {
        case Type::object: {
            out += '{';
            bool first = true;
            for (const auto& [key, item] : value.items()) {
                if (!first) out += ',';
                first = false;
                out += JsonString(std::string_view(key));
                out += ':';
                AppendJson(out, item);
            }
            out += '}';
            return;
        }
        case Type::array: {
            out += '[';
            for (size_t i = 0; i < value.size(); ++i) {
                if (i) out += ',';
                AppendJson(out, value[i]);
            }
            out += ']';
            return;
        }
        case Type::string:
            out += JsonString(std::string_view(value.get_ref<const std::string&>()));
            return;
        case Type::boolean:
            out += value.get<bool>() ? "true" : "false";
            return;
        case Type::number_integer:
            out += std::to_string(value.get<int64_t>());
            return;
        case Type::number_unsigned:
            out += std::to_string(value.get<uint64_t>());
            return;
        case Type::number_float:
            out += JsonNumber(value.get<double>());
            return;
        case Type::null:
        case Type::binary:
        case Type::discarded:
            break;
    }
    out += "null";
}

}  // namespace

nlohmann::ordered_json FloatArray(const float* values, int count) {
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (int i = 0; i < count; ++i) array.push_back(values[i]);
    return array;
}

std::string JsonText(const nlohmann::ordered_json& value) {
    std::string out;
    AppendJson(out, value);
    return out;
}
