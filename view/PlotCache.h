#pragma once

// What a drawing depends on, and the plot points of the last sampling kept until it changes. A
// repaint that changes nothing the curves depend on (an expose, the rubber band, a status-bar
// update) then draws without sampling again.

#include <optional>
#include <vector>

#include "model/CCurvanaParams.h"
#include "model/CFunction.h"
#include "model/CSettingsAxis.h"
#include "model/Sampler.h"

class CFunctionsContext;

struct PlotInputs {
    // Taken after the surface is prepared: the view is the displayed range.
    static PlotInputs Of(const CFunctionsContext& context);

    // What the plot points depend on: curves, view, surface size and the two searches.
    bool SamplesLike(const PlotInputs& other) const;
    // Everything the picture depends on.
    bool operator==(const PlotInputs& other) const;

    std::vector<CFunction> curves;
    double view[4] = {0, 0, 0, 0};
    int width = 0;
    int height = 0;
    int dpi = 0;
    CSettingsAxis axis;
    CCurvanaParams params;
};

class PlotCache {
public:
    // The next drawing samples again even if nothing changed ("Trace !": curves using rand draw
    // anew).
    void Invalidate();

    // The points of every curve of the prepared context, sampled again only when the inputs
    // changed since the last call or Invalidate was called.
    const std::vector<std::vector<PlotPoint>>& PointsFor(CFunctionsContext& context);

    // The points of the last sampling (empty before the first).
    const std::vector<std::vector<PlotPoint>>& Points() const { return points_; }

    // How many times the curves were sampled (for tests and benchmarks).
    long Samplings() const { return samplings_; }

private:
    std::optional<PlotInputs> inputs_;
    std::vector<std::vector<PlotPoint>> points_;
    long samplings_ = 0;
};
