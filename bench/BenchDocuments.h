#pragma once

// The documents the drawing benchmarks draw: the new document, and twenty curves of every kind,
// each with its gnuplot equivalent for the comparisons with gnuplot.

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "model/CurvanaDocument.h"

namespace bench {

inline constexpr double kTwoPi = 6.283185307179586;

struct Curve {
    CurveType type;
    const char* formula1;
    const char* formula2;
    double min, max;
    int32_t colour; // 0x00BBGGRR
    // gnuplot's y(x), or its x and y of $1 for a curve over a parameter.
    const char* gnuplot1;
    const char* gnuplot2;
};

inline const Curve kNewDocument[] = {
    {CurveCartesian, "sin(1/x)", "", 0, 1, 0x00BC7D81, "sin(1.0/x)", ""},
};

inline const Curve kTwentyCurves[] = {
    {CurveCartesian, "sin(x)", "", 0, 1, 0x000000C0, "sin(x)", ""},
    {CurveCartesian, "3*cos(2*x)", "", 0, 1, 0x0000A000, "3*cos(2*x)", ""},
    {CurveCartesian, "x^2/10-5", "", 0, 1, 0x00C00000, "x**2/10.0-5", ""},
    {CurveCartesian, "8*exp(-x*x/20)", "", 0, 1, 0x00008080, "8*exp(-x*x/20.0)", ""},
    {CurveCartesian, "ln(abs(x))", "", 0, 1, 0x00800080, "log(abs(x))", ""},
    {CurveCartesian, "2*sqrt(abs(x))", "", 0, 1, 0x00808000, "2*sqrt(abs(x))", ""},
    {CurveCartesian, "tan(x)", "", 0, 1, 0x00C04000, "tan(x)", ""},
    {CurveCartesian, "1/x", "", 0, 1, 0x004000C0, "1.0/x", ""},
    {CurveCartesian, "x^3/100", "", 0, 1, 0x0000C040, "x**3/100.0", ""},
    {CurveCartesian, "4*atan(x)", "", 0, 1, 0x00404040, "4*atan(x)", ""},
    {CurveCartesian, "sinh(x/5)", "", 0, 1, 0x00A06000, "sinh(x/5.0)", ""},
    {CurveCartesian, "5*abs(sin(x))", "", 0, 1, 0x000060A0, "5*abs(sin(x))", ""},
    {CurveCartesian, "floor(x/3)", "", 0, 1, 0x0060A000, "floor(x/3.0)", ""},
    {CurveCartesian, "x*sin(x)/3", "", 0, 1, 0x00A00060, "x*sin(x)/3.0", ""},
    {CurveCartesian, "6*cos(x*x/10)", "", 0, 1, 0x006000A0, "6*cos(x*x/10.0)", ""},
    {CurveCartesian, "sin(1/x)", "", 0, 1, 0x00BC7D81, "sin(1.0/x)", ""},
    {CurveCartesian, "sqrt(25-x^2)", "", 0, 1, 0x00208020, "sqrt(25-x**2)", ""},
    {CurveParametric, "12*cos(3*t)", "8*sin(2*t)", 0, kTwoPi, 0x000080FF, "12*cos(3*$1)",
        "8*sin(2*$1)"},
    {CurveParametric, "5*cos(t)^3", "5*sin(t)^3", 0, kTwoPi, 0x00FF8000, "5*cos($1)**3",
        "5*sin($1)**3"},
    {CurvePolar, "10*sin(4*theta)", "", 0, kTwoPi, 0x00A000A0, "10*sin(4*$1)*cos($1)",
        "10*sin(4*$1)*sin($1)"},
};

struct Case {
    const char* name;
    const Curve* curves;
    size_t count;
};

inline const Case kCases[] = {
    {"NewDocument", kNewDocument, std::size(kNewDocument)},
    {"TwentyCurves", kTwentyCurves, std::size(kTwentyCurves)},
};

// A new document (view x from -22 to 18) holding the case's curves, each parametric or polar one
// sampled in the given number of steps.
inline CFunctionsContext DocumentOf(const Case& c, double samples)
{
    CFunctionsContext context = CurvanaDocument().context;
    context.Clear();
    for (size_t i = 0; i < c.count; ++i) {
        const Curve& curve = c.curves[i];
        CFunction f;
        f.Set(curve.type, curve.formula1, curve.formula2, curve.min, curve.max, curve.colour,
            samples);
        CFunctionEntry entry;
        entry.SetFunction(f);
        context.Append(entry);
    }
    return context;
}

} // namespace bench
