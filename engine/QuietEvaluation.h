#pragma once

// Evaluation errors (division by zero, domain errors...) are thrown as ParseErrorMsg. Inside a
// QuietEvaluation they are recorded instead and the failing node gives NaN: the curve model, which
// turns every error into an undefined value anyway, then pays nothing like the cost of a C++
// exception for each undefined sample. The value is the same either way (NaN whenever an error
// occurred), and no random draw happens once an error is pending, so that the sequence of draws
// is the same as when the error is thrown.

#include "engine/ParseErrorMsg.h"

// Raises an evaluation error: throws it, or, inside a QuietEvaluation, records it and returns NaN.
double EvaluationError(int code);

// Inline, for the curve model makes one per sample.
class QuietEvaluation {
public:
    QuietEvaluation() : saved_(state_) { state_ = State {true, false, 0}; }
    ~QuietEvaluation() { state_ = saved_; }
    QuietEvaluation(const QuietEvaluation&) = delete;
    QuietEvaluation& operator=(const QuietEvaluation&) = delete;

    // Whether an error occurred since this object was made, and the first one.
    bool Failed() const { return state_.failed; }
    ParseErrorMsg Error() const { return ParseErrorMsg {state_.code, -1, -1}; }

    // Whether an error is pending in the current quiet evaluation of this thread.
    static bool ErrorPending() { return state_.active && state_.failed; }
    // Whether an error occurred since the last call, which forgets it: evaluations of many values
    // at once tell each value's errors apart by it.
    bool TakeFailure()
    {
        const bool failed = state_.failed;
        state_.failed = false;
        return failed;
    }

private:
    struct State {
        bool active = false;
        bool failed = false;
        int code = 0;
    };
    State saved_;
    static constinit thread_local State state_;
    friend double EvaluationError(int code);
};
