// Curve colours typed as text: the forms taken, and everything else refused.

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "ui/CurveColour.h"

namespace {

constexpr int32_t Model(int red, int green, int blue)
{
    return (blue << 16) | (green << 8) | red;
}

TEST(CurveColour, TakesHexadecimalAndSvgNames)
{
    struct Row {
        const char* text;
        std::optional<int32_t> colour; // nullopt: refused
    };
    const Row rows[] = {
        {"#c00000", Model(192, 0, 0)},
        {"#C00000", Model(192, 0, 0)},
        {"#817dbc", Model(129, 125, 188)},
        {"#000000", Model(0, 0, 0)},
        {"#ffffff", Model(255, 255, 255)},
        {"#123456", Model(0x12, 0x34, 0x56)}, // byte order: the model holds 0x00BBGGRR
        {"#0a0", Model(0, 0xAA, 0)},
        {"#F80", Model(0xFF, 0x88, 0)},
        {"red", Model(255, 0, 0)},
        {"green", Model(0, 128, 0)}, // the SVG green, not Qt::green
        {"SteelBlue", Model(70, 130, 180)},
        {"LIGHTGOLDENRODYELLOW", Model(250, 250, 210)},
        {"grey", Model(128, 128, 128)},
        {"gray", Model(128, 128, 128)},
        {"", std::nullopt},
        {"#", std::nullopt},
        {"#12345", std::nullopt},
        {"#1234567", std::nullopt},
        {"#80c00000", std::nullopt}, // alpha
        {"#fff000fff", std::nullopt}, // Qt's 12-bit form
        {"#gg0000", std::nullopt},
        {"#-10000", std::nullopt},
        {" red", std::nullopt},
        {"red ", std::nullopt},
        {"steel blue", std::nullopt},
        {"transparent", std::nullopt},
        {"violetblue", std::nullopt},
        {"rgb(1,2,3)", std::nullopt},
        {"c00000", std::nullopt},
        {"r\xC3\xA9"
         "d",
            std::nullopt},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", std::nullopt},
    };
    for (const Row& r : rows)
        EXPECT_EQ(CurveColourFromText(r.text), r.colour) << '"' << r.text << '"';
}

} // namespace
