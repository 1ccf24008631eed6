#pragma once

// The whole model of a document: working area, surface size, curve list, axis settings and
// tracing parameters. Its Serialize is the .cvn file format.

#include <cstdint>
#include <vector>

#include "model/CCurvanaParams.h"
#include "model/CFunction.h"
#include "model/CSettingsAxis.h"
#include "model/CWorkingArea.h"

class Archive;

class CFunctionsContext {
public:
    virtual ~CFunctionsContext() = default;

    // Stores or loads the model in the document layout. Loading replaces area, flags, surface
    // size, curves and axis record; autoGraduation, params and dpi are not in files. A failed load
    // throws ArchiveException and may leave this context half-read: load into a copy.
    virtual void Serialize(Archive& ar);

    // The defaults of a new document: area x -22 to 18, y -10 to 10 normalised along x, and the
    // one default curve. Axis settings, params, surface size and formatNumber are kept.
    void ApplyNewDocumentDefaults();

    // The curve list.
    int GetCount() const { return static_cast<int>(functions.size()); }
    CFunctionEntry& GetAt(int i) { return functions.at(static_cast<size_t>(i)); }
    const CFunctionEntry& GetAt(int i) const { return functions.at(static_cast<size_t>(i)); }
    void Append(const CFunctionEntry& entry) { functions.push_back(entry); }
    void EraseRange(int first, int count);
    void Clear() { functions.clear(); }

    // The mapping on the current surface size.
    double WorldToPixelX(double x) const { return area.WorldToPixelX(x, screenWidth); }
    double WorldToPixelY(double y) const { return area.WorldToPixelY(y, screenHeight); }
    double PixelToWorldX(int px) const { return area.PixelToWorldX(px, screenWidth); }
    double PixelToWorldY(int py) const { return area.PixelToWorldY(py, screenHeight); }

    CWorkingArea area;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    int32_t dpi = 96; // not stored
    std::vector<CFunctionEntry> functions;
    CSettingsAxis axis;
    CCurvanaParams params; // not stored
    int32_t formatNumber = 2000;
};

// The curve every new document starts with: sin(1/x) in violet-blue.
CFunction DefaultCurve();
