#pragma once

// The general tracing parameters of a document. They are never stored in document files: they keep
// what they had in memory across new and opened documents.

class Archive;

class CCurvanaParams {
public:
    // The four flags, one byte each, in field order. Documents do not call it.
    virtual void Serialize(Archive& ar);
    virtual ~CCurvanaParams() = default;

    bool operator==(const CCurvanaParams& other) const = default;

    bool antialias = true;
    bool joinedLines = true; // false: each point as a dot
    bool searchBreakPoints = true; // refine jumps by bisection
    bool searchDiscontinuities = true; // refine domain edges by bisection
};
