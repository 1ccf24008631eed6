#include "engine/QuietEvaluation.h"

#include <limits>

constinit thread_local QuietEvaluation::State QuietEvaluation::state_ {};

double EvaluationError(int code)
{
    QuietEvaluation::State& s = QuietEvaluation::state_;
    if (!s.active)
        RaiseError(code, -1, -1);
    if (!s.failed) {
        s.failed = true;
        s.code = code;
    }
    return std::numeric_limits<double>::quiet_NaN();
}

QuietEvaluation::QuietEvaluation() : saved_(state_)
{
    state_ = State {true, false, 0};
}

QuietEvaluation::~QuietEvaluation()
{
    state_ = saved_;
}

bool QuietEvaluation::Failed() const
{
    return state_.failed;
}

ParseErrorMsg QuietEvaluation::Error() const
{
    return ParseErrorMsg {state_.code, -1, -1};
}

bool QuietEvaluation::ErrorPending()
{
    return state_.active && state_.failed;
}
