#include "view/ColourPalette.h"

#include <algorithm>

namespace {

struct PaletteRow {
    uint8_t red, green, blue, age;
};

// The initial colours and ages. The ages grow outward from the middle, so that custom colours
// first replace the cells 10, 9, 11, 8, 12 and so on.
constexpr std::array<PaletteRow, ColourPalette::kCells> kInitialPalette = {{
    {0, 0, 0, 1},
    {128, 0, 0, 3},
    {0, 128, 0, 5},
    {128, 128, 0, 7},
    {0, 0, 128, 9},
    {128, 0, 128, 11},
    {0, 128, 128, 13},
    {192, 192, 192, 15},
    {192, 220, 192, 17},
    {166, 202, 240, 19},
    {255, 251, 240, 20},
    {160, 160, 164, 18},
    {128, 128, 128, 16},
    {255, 0, 0, 14},
    {0, 255, 0, 12},
    {255, 255, 0, 10},
    {0, 0, 255, 8},
    {255, 0, 255, 6},
    {0, 255, 255, 4},
    {255, 255, 255, 2},
}};

} // namespace

ColourPalette::ColourPalette()
{
    for (size_t i = 0; i < kInitialPalette.size(); ++i) {
        const PaletteRow& row = kInitialPalette[i];
        colours_[i] = static_cast<int32_t>(row.red | (row.green << 8) | (row.blue << 16));
        ages_[i] = row.age;
    }
}

int ColourPalette::Find(int32_t colour) const
{
    const auto it = std::find(colours_.begin(), colours_.end(), colour);
    return it == colours_.end() ? -1 : static_cast<int>(it - colours_.begin());
}

void ColourPalette::Pick(int cell)
{
    const uint8_t age = ages_[static_cast<size_t>(cell)];
    for (uint8_t& a : ages_)
        if (a < age)
            ++a;
    ages_[static_cast<size_t>(cell)] = 1;
}

int ColourPalette::AddCustom(int32_t colour)
{
    int cell = Find(colour);
    if (cell < 0) {
        cell = static_cast<int>(std::find(ages_.begin(), ages_.end(), kCells) - ages_.begin());
        colours_[static_cast<size_t>(cell)] = colour;
    }
    Pick(cell);
    return cell;
}
