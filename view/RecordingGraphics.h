#pragma once

// A Graphics that draws nothing and records every call, with its arguments, in order. Text is
// measured with a fixed advance per character so that label positions can be checked exactly.

#include <string>
#include <vector>

#include "view/Graphics.h"

class RecordingGraphics final : public Graphics {
public:
    enum class Kind { SmoothingMode, PageUnit, PageScale, Clear, Line, Measure, Text };

    struct Call {
        Kind kind = Kind::Line;
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0; // line ends, or the text's position in x1, y1
        Argb colour = 0; // pen, brush or clear colour
        float width = 0; // pen width
        std::string text;
        Font font;
        int value = 0; // smoothing mode or page unit
        float scale = 0;
    };

    // Advance per character and line height, as multiples of the em size.
    float advance = 0.5f;
    float lineHeight = 1.25f;
    bool fontAvailable = true;

    std::vector<Call> calls;

    void SetSmoothingMode(SmoothingMode mode) override
    {
        Record(Kind::SmoothingMode).value = static_cast<int>(mode);
    }
    void SetPageUnit(PageUnit unit) override
    {
        Record(Kind::PageUnit).value = static_cast<int>(unit);
    }
    void SetPageScale(float scale) override { Record(Kind::PageScale).scale = scale; }
    void Clear(Argb colour) override { Record(Kind::Clear).colour = colour; }
    void DrawLine(const Pen& pen, float x1, float y1, float x2, float y2) override
    {
        Call& c = Record(Kind::Line);
        c.x1 = x1;
        c.y1 = y1;
        c.x2 = x2;
        c.y2 = y2;
        c.colour = pen.colour;
        c.width = pen.width;
    }
    bool HasFontFamily(const std::string&) override { return fontAvailable; }
    TextSize MeasureString(const std::string& text, const Font& font, float x, float y) override
    {
        Call& c = Record(Kind::Measure);
        c.x1 = x;
        c.y1 = y;
        c.text = text;
        c.font = font;
        return {advance * font.emSize * static_cast<float>(text.size()), lineHeight * font.emSize};
    }
    void DrawString(
        const std::string& text, const Font& font, float x, float y, Argb brush) override
    {
        Call& c = Record(Kind::Text);
        c.x1 = x;
        c.y1 = y;
        c.colour = brush;
        c.text = text;
        c.font = font;
    }

    // The calls of one kind, in order.
    std::vector<Call> Of(Kind kind) const
    {
        std::vector<Call> out;
        for (const Call& c : calls)
            if (c.kind == kind)
                out.push_back(c);
        return out;
    }

private:
    Call& Record(Kind kind)
    {
        calls.push_back(Call {});
        calls.back().kind = kind;
        return calls.back();
    }
};
