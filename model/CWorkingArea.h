#pragma once

// The working area: the stored range the user sets (the area, saved in documents) and the range
// actually displayed (the view), rebuilt from the area before every drawing and, on request,
// stretched so that one unit has the same length in pixels on both axes. Pixel rows grow
// downwards. Every formula is evaluated in the order written: results must be the same bit for
// bit on every machine.

class CWorkingArea {
public:
    // Copies the area into the view, then derives the y range (normaliseX) or the x range
    // (normaliseY) from the surface's aspect ratio; normaliseX wins when both are set.
    void Normalise(int w, int h);

    double WorldToPixelX(double x, int w) const
    {
        return (x - viewXMin) * w / (viewXMax - viewXMin);
    }
    double WorldToPixelY(double y, int h) const
    {
        return (y - viewYMax) * h / (viewYMin - viewYMax);
    }
    double PixelToWorldX(int px, int w) const { return viewXMin + (viewXMax - viewXMin) * px / w; }
    double PixelToWorldY(int py, int h) const { return viewYMax + (viewYMin - viewYMax) * py / h; }

    double viewXMin = -1;
    double viewXMax = 1;
    double viewYMin = -1;
    double viewYMax = 1;
    bool normaliseX = false;
    bool normaliseY = false;
    double areaXMin = -1;
    double areaXMax = 1;
    double areaYMin = -1;
    double areaYMax = 1;
};
