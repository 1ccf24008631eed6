#include "model/CWorkingArea.h"

void CWorkingArea::Normalise(int w, int h)
{
    viewXMin = areaXMin;
    viewXMax = areaXMax;
    viewYMin = areaYMin;
    viewYMax = areaYMax;
    if (normaliseX) {
        const double mid = (areaYMin + areaYMax) * 0.5;
        const double half = (areaXMax - areaXMin) * h / w * 0.5;
        viewYMin = mid - half;
        viewYMax = mid + half;
    } else if (normaliseY) {
        const double mid = (areaXMin + areaXMax) * 0.5;
        const double half = w * ((areaYMax - areaYMin) / h) * 0.5;
        viewXMin = mid - half;
        viewXMax = mid + half;
    }
}
