#include "view/PlotCache.h"

#include <algorithm>

#include "model/CFunctionsContext.h"
#include "platform/Numeric.h"

// A NaN bound (a degenerate area) equals itself, so that such a view is not sampled again at
// every paint.
using platform::SameNumber;

PlotInputs PlotInputs::Of(const CFunctionsContext& context)
{
    PlotInputs in;
    in.curves.reserve(context.functions.size());
    for (const CFunctionEntry& entry : context.functions)
        in.curves.push_back(entry.function);
    const CWorkingArea& a = context.area;
    in.view[0] = a.viewXMin;
    in.view[1] = a.viewXMax;
    in.view[2] = a.viewYMin;
    in.view[3] = a.viewYMax;
    in.width = context.screenWidth;
    in.height = context.screenHeight;
    in.dpi = context.dpi;
    in.axis = context.axis;
    in.params = context.params;
    return in;
}

bool PlotInputs::SamplesLike(const PlotInputs& other) const
{
    for (int i = 0; i < 4; ++i)
        if (!SameNumber(view[i], other.view[i]))
            return false;
    return width == other.width && height == other.height
        && params.searchBreakPoints == other.params.searchBreakPoints
        && params.searchDiscontinuities == other.params.searchDiscontinuities
        && std::equal(curves.begin(), curves.end(), other.curves.begin(), other.curves.end(),
            [](const CFunction& a, const CFunction& b) { return a.SamePoints(b); });
}

bool PlotInputs::operator==(const PlotInputs& other) const
{
    return SamplesLike(other) && curves == other.curves && dpi == other.dpi && axis == other.axis
        && params == other.params;
}

void PlotCache::Invalidate()
{
    inputs_.reset();
}

const std::vector<std::vector<PlotPoint>>& PlotCache::PointsFor(CFunctionsContext& context)
{
    PlotInputs now = PlotInputs::Of(context);
    if (inputs_ && inputs_->SamplesLike(now))
        return points_;
    SampleFunctions(context, points_);
    inputs_ = std::move(now);
    ++samplings_;
    return points_;
}
