// The colour buttons' palette: its twenty colours and their ages, picking, and custom colours
// replacing the oldest cell.

#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "view/ColourPalette.h"

namespace {

int32_t Rgb(int r, int g, int b)
{
    return r | (g << 8) | (b << 16);
}

bool AgesArePermutation(const ColourPalette& p)
{
    std::set<int> ages;
    for (int i = 0; i < ColourPalette::kCells; ++i)
        ages.insert(p.Age(i));
    return ages.size() == 20 && *ages.begin() == 1 && *ages.rbegin() == 20;
}

TEST(ColourPalette, StartsWithItsTwentyColours)
{
    const ColourPalette p;
    const struct {
        int cell;
        int32_t colour;
        int age;
    } rows[] = {{0, Rgb(0, 0, 0), 1}, {1, Rgb(128, 0, 0), 3}, {9, Rgb(166, 202, 240), 19},
        {10, Rgb(255, 251, 240), 20}, {11, Rgb(160, 160, 164), 18}, {13, Rgb(255, 0, 0), 14},
        {19, Rgb(255, 255, 255), 2}};
    for (const auto& row : rows) {
        EXPECT_EQ(p.Colour(row.cell), row.colour) << row.cell;
        EXPECT_EQ(p.Age(row.cell), row.age) << row.cell;
    }
    EXPECT_TRUE(AgesArePermutation(p));
}

TEST(ColourPalette, TwentyCustomColoursReplaceCellsOutwardFromTheMiddle)
{
    ColourPalette p;
    std::vector<int> replaced;
    for (int i = 0; i < 20; ++i) {
        const int32_t colour = Rgb(1, 2, 3 + i); // none of them is in the palette
        const int cell = p.AddCustom(colour);
        replaced.push_back(cell);
        EXPECT_EQ(p.Colour(cell), colour);
        EXPECT_EQ(p.Age(cell), 1);
        EXPECT_TRUE(AgesArePermutation(p)) << i;
    }
    const std::vector<int> expected
        = {10, 9, 11, 8, 12, 7, 13, 6, 14, 5, 15, 4, 16, 3, 17, 2, 18, 1, 19, 0};
    EXPECT_EQ(replaced, expected);
}

TEST(ColourPalette, ACustomColourAlreadyThereSelectsItsCell)
{
    ColourPalette p;
    ColourPalette before;
    EXPECT_EQ(p.AddCustom(Rgb(0, 255, 0)), 14);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(p.Colour(i), before.Colour(i)) << i; // nothing replaced
    EXPECT_EQ(p.Age(14), 1);
    EXPECT_EQ(p.Age(0), 2); // every younger cell aged by one
    EXPECT_EQ(p.Age(10), 20); // older ones kept their age
}

TEST(ColourPalette, PickingACellKeepsItFromTheNextReplacement)
{
    ColourPalette p;
    p.Pick(10);
    EXPECT_EQ(p.AddCustom(Rgb(1, 1, 1)), 9);
}

} // namespace
