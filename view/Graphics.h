#pragma once

// The drawing operations the plot renderer needs, and nothing more: smoothing, page unit and
// scale, lines with float coordinates drawn with a pen, small figures repeated at many places,
// one label font, measuring and drawing a string with a solid brush, clearing. QtGraphics serves
// them over QPainter (screen, printer, PNG, SVG, PDF); RecordingGraphics records them for tests.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// An ARGB colour, alpha in the high byte.
using Argb = uint32_t;

// A colour of the model (0x00BBGGRR) as an ARGB colour with the given alpha.
constexpr Argb ToArgb(int32_t colour, uint8_t alpha = 255)
{
    const auto c = static_cast<uint32_t>(colour);
    return (static_cast<uint32_t>(alpha) << 24) | ((c & 0xFF) << 16) | (c & 0xFF00)
        | ((c >> 16) & 0xFF);
}

enum class SmoothingMode {
    None = 3,
    AntiAlias = 4,
};

enum class PageUnit {
    World = 0,
    Pixel = 2,
};

// A pen: colour and width in world units (the renderer's pens are all 1.0 wide).
struct Pen {
    Argb colour;
    float width;
    bool operator==(const Pen&) const = default;
};

// A font: family and em size in pixels, regular style.
struct Font {
    std::string family;
    float emSize;
    bool operator==(const Font&) const = default;
};

// A small figure drawn at many places, as the marks of remarkable points: polylines given as
// offsets from its centre, stroked with each pen in turn (a halo, then the figure).
struct Figure {
    std::vector<std::vector<std::pair<float, float>>> polylines;
    std::vector<Pen> pens;
    bool operator==(const Figure&) const = default;
};

struct TextSize {
    float width;
    float height;
};

class Graphics {
public:
    virtual ~Graphics() = default;

    virtual void SetSmoothingMode(SmoothingMode mode) = 0;
    virtual void SetPageUnit(PageUnit unit) = 0;
    virtual void SetPageScale(float scale) = 0;
    virtual void Clear(Argb colour) = 0;
    virtual void DrawLine(const Pen& pen, float x1, float y1, float x2, float y2) = 0;
    // Draws figure centred on (x, y). As its lines, pen after pen, unless the surface has a
    // faster way to the same picture (a bitmap copies one it drew once).
    virtual void DrawFigure(const Figure& figure, float x, float y)
    {
        for (const Pen& pen : figure.pens)
            for (const auto& line : figure.polylines)
                for (size_t i = 1; i < line.size(); ++i)
                    DrawLine(pen, x + line[i - 1].first, y + line[i - 1].second, x + line[i].first,
                        y + line[i].second);
    }
    // Whether the family exists; without it the label font stays absent and labels are skipped.
    virtual bool HasFontFamily(const std::string& family) = 0;
    // The bounding box of the text laid out from the origin (x, y).
    virtual TextSize MeasureString(const std::string& text, const Font& font, float x, float y) = 0;
    // Draws the text with its layout box's top-left corner at (x, y) and a solid brush.
    virtual void DrawString(const std::string& text, const Font& font, float x, float y, Argb brush)
        = 0;
};
