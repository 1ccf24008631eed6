#pragma once

// Curve sampling: a curve becomes a list of plot points in pixels of the current surface. The
// sampler walks the curve's variable in equal steps, evaluates the curve and its derivative at
// every step, uses the derivative's sign to tell a jump from a steep slope, and, when the
// parameters ask for it, brackets jumps (FindBreak) and domain edges (FindDomainEntry/Exit) by
// bisection, so that no false vertical segment is drawn and a curve ends close to its boundary.

#include <vector>

#include "model/CFunction.h"

class CFunctionsContext;

// The working record of one evaluated value.
struct SamplePoint {
    double px = 0; // pixels
    double py = 0;
    double wx = 0; // world
    double wy = 0;
    double r = 0; // polar curves only
    bool valid = false;
    bool xValid = false;
    bool yValid = false;
    bool rValid = false;
};

// An element of the output: a point of the curve, or a pen-up marker (penDown false) across which
// nothing is drawn. The coordinates of a marker carry no meaning.
struct PlotPoint {
    float x;
    float y;
    bool penDown;
};

// Pixel coordinates beyond these bounds make a sample undefined (they are not symmetric).
constexpr double kMinPixel = -8388607;
constexpr double kMaxPixel = 8388606;

// Most samples taken for one curve in one pass. A parametric or polar curve asking for more steps
// is sampled with a step widened to cover its interval in this many, so that one paint never
// takes more than about a second.
constexpr double kMaxSamplesPerCurve = 262144;

// Bisection halvings of the searches.
constexpr int kDomainHalvings = 48;
constexpr int kBreakHalvings = 18;

void EvaluateSample(
    CEasyFunction& definition, const CFunctionsContext& context, double v, SamplePoint& sample);

void CheckContinuity(CurveType kind, const SamplePoint& prev, SamplePoint& cur,
    const SamplePoint& prevD, SamplePoint& curD);

// Appends the plot points of one curve to points.
void SampleFunction(
    CFunctionEntry& entry, const CFunctionsContext& context, std::vector<PlotPoint>& points);

// The plot points of every curve of the context, one list per curve. Curves are independent, so
// they are sampled side by side on the machine's cores, unless a curve draws random numbers: the
// draws then keep the order of curves sampled one after the other.
void SampleFunctions(CFunctionsContext& context, std::vector<std::vector<PlotPoint>>& points);

// Whether a formula of the curve may draw random numbers (a conservative test of its text).
bool MayDrawRandom(const CFunction& curve);

bool FindDomainEntry(CFunctionEntry& entry, const CFunctionsContext& context, double v, double step,
    PlotPoint& found);
bool FindDomainExit(CFunctionEntry& entry, const CFunctionsContext& context, double v, double step,
    SamplePoint& cur, SamplePoint& curD, PlotPoint& found);
bool FindBreak(CFunctionEntry& entry, const CFunctionsContext& context, double v, double step,
    SamplePoint& prev, SamplePoint& prevD, SamplePoint& cur, SamplePoint& curD, PlotPoint& before,
    PlotPoint& after);
