// The platform helpers: C-locale numbers whatever the process locale, defined truncation, and
// code page 1252.

#include <climits>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "platform/CLocale.h"
#include "platform/Cp1252.h"
#include "platform/Numeric.h"

namespace {

TEST(CLocale, FormatsWithADecimalPoint)
{
    // The test runner adopts the user's locale first; under fr_FR these would print commas.
    EXPECT_EQ(platform::CFormat("%f", 1.5), "1.500000");
    EXPECT_EQ(platform::CFormat("%g", 0.0001), "0.0001");
    EXPECT_EQ(platform::CFormat("%G", 1e6), "1E+06");
    EXPECT_EQ(platform::CFormat("%G", 1e-5), "1E-05");
    EXPECT_EQ(platform::CFormat("%1.3g", -2.5), "-2.5");
    EXPECT_EQ(platform::CFormat("%.17g", 0.1), "0.10000000000000001");
    EXPECT_EQ(platform::CFormat("%.9g", 1234.5f), "1234.5");
    EXPECT_EQ(platform::CFormat("%g", std::numeric_limits<double>::infinity()), "inf");
    const std::string longText = platform::CFormat("%s-%f", std::string(200, 'a').c_str(), 2.25);
    EXPECT_EQ(longText, std::string(200, 'a') + "-2.250000");
}

TEST(CLocale, ParsesWithADecimalPoint)
{
    char* end = nullptr;
    const char* text = "1.25rest";
    EXPECT_EQ(platform::CStrtod(text, &end), 1.25);
    EXPECT_EQ(end, text + 4);
    EXPECT_EQ(platform::CAtof("  2.5abc"), 2.5);
    EXPECT_EQ(platform::CAtof("abc"), 0.0);
    EXPECT_EQ(platform::CAtof("-1e3"), -1000.0);
    EXPECT_EQ(platform::CAtol(" 123x"), 123);
    EXPECT_EQ(platform::CAtol("99999999999"), INT32_MAX);
    EXPECT_EQ(platform::CAtol("-99999999999"), INT32_MIN);
    EXPECT_EQ(platform::CAtol(""), 0);
}

TEST(CLocale, CharacterClassesIgnoreTheLocale)
{
    EXPECT_TRUE(platform::IsCSpace('\v'));
    EXPECT_FALSE(platform::IsCSpace('\xA0'));
    EXPECT_EQ(platform::CToUpper('\xE9'), '\xE9');
    EXPECT_EQ(platform::CToLower(std::string("SIN( X )\xC9")), "sin( x )\xC9");
    EXPECT_TRUE(platform::CEqualsIgnoreCase("Theta", "tHETA"));
    EXPECT_FALSE(platform::CEqualsIgnoreCase("theta", "thet"));
}

struct TruncCase {
    double value;
    int32_t expected;
};

void PrintTo(const TruncCase& c, std::ostream* os)
{
    *os << c.value;
}

class Truncation : public ::testing::TestWithParam<TruncCase> { };

TEST_P(Truncation, IsDefinedForEveryDouble)
{
    EXPECT_EQ(platform::TruncToInt32(GetParam().value), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Platform, Truncation,
    ::testing::Values(TruncCase {3.9, 3}, TruncCase {-3.9, -3}, TruncCase {-0.5, 0},
        TruncCase {2147483647.0, INT32_MAX}, TruncCase {2147483647.9, INT32_MAX},
        TruncCase {2147483648.0, INT32_MAX}, TruncCase {1e300, INT32_MAX},
        TruncCase {-2147483648.0, INT32_MIN}, TruncCase {-2147483648.9, INT32_MIN},
        TruncCase {-1e300, INT32_MIN},
        TruncCase {std::numeric_limits<double>::infinity(), INT32_MAX},
        TruncCase {-std::numeric_limits<double>::infinity(), INT32_MIN},
        TruncCase {std::numeric_limits<double>::quiet_NaN(), 0}));

TEST(Numeric, ToFloatSaturates)
{
    EXPECT_EQ(platform::ToFloat(1e300), std::numeric_limits<float>::infinity());
    EXPECT_EQ(platform::ToFloat(-1e300), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(platform::ToFloat(1.5), 1.5f);
}

TEST(Cp1252, ConvertsBothWays)
{
    const std::string path = "C:\\Dessins\\Courbe 2.png";
    const auto wide = platform::Cp1252ToUtf16(path);
    ASSERT_TRUE(wide);
    EXPECT_EQ(*wide, u"C:\\Dessins\\Courbe 2.png");
    EXPECT_EQ(platform::Utf16ToCp1252(*wide), path);

    EXPECT_EQ(platform::Cp1252ToUtf8("th\xE9ta \x80 \xB9"), "th\xC3\xA9ta \xE2\x82\xAC \xC2\xB9");
    EXPECT_EQ(platform::Utf8ToCp1252("th\xC3\xA9ta \xE2\x82\xAC"), "th\xE9ta \x80");
    EXPECT_EQ(platform::Cp1252ToUtf16("\x9F"), u"\u0178");
}

TEST(Cp1252, RefusesWhatItCannotHold)
{
    for (const char* undefined : {"\x81", "\x8D", "\x8F", "\x90", "\x9D", "ab\x81"}) {
        EXPECT_FALSE(platform::Cp1252ToUtf16(undefined)) << undefined;
        EXPECT_FALSE(platform::Cp1252ToUtf8(undefined));
    }
    EXPECT_FALSE(platform::Utf8ToCp1252("\xCF\x80")); // pi
    EXPECT_FALSE(platform::Utf8ToCp1252("\xC3")); // truncated sequence
    EXPECT_FALSE(platform::Utf8ToCp1252("\xC0\xAF")); // overlong
    EXPECT_FALSE(platform::Utf8ToCp1252("\xED\xA0\x80")); // surrogate
    EXPECT_FALSE(platform::Utf16ToCp1252(u"\u0081"));
    EXPECT_EQ(platform::Utf8ToCp1252(""), "");
}

} // namespace
