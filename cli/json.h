// JSON output helpers for tallywick-cli: strings from the program's UTF-16 texts, and numbers.
#pragma once
#include <string>
#include <string_view>

// A quoted JSON string in UTF-8. Unpaired surrogates become U+FFFD; control characters, quotes
// and backslashes are escaped.
std::string JsonString(std::u16string_view text);
std::string JsonString(std::string_view utf8);

// The shortest text that reads back as the same float32 (e.g. 174, 1.4, 0.1); null when the
// value is not finite, since JSON has no infinities.
std::string JsonFloat(float value);
