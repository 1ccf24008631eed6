#include "platform/Cp1252.h"

#include <array>

namespace platform {

namespace {

// 0x80 to 0x9F; 0 marks the undefined bytes. Every other byte is its own code point.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC,
    0,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0,
    0x017D,
    0,
    0,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0,
    0x017E,
    0x0178,
};

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at text[i]; returns false on malformed input.
bool DecodeUtf8(std::string_view text, size_t& i, char32_t& cp)
{
    const auto b0 = static_cast<unsigned char>(text[i]);
    int extra;
    char32_t min;
    if (b0 < 0x80) {
        cp = b0;
        ++i;
        return true;
    } else if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return false;
    }
    if (text.size() - i <= static_cast<size_t>(extra))
        return false;
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
        if ((b & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    i += static_cast<size_t>(extra) + 1;
    return true;
}

} // namespace

int Cp1252ToCodePoint(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F) {
        const char16_t cp = kHighControls[byte - 0x80];
        return cp == 0 ? -1 : cp;
    }
    return byte;
}

int CodePointToCp1252(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<int>(codePoint);
    for (size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] != 0 && kHighControls[i] == codePoint)
            return static_cast<int>(0x80 + i);
    return -1;
}

std::optional<std::u16string> Cp1252ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (const char c : text) {
        const int cp = Cp1252ToCodePoint(static_cast<unsigned char>(c));
        if (cp < 0)
            return std::nullopt;
        out += static_cast<char16_t>(cp);
    }
    return out;
}

std::optional<std::string> Utf16ToCp1252(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char16_t c : text) {
        const int b = CodePointToCp1252(c);
        if (b < 0)
            return std::nullopt;
        out += static_cast<char>(b);
    }
    return out;
}

std::optional<std::string> Cp1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const int cp = Cp1252ToCodePoint(static_cast<unsigned char>(c));
        if (cp < 0)
            return std::nullopt;
        AppendUtf8(out, static_cast<char32_t>(cp));
    }
    return out;
}

std::optional<std::string> Utf8ToCp1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t cp;
        if (!DecodeUtf8(text, i, cp))
            return std::nullopt;
        const int b = CodePointToCp1252(cp);
        if (b < 0)
            return std::nullopt;
        out += static_cast<char>(b);
    }
    return out;
}

} // namespace platform
