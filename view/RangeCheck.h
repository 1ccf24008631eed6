#pragma once

// A range typed in a dialog, checked before it is stored: the plot cannot be drawn over a bound
// that is not a finite number (typed "nan", "inf" or "1e400"), over a span wider than the doubles
// hold, or over equal bounds. A reversed range is kept: it is the user's to mean.

#include <string>

#include "model/CWorkingArea.h"

enum class RangeFault {
    None,
    MinNotFinite,
    MaxNotFinite,
    TooWide, // the span, or the middle of a range only centred on, is not finite
    Empty, // the bounds are equal
};

// How the plot uses the range: its two bounds, or only their middle (the normalised axis of the
// working area is recentred on it).
enum class RangeUse { Bounds, Middle };

RangeFault CheckRange(double min, double max, RangeUse use = RangeUse::Bounds);

// The French message for a fault, naming the two fields by their labels (UTF-8). Empty for None.
std::string RangeFaultText(
    RangeFault fault, const std::string& minName, const std::string& maxName);

// The working area's typed bounds, each axis as the plot uses it: the axis that normalisation
// derives from the other is only recentred on its middle.
struct AreaFault {
    RangeFault fault = RangeFault::None;
    bool yAxis = false; // the fault is in the y bounds
};
AreaFault CheckWorkingArea(const CWorkingArea& area);

// The field the user has to change: the minimum when it is the one at fault, else the maximum.
bool FaultIsInMinimum(RangeFault fault);
