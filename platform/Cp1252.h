#pragma once

// Code page 1252, the 8-bit encoding of formulas and every other model string. Bytes 0x81, 0x8D,
// 0x8F, 0x90 and 0x9D are undefined in it: a conversion that meets one fails instead of guessing.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The Unicode code point of a byte, or -1 for the five undefined bytes.
int Cp1252ToCodePoint(unsigned char byte);

// The byte of a code point, or -1 when code page 1252 has no such character.
int CodePointToCp1252(char32_t codePoint);

std::optional<std::u16string> Cp1252ToUtf16(std::string_view text);
std::optional<std::string> Utf16ToCp1252(std::u16string_view text);
std::optional<std::string> Cp1252ToUtf8(std::string_view text);
// Fails on malformed UTF-8 and on characters that code page 1252 cannot hold.
std::optional<std::string> Utf8ToCp1252(std::string_view text);

} // namespace platform
