// The check of ranges typed in dialogs, and its messages.

#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "model/CWorkingArea.h"
#include "view/RangeCheck.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMax = std::numeric_limits<double>::max();

struct RangeCase {
    double min, max;
    RangeUse use;
    RangeFault fault;
};

TEST(RangeCheck, RefusesWhatAPlotCannotBeDrawnOver)
{
    using F = RangeFault;
    using U = RangeUse;
    const RangeCase rows[] = {
        {-22, 18, U::Bounds, F::None},
        {18, -22, U::Bounds, F::None}, // reversed: kept
        {-1e-300, 1e-300, U::Bounds, F::None},
        {-kMax / 2, kMax / 2, U::Bounds, F::None},
        {kNaN, 1, U::Bounds, F::MinNotFinite},
        {-kInf, 1, U::Bounds, F::MinNotFinite},
        {0, kInf, U::Bounds, F::MaxNotFinite},
        {0, -kNaN, U::Bounds, F::MaxNotFinite},
        {kNaN, kNaN, U::Bounds, F::MinNotFinite},
        {-kMax, kMax, U::Bounds, F::TooWide},
        {3, 3, U::Bounds, F::Empty},
        {0.0, -0.0, U::Bounds, F::Empty},
        // Only the middle of a recentred axis counts.
        {3, 3, U::Middle, F::None},
        {-kMax, kMax, U::Middle, F::None},
        {kMax, kMax, U::Middle, F::TooWide},
        {kInf, 0, U::Middle, F::MinNotFinite},
        {0, kNaN, U::Middle, F::MaxNotFinite},
    };
    for (const RangeCase& r : rows)
        EXPECT_EQ(CheckRange(r.min, r.max, r.use), r.fault)
            << r.min << " to " << r.max << (r.use == U::Middle ? " (middle)" : "");
}

struct AreaCase {
    const char* name;
    double xMin, xMax, yMin, yMax;
    bool normaliseX, normaliseY;
    RangeFault fault;
    bool yAxis;
};

TEST(RangeCheck, TheWorkingAreaChecksEachAxisAsTheNormalisationUsesIt)
{
    using F = RangeFault;
    const AreaCase rows[] = {
        {"NewDocument", -22, 18, -10, 10, true, false, F::None, false},
        {"EqualYIsRecentredOnly", -22, 18, 0, 0, true, false, F::None, false},
        {"EqualYUsedAsTyped", -22, 18, 0, 0, false, false, F::Empty, true},
        {"EqualYWithBothFlags", -22, 18, 0, 0, true, true, F::None, false},
        {"EqualXIsRecentredOnly", 5, 5, -10, 10, false, true, F::None, false},
        {"EqualXWithBothFlags", 5, 5, -10, 10, true, true, F::Empty, false},
        {"NaNYEvenRecentred", -22, 18, kNaN, 10, true, false, F::MinNotFinite, true},
        {"InfiniteX", -22, kInf, -10, 10, true, false, F::MaxNotFinite, false},
        {"XBeforeY", kNaN, 18, kNaN, 10, false, false, F::MinNotFinite, false},
        {"TooWideY", -22, 18, -kMax, kMax, false, false, F::TooWide, true},
    };
    for (const AreaCase& r : rows) {
        CWorkingArea a;
        a.areaXMin = r.xMin;
        a.areaXMax = r.xMax;
        a.areaYMin = r.yMin;
        a.areaYMax = r.yMax;
        a.normaliseX = r.normaliseX;
        a.normaliseY = r.normaliseY;
        const AreaFault out = CheckWorkingArea(a);
        EXPECT_EQ(out.fault, r.fault) << r.name;
        if (r.fault != F::None) {
            EXPECT_EQ(out.yAxis, r.yAxis) << r.name;
        }
    }
}

TEST(RangeCheck, TheMessageNamesTheFieldsByTheirLabels)
{
    using F = RangeFault;
    const struct {
        RangeFault fault;
        const char* text;
        bool inMinimum;
    } rows[] = {
        {F::None, "", false},
        {F::MinNotFinite, "«\u00A0Bas\u00A0» doit être un nombre fini.", true},
        {F::MaxNotFinite, "«\u00A0Haut\u00A0» doit être un nombre fini.", false},
        {F::TooWide,
            "L'intervalle de «\u00A0Bas\u00A0» à «\u00A0Haut\u00A0» est trop grand pour être "
            "tracé.",
            false},
        {F::Empty,
            "«\u00A0Bas\u00A0» et «\u00A0Haut\u00A0» ont la même valeur\u00A0: "
            "l'intervalle est vide.",
            false},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(RangeFaultText(r.fault, "Bas", "Haut"), r.text);
        EXPECT_EQ(FaultIsInMinimum(r.fault), r.inMinimum);
    }
}

} // namespace
