#pragma once

// Every recursive walk over a tree (parsing, evaluation, simplification, printing, derivation,
// cloning, comparison) holds a DepthGuard per level, so that a formula or a factory-built tree
// nested too deeply raises kErrorTooDeep instead of exhausting the stack.

#include "engine/ParseErrorMsg.h"

// Deepest parse recursion; each level is one node of the tree being built, or one pair of
// enclosing parentheses being stripped.
constexpr int kMaxParseDepth = 1000;
// Deepest recursion over an existing tree. Derivatives are deeper than their formulas (a level of
// the formula adds up to three to its derivative), so this is well above kMaxParseDepth.
constexpr int kMaxTreeDepth = 10000;

class DepthGuard {
public:
    explicit DepthGuard(int limit = kMaxTreeDepth, int from = -1, int to = -1)
    {
        if (++depth_ > limit) {
            --depth_;
            RaiseError(kErrorTooDeep, from, to);
        }
    }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    static constinit thread_local int depth_;
};
