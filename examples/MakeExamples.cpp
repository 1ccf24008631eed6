// Writes the example documents of examples/ with the program's own model and file format:
//   curvana_make_examples DIRECTORY

#include <cstdio>
#include <string>

#include "model/CurvanaDocument.h"

namespace {

bool Write(const std::string& directory, const char* name, const CurvanaDocument& source)
{
    CurvanaDocument document = source;
    std::string error;
    if (!document.Save(directory + "/" + name, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    return true;
}

CurvanaDocument WithCurve(CurveType type, const char* f1, const char* f2, double min, double max,
    int32_t colour, double iterations)
{
    CurvanaDocument document;
    document.context.screenWidth = 800;
    document.context.screenHeight = 600;
    CFunction f;
    f.Set(type, f1, f2, min, max, colour, iterations);
    CFunctionEntry entry;
    entry.SetFunction(f);
    document.context.Clear();
    document.context.Append(entry);
    return document;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    constexpr double kTwoPi = 6.283185307179586;
    CurvanaDocument fresh;
    fresh.context.screenWidth = 800;
    fresh.context.screenHeight = 600;
    bool ok = Write(dir, "default.cvn", fresh);
    ok = Write(dir, "tan.cvn", WithCurve(CurveCartesian, "tan(x)", "", 0, 1, 0x00C04000, 1009))
        && ok;
    ok = Write(dir, "lissajous.cvn",
             WithCurve(CurveParametric, "12*cos(3*t)", "8*sin(2*t)", 0, kTwoPi, 0x000080FF, 1000))
        && ok;
    ok = Write(dir, "rose.cvn",
             WithCurve(CurvePolar, "10*sin(4*theta)", "", 0, kTwoPi, 0x00A000A0, 1009))
        && ok;
    ok = Write(
             dir, "sqrt.cvn", WithCurve(CurveCartesian, "3*sqrt(x+5)", "", 0, 1, 0x00208020, 1009))
        && ok;
    return ok ? 0 : 1;
}
