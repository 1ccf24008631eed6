#pragma once

// The texts of the trace and of the remarkable points, in UTF-8: the status pane while a curve is
// traced, the tangent's equation, the marks' tooltips and the coordinates put on the clipboard.
// Numbers have ten significant digits and a decimal point whatever the locale.

#include <string>

#include "model/CurveValues.h"
#include "model/RemarkablePoints.h"

// A number as the trace shows it ("%.10g" in the C locale; -0 as 0).
std::string TraceNumber(double v);

// What the point is, as seen from the curve traced: "racine", "maximum local", "intersection avec
// la courbe 2"... (an intersection names the other curve).
std::string PointName(const RemarkablePoint& point, int tracedCurve);

// The pane while curve (numbered from 0) of the given kind is traced: its values at the cursor
// ("Courbe 0 : x = 1, f(x) = 0.8414709848, f'(x) = 0.5403023059"), named after the remarkable
// point it snapped to, if any, and followed by the tangent's equation when it is shown.
std::string TraceStatusText(int curve, CurveType type, const CurveValues& values,
    const RemarkablePoint* snapped, bool tangent);

// The tangent at the point of values: "y = 2x - 1", "y = 4", or "x = 3" when it is vertical;
// empty when there is none.
std::string TangentEquation(const CurveValues& values);

// The pane for a curve whose formula (named as the function editor captions it) does not
// compile, with reason in the words of the editor's error line.
std::string UntraceableText(int curve, const std::string& formulaName, const std::string& reason);

// The pane when Tab has no point to go to: the search still runs, or found none on the curve.
std::string SearchingText(int curve);
std::string NoPointText(int curve);

// A mark's tooltip: what it is, where, and whether it is proven.
std::string MarkToolTip(const RemarkablePoint& point, CurveType type);

// The tooltip of a range where the search gave up.
std::string UndecidedToolTip(const UndecidedRange& range, CurveType type);

// "x<TAB>y", as a spreadsheet takes a row of two cells.
std::string ClipboardCoordinates(double x, double y);
