#include "ui/Cp1252Text.h"

#include "platform/Cp1252.h"

namespace {

// The byte a screen character stands for, or -1.
int ByteOf(char16_t unit)
{
    if (unit == 0)
        return -1;
    // The five undefined bytes travel as the control characters of their value.
    if (unit >= 0x80 && unit <= 0x9F
        && platform::Cp1252ToCodePoint(static_cast<unsigned char>(unit)) < 0)
        return unit;
    return platform::CodePointToCp1252(unit);
}

} // namespace

QString FromCp1252(const std::string& text)
{
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const int codePoint = platform::Cp1252ToCodePoint(byte);
        out += QChar(static_cast<char16_t>(codePoint >= 0 ? codePoint : byte));
    }
    return out;
}

std::optional<std::string> ToCp1252(const QString& text, int* firstBad)
{
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A surrogate is never a character of the code page.
        const int byte = ByteOf(text[i].unicode());
        if (byte < 0) {
            if (firstBad != nullptr)
                *firstBad = static_cast<int>(i);
            return std::nullopt;
        }
        out += static_cast<char>(byte);
    }
    return out;
}

int FirstNonCp1252(const QString& text)
{
    int bad = -1;
    return ToCp1252(text, &bad) ? -1 : bad;
}

QString CharacterAt(const QString& text, int index)
{
    if (index < 0 || index >= text.size())
        return QString();
    if (text[index].isHighSurrogate() && index + 1 < text.size()
        && text[index + 1].isLowSurrogate())
        return text.mid(index, 2);
    return text.mid(index, 1);
}
