#pragma once

// The trace cursor, without any window: the curve it follows, where it stands on it and the
// remarkable point it snapped to, and its moves: with the pointer, one pixel along the curve,
// to the next curve, to the next remarkable point. The view hands it the events, draws the
// cursor where it says and shows its text.

#include <optional>
#include <string>
#include <vector>

#include "model/CurveValues.h"
#include "model/RemarkablePoints.h"
#include "model/Sampler.h"
#include "view/MouseTools.h"

class CFunctionsContext;
class RemarkableSet;

// A remarkable point this close to the cursor, in pixels, takes it.
constexpr double kSnapPixels = 5;

// The curve whose plotted points (or the lines between them, when joined) come nearest to the
// pixel (px, py); -1 when no curve has a point.
int NearestCurve(
    const std::vector<std::vector<PlotPoint>>& plotted, bool joined, double px, double py);

class Trace {
public:
    bool Active() const { return curve_ >= 0; }
    int Curve() const { return curve_; }
    // The cursor's variable (x, t or theta), the curve's values there, and the remarkable point
    // it stands on, if any.
    double Variable() const { return values_.variable; }
    const CurveValues& Values() const { return values_; }
    const std::optional<RemarkablePoint>& Snapped() const { return snapped_; }
    // Whether the traced curve compiles; if not, the formula that does not (0 or 1).
    bool Compiled() const;
    int FailedFormula() const;
    CurveType Type() const;

    bool TangentShown() const { return tangent_; }
    void ShowTangent(bool shown) { tangent_ = shown; }

    // Follows curve from the pointer at p.
    void Start(const CFunctionsContext& c, int curve, PixelPoint p, const RemarkableSet& marks);
    void Leave();
    // The document or the view changed: curves that differ are compiled again, a curve that is
    // gone ends the trace, and the values are those of the curve as it is now.
    void Refresh(const CFunctionsContext& c);

    // The pointer moved to p: a Cartesian curve is followed at p's x, another at its plotted
    // parameter value nearest p; a remarkable point within kSnapPixels takes the cursor.
    void Follow(const CFunctionsContext& c, PixelPoint p, const RemarkableSet& marks);
    // Left (-1) or Right (+1): one pixel along the curve; a remarkable point ahead within
    // kSnapPixels, or passed over, takes the cursor.
    void Step(const CFunctionsContext& c, int direction, const RemarkableSet& marks);
    // Up (+1) or Down (-1): the next or previous curve, at the same place.
    void SwitchCurve(const CFunctionsContext& c, int direction, const RemarkableSet& marks);
    // Tab (+1) or Shift+Tab (-1): the next or previous remarkable point of the curve, round.
    enum class Jump { Moved, NoPoint, Pending };
    Jump JumpToPoint(int direction, const RemarkableSet& marks);

    // The pane's text; for a curve that does not compile, the caller says why.
    std::string StatusText() const;

private:
    struct PlottedStep {
        double v;
        double px;
        double py;
        bool defined;
    };

    CurveEvaluator& Evaluator(int curve);
    bool IsCartesian(int curve) const;
    void MoveTo(double v);
    void SnapTo(const RemarkablePoint& point, int index);
    // Takes the nearest remarkable point within kSnapPixels of the cursor.
    void SnapNear(const CFunctionsContext& c, const RemarkableSet& marks);
    // At p: Cartesian, p's x; otherwise the nearest defined plotted step.
    void PlaceAt(const CFunctionsContext& c, double px, double py);
    const std::vector<PlottedStep>& Steps(const CFunctionsContext& c);
    bool CursorPixel(const CFunctionsContext& c, double& px, double& py) const;

    std::vector<CFunction> curves_;
    std::vector<std::optional<CurveEvaluator>> evaluators_;
    int curve_ = -1;
    CurveValues values_;
    std::optional<RemarkablePoint> snapped_;
    int snappedIndex_ = -1;
    bool tangent_ = false;
    // The plotted parameter values of the traced parametric or polar curve, for the view they
    // were placed in.
    std::vector<PlottedStep> steps_;
    int stepsCurve_ = -1;
    double stepsView_[4] = {0, 0, 0, 0};
    int stepsWidth_ = 0;
    int stepsHeight_ = 0;
};
