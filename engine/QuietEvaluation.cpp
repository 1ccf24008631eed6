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
