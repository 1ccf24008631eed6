// Fuzz target of interval evaluation: a range (the first 16 bytes, two doubles) and a formula
// (the bytes after, to a NUL), then the point values (doubles after the NUL, and points spread
// over the range). The promise must hold for the plain walk, the centred form and the split
// evaluation: every value the point evaluator returns lies in the enclosure, and a dac or com
// decoration never meets an error or NaN. A broken promise aborts.

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "engine/IntervalEvaluator.h"
#include "tests/engine/IntervalPromise.h"

namespace {

double ReadDouble(const uint8_t* data)
{
    uint64_t bits;
    std::memcpy(&bits, data, sizeof bits);
    return std::bit_cast<double>(bits);
}

void Check(FunctionInterpreter& f, int index, const interval::Interval& x, const IntervalBounds& b,
    double at, const char* form)
{
    if (const std::optional<std::string> broken = Violation(f, index, x, b, at)) {
        std::fprintf(
            stderr, "broken promise (%s): %s: %s\n", form, f.ToText().c_str(), broken->c_str());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 16 || size > 4096)
        return 0;
    double lo = ReadDouble(data);
    double hi = ReadDouble(data + 8);
    if (std::isnan(lo) || std::isnan(hi))
        return 0;
    if (lo > hi)
        std::swap(lo, hi);
    const auto* text = reinterpret_cast<const char*>(data + 16);
    const size_t length = strnlen(text, size - 16);
    const std::string formula(text, length);
    std::vector<double> points = {lo, hi};
    for (size_t at = 16 + length + 1; at + 8 <= size; at += 8) {
        const double p = ReadDouble(data + at);
        if (lo <= p && p <= hi)
            points.push_back(p);
    }
    if (std::isfinite(lo) && std::isfinite(hi))
        for (int k = 1; k < 16; ++k) {
            const double p = lo + (hi - lo) / 16 * k;
            if (lo <= p && p <= hi)
                points.push_back(p);
        }
    try {
        FunctionInterpreter f(formula);
        const int index = f.GetVariableCount() > 0 ? 0 : -1;
        for (int i = 1; i < f.GetVariableCount(); ++i)
            f.SetVariableValueAt(i, 0.75 * i);
        const IntervalEvaluator evaluator(f, index);
        const interval::Interval x {lo, hi};
        const IntervalBounds plain = evaluator.Plain(x);
        const IntervalBounds centred = evaluator.Centred(x);
        const IntervalBounds split = evaluator.Evaluate(x, 3);
        for (const double p : points) {
            Check(f, index, x, plain, p, "plain");
            Check(f, index, x, centred, p, "centred");
            Check(f, index, x, split, p, "split");
        }
    } catch (const ParseErrorMsg& e) {
        (void)ParseErrorText(e); // a formula that does not parse, or nests too deep
    }
    return 0;
}
