#pragma once

// The palette of the colour buttons: 20 colours and their recency, age 1 being the cell chosen
// last and age 20 the one chosen longest ago (the one a new custom colour replaces). The ages
// always form a permutation of 1 to 20. The window owns one and hands it to every colour button,
// so that a colour added in one dialog shows in every other.

#include <array>
#include <cstddef>
#include <cstdint>

class ColourPalette {
public:
    static constexpr int kCells = 20;

    ColourPalette();

    // 0x00BBGGRR.
    int32_t Colour(int cell) const { return colours_[static_cast<std::size_t>(cell)]; }
    int Age(int cell) const { return ages_[static_cast<std::size_t>(cell)]; }
    // The first cell holding colour, or -1.
    int Find(int32_t colour) const;

    // The cell becomes the most recent; every cell more recent than it ages by one.
    void Pick(int cell);
    // A colour from the system chooser: the cell that already holds it, or else the oldest cell,
    // which takes it. Picks that cell and returns it.
    int AddCustom(int32_t colour);

private:
    std::array<int32_t, kCells> colours_;
    std::array<uint8_t, kCells> ages_;
};
