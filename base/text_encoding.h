// Text conversions for the settings file: UTF-8 checks, the system code page hook, UTF-16LE files
// held in memory as 8-bit text, and cutting text to a number of UTF-16 characters.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Converts bytes in the system code page to UTF-8. The portable default reads them as Latin-1;
// the Windows layer installs a converter for the real code page.
using CodePageDecoder = std::string (*)(std::string_view bytes);

// Installs the decoder (nullptr restores the default). Returns the previous one.
CodePageDecoder SetCodePageDecoder(CodePageDecoder decoder);

bool IsValidUtf8(std::string_view text);
// UTF-16 text (the program's fixed texts) as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8(std::u16string_view text);
// UTF-8 text unchanged; anything else is taken to be in the system code page.
std::string BytesToUtf8(std::string_view bytes);
// Invalid sequences (and encoded surrogates) become U+FFFD.
std::string SanitiseUtf8(std::string_view text);
// The longest prefix that is at most `maxUnits` UTF-16 code units long, cut between characters.
std::string_view CutToUtf16Units(std::string_view utf8, size_t maxUnits);

// UTF-16LE bytes to 8-bit text that turns back into exactly the same bytes: characters as UTF-8,
// unpaired surrogates as their three-byte forms. An odd last byte is returned in `oddByte`.
std::string Utf16LeToText(std::string_view bytes, std::string* oddByte);
// The reverse of Utf16LeToText for its output with valid UTF-8 spliced in.
std::string TextToUtf16Le(std::string_view text);
