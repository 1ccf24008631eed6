// The coupled step and count fields of the function editor and of the axes dialog.

#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "platform/CLocale.h"
#include "view/StepCount.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Compared as the dialog shows them, with "%f"; the sign of a NaN depends on the processor.
std::string Shown(double value)
{
    return std::isnan(value) ? "nan" : platform::CFormat("%f", value);
}

struct CurveCase {
    double min, max;
    double typed;
    const char* step; // for a typed count
    const char* count; // for a typed step
};

TEST(StepCount, TheEditorsStepAndIterationCountFollowEachOther)
{
    const CurveCase rows[] = {
        {0, 10, 100, "0.100000", "0.100000"},
        {0, 10, 0.5, "20.000000", "20.000000"},
        {0, 10, 7, "1.428571", "1.428571"},
        // A count of zero stands for one step per unit; a step of zero is not guarded.
        {0, 10, 0, "1.000000", "inf"},
        {0, 10, 1e-15, "1.000000", "10000000000000000.000000"},
        {0, 10, -4, "-2.500000", "-2.500000"},
        {10, 0, 4, "-2.500000", "-2.500000"},
        {-1, 1, 1e-14, "200000000000000.000000", "200000000000000.000000"},
        {3, 3, 0, "nan", "nan"},
        {0, 10, kNaN, "nan", "nan"},
        {0, 10, kInf, "0.000000", "0.000000"},
    };
    for (const CurveCase& r : rows) {
        SCOPED_TRACE(Shown(r.min) + " to " + Shown(r.max) + ", typed " + Shown(r.typed));
        EXPECT_EQ(Shown(StepForTypedIterations(r.min, r.max, r.typed)), r.step);
        EXPECT_EQ(Shown(IterationsForTypedStep(r.min, r.max, r.typed)), r.count);
    }
}

TEST(StepCount, AStoredCurvesStepIsItsRangeOverItsCount)
{
    EXPECT_EQ(Shown(CurveStep(0, 1, 1009)), "0.000991");
    EXPECT_EQ(CurveStep(-1, 1, 50), 0.04);
    // Shown as stored, without the typed count's guard.
    EXPECT_EQ(Shown(CurveStep(0, 10, 0)), "inf");
}

struct GraduationCase {
    double range;
    double typed;
    const char* step; // for a typed count
    const char* count; // for a typed step
};

TEST(StepCount, TheGraduationsStepAndCountFollowEachOther)
{
    const GraduationCase rows[] = {
        {40, 4, "10.000000", "10.000000"},
        {40, 0, "400.000000", "10.000000"},
        {40, 1e-15, "400.000000", "10.000000"},
        {40, -1e-15, "400.000000", "10.000000"},
        {40, 1e-14, "4000000000000000.000000", "4000000000000000.000000"},
        {30, 0.5, "60.000000", "60.000000"},
        {-30, 3, "-10.000000", "-10.000000"},
        {0, 0, "0.000000", "10.000000"},
        {40, kNaN, "nan", "nan"},
    };
    for (const GraduationCase& r : rows) {
        SCOPED_TRACE("range " + Shown(r.range) + ", typed " + Shown(r.typed));
        EXPECT_EQ(Shown(GraduationStep(r.range, r.typed)), r.step);
        EXPECT_EQ(Shown(GraduationCount(r.range, r.typed)), r.count);
    }
}

} // namespace
