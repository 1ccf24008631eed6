#include "ui/CurveColour.h"

#include <QColor>
#include <QString>

#include "platform/CLocale.h"

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int32_t ModelColour(int red, int green, int blue)
{
    return static_cast<int32_t>((blue << 16) | (green << 8) | red);
}

std::optional<int32_t> FromHex(const std::string& digits)
{
    int values[6];
    for (size_t i = 0; i < digits.size(); ++i) {
        values[i] = HexDigit(digits[i]);
        if (values[i] < 0)
            return std::nullopt;
    }
    if (digits.size() == 3)
        return ModelColour(values[0] * 17, values[1] * 17, values[2] * 17);
    if (digits.size() == 6)
        return ModelColour(
            values[0] * 16 + values[1], values[2] * 16 + values[3], values[4] * 16 + values[5]);
    return std::nullopt;
}

} // namespace

std::optional<int32_t> CurveColourFromText(const std::string& text)
{
    if (text.size() > 1 && text[0] == '#')
        return FromHex(text.substr(1));
    // Qt knows the SVG names; it also takes forms this program does not offer (spaces, other
    // hexadecimal lengths), so only plain words reach it.
    if (text.empty() || text.size() > 32)
        return std::nullopt;
    for (char c : text)
        if (!platform::IsCAlpha(c))
            return std::nullopt;
    const QColor colour = QColor::fromString(QString::fromLatin1(text.c_str()));
    if (!colour.isValid() || colour.alpha() != 255)
        return std::nullopt;
    return ModelColour(colour.red(), colour.green(), colour.blue());
}
