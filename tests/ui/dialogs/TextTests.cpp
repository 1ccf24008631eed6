// The crossing to code page 1252 and the French words for engine errors.

#include <string>

#include <QStringList>

#include <gtest/gtest.h>

#include "engine/ParseErrorMsg.h"
#include "platform/Cp1252.h"
#include "ui/Cp1252Text.h"
#include "ui/FormulaMessages.h"

namespace {

TEST(Cp1252Text, EveryByteComesBackUnchanged)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    const QString shown = FromCp1252(all);
    EXPECT_EQ(shown.size(), 255);
    EXPECT_EQ(shown[0x80 - 1], QChar(0x20AC)); // the euro sign
    EXPECT_EQ(shown[0x81 - 1], QChar(0x81)); // undefined: kept as its control character
    const std::optional<std::string> back = ToCp1252(shown);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(Cp1252Text, RefusesWhatTheCodePageCannotHold)
{
    const struct {
        const char16_t* text;
        int bad;
    } cases[] = {{u"r=2\u03B8", 3}, {u"ok\u2009", 2}, {u"\U0001D465+1", 0}, {u"a\u0000b", 1},
        {u"\u0080", 0}};
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text, c.bad == 1 ? 3 : -1);
        int bad = -7;
        EXPECT_FALSE(ToCp1252(text, &bad).has_value()) << c.bad;
        EXPECT_EQ(bad, c.bad);
        EXPECT_EQ(FirstNonCp1252(text), c.bad);
    }
    EXPECT_EQ(FirstNonCp1252(QString::fromUtf8("théta€")), -1);
    EXPECT_EQ(CharacterAt(QString::fromUtf16(u"\U0001D465"), 0).size(), 2);
}

TEST(FormulaMessages, EveryEngineCodeHasItsOwnFrenchText)
{
    QStringList seen;
    for (int code = 0; code <= kErrorTooDeep; ++code) {
        const QString text = EngineErrorText(code);
        EXPECT_FALSE(text.isEmpty()) << code;
        EXPECT_FALSE(seen.contains(text)) << code << " repeats " << text.toStdString();
        seen << text;
    }
    EXPECT_EQ(EngineErrorText(-1), EngineErrorText(99));
    EXPECT_FALSE(seen.contains(EngineErrorText(99)));
}

TEST(FormulaMessages, PlacesOnlyTheErrorsThatHaveAPlace)
{
    const struct {
        ParseErrorMsg error;
        const char* text;
        int markFrom;
        int markLength;
    } cases[] = {
        {{27, 4, 4}, "Erreur de syntaxe, caractère 5", 4, 1},
        {{26, 1, 3}, "Opérateur attendu, caractères 2 à 4", 1, 3},
        {{25, 0, -1}, "Expression vide", -1, 0},
        {{25, 3, 4}, "Expression vide, caractères 4 à 5", 3, 2},
        {{29, 1, 0}, "Fonction inconnue, caractère 1", 0, 1},
        {{0, -1, -1}, "Division par zéro", -1, 0},
        {{4, 0, 0}, "Mémoire insuffisante", -1, 0}, // its 0, 0 is no place
        {{34, -1, -1}, "Formule trop imbriquée", -1, 0},
        {{30, 9, 9}, "Opérateur inconnu, caractère 10", -1, 0}, // beyond the text: nothing marked
    };
    for (const auto& c : cases) {
        const FormulaMessage m = DescribeEngineError(c.error, 6);
        EXPECT_EQ(m.text.toStdString(), c.text);
        EXPECT_EQ(m.markFrom, c.markFrom) << c.text;
        EXPECT_EQ(m.markLength, c.markLength) << c.text;
    }
}

} // namespace
