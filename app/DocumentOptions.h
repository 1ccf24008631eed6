#pragma once

// The options --export and --analyse share: the document (a file, or a new one), the curves
// typed on the command line, the working area, the surface and the tracing parameters. Both take
// them alike, so that the range analysed is the one drawn.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/CFunction.h"

class CurvanaDocument;

// A curve typed on the command line. Texts are code page 1252; shown1 and shown2 keep them as
// typed, for messages.
struct CurveOption {
    const char* option;
    CurveType type;
    std::string formula1, formula2;
    std::string shown1, shown2;
    double min = 0.0;
    double max = 0.0;
    double iterations = 0.0;
    std::optional<int32_t> colour;
};

struct Area {
    double xMin, xMax, yMin, yMax;
};

struct DocumentOptions {
    std::string out; // --export only
    std::string file;
    int width = 800;
    int height = 600;
    int dpi = 96;
    bool points = false;
    bool antialias = true;
    bool joinedLines = true;
    bool searchBreakPoints = true;
    bool searchDiscontinuities = true;
    bool manualGraduation = false;
    std::vector<CurveOption> curves;
    std::optional<Area> area;
};

// Parses argv[first] on; on error prints it and returns nullopt.
std::optional<DocumentOptions> ParseDocumentOptions(int argc, char** argv, int first);

// Refuses a typed formula that its curve would not compile, as the window never does: the window
// stores any text and draws nothing for it. Returns 0, or the exit status after the message.
int CheckTypedCurves(const DocumentOptions& o);

// The document the options describe: loaded (or new), its curves replaced by the typed ones,
// its area and parameters set. On failure returns false with the reason.
bool PrepareDocument(const DocumentOptions& o, CurvanaDocument& document, std::string& error);

// Both of the above, for a command: 0 with the document ready, or the exit status after the
// message.
int OpenDocument(const DocumentOptions& o, CurvanaDocument& document);
