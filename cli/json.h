// JSON output of tallywick-cli: documents built as nlohmann::ordered_json (keys stay in the order
// they are set) and written compactly in the tool's own style, with the helpers for strings from
// the program's UTF-16 texts and for numbers.
#pragma once
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <string_view>

#include "base/text_encoding.h"

// The compact JSON text of a document, without a newline. Numbers that are not integers are the
// program's float32 values and are written as JsonFloat writes them; strings as JsonString writes
// UTF-8 text. Numbers that are no float32 value (doubles set by hand) are written as the
// shortest text that reads back as the same double.
std::string JsonText(const nlohmann::ordered_json& value);

// A JSON array of float32 values.
nlohmann::ordered_json FloatArray(const float* values, int count);

// A quoted JSON string in UTF-8. Unpaired surrogates become U+FFFD; control characters, quotes
// and backslashes are escaped.
std::string JsonString(std::u16string_view text);
std::string JsonString(std::string_view utf8);

// The shortest text that reads back as the same float32 (e.g. 174, 1.4, 0.1); null when the
// value is not finite, since JSON has no infinities.
std::string JsonFloat(float value);
