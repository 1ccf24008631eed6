#pragma once

// A Graphics that draws nowhere: for a drawing whose only purpose is what it leaves in the model
// (the surface a document stores) or the plot points it produces.

#include "view/Graphics.h"

class NullGraphics final : public Graphics {
public:
    void SetSmoothingMode(SmoothingMode) override { }
    void SetPageUnit(PageUnit) override { }
    void SetPageScale(float) override { }
    void Clear(Argb) override { }
    void DrawLine(const Pen&, float, float, float, float) override { }
    bool HasFontFamily(const std::string&) override { return true; }
    TextSize MeasureString(const std::string&, const Font&, float, float) override
    {
        return {0, 0};
    }
    void DrawString(const std::string&, const Font&, float, float, Argb) override { }
};
