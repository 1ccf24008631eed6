#pragma once

// Every recursive walk over a tree (parsing, evaluation, simplification, printing, derivation,
// cloning, comparison) holds a DepthGuard per level, so that a formula or a factory-built tree
// nested too deeply raises kErrorTooDeep instead of exhausting the stack. Besides the level count,
// the guard watches the stack itself: frames are much larger in some builds (sanitizers, no
// optimisation) and threads may have small stacks.

#include <cstdint>

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
        if (++depth_ > limit || NearStackEnd()) {
            --depth_;
            RaiseError(kErrorTooDeep, from, to);
        }
    }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    static bool NearStackEnd()
    {
        if (stackFloor_ == 0)
            stackFloor_ = StackFloor();
        return reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) < stackFloor_;
    }
    // The lowest frame address this thread's stack allows while keeping room to unwind.
    static uintptr_t StackFloor();

    static constinit thread_local int depth_;
    static constinit thread_local uintptr_t stackFloor_;
};
