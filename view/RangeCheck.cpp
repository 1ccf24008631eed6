#include "view/RangeCheck.h"

#include <cmath>

namespace {

// A field's label as French quotes it, with no-break spaces inside the quotes.
std::string Quoted(const std::string& name)
{
    return "«\u00A0" + name + "\u00A0»";
}

} // namespace

RangeFault CheckRange(double min, double max, RangeUse use)
{
    if (!std::isfinite(min))
        return RangeFault::MinNotFinite;
    if (!std::isfinite(max))
        return RangeFault::MaxNotFinite;
    switch (use) {
    case RangeUse::Bounds:
        if (!std::isfinite(max - min))
            return RangeFault::TooWide;
        if (min == max)
            return RangeFault::Empty;
        break;
    case RangeUse::Middle:
        if (!std::isfinite((min + max) * 0.5))
            return RangeFault::TooWide;
        break;
    }
    return RangeFault::None;
}

std::string RangeFaultText(RangeFault fault, const std::string& minName, const std::string& maxName)
{
    switch (fault) {
    case RangeFault::None:
        break;
    case RangeFault::MinNotFinite:
    case RangeFault::MaxNotFinite:
        return Quoted(FaultIsInMinimum(fault) ? minName : maxName) + " doit être un nombre fini.";
    case RangeFault::TooWide:
        return "L'intervalle de " + Quoted(minName) + " à " + Quoted(maxName)
            + " est trop grand pour être tracé.";
    case RangeFault::Empty:
        return Quoted(minName) + " et " + Quoted(maxName)
            + " ont la même valeur\u00A0: l'intervalle est vide.";
    }
    return {};
}

AreaFault CheckWorkingArea(const CWorkingArea& area)
{
    // normaliseX wins when both are set.
    const bool xDerived = area.normaliseY && !area.normaliseX;
    const bool yDerived = area.normaliseX;
    AreaFault out;
    out.fault
        = CheckRange(area.areaXMin, area.areaXMax, xDerived ? RangeUse::Middle : RangeUse::Bounds);
    if (out.fault != RangeFault::None)
        return out;
    out.yAxis = true;
    out.fault
        = CheckRange(area.areaYMin, area.areaYMax, yDerived ? RangeUse::Middle : RangeUse::Bounds);
    return out;
}

bool FaultIsInMinimum(RangeFault fault)
{
    return fault == RangeFault::MinNotFinite;
}
