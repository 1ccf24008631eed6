#include "view/StepCount.h"

#include <cmath>

namespace {

// Below this a typed number counts as zero.
constexpr double kNearZero = 1e-14;

} // namespace

double CurveStep(double min, double max, double iterations)
{
    return (max - min) / iterations;
}

double StepForTypedIterations(double min, double max, double iterations)
{
    if (std::fabs(iterations) < kNearZero)
        iterations = max - min;
    return (max - min) / iterations;
}

double IterationsForTypedStep(double min, double max, double step)
{
    return (max - min) / step;
}

double GraduationStep(double range, double count)
{
    return std::fabs(count) < kNearZero ? 10.0 * range : range / count;
}

double GraduationCount(double range, double step)
{
    return std::fabs(step) < kNearZero ? 10.0 : range / step;
}
