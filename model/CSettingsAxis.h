#pragma once

// Axis, unit vector, axis end, graduation and grid options of a document. Stored in documents as
// a 41-byte record, except autoGraduation, which lives in memory only.

#include <cstdint>

class Archive;

class CSettingsAxis {
public:
    virtual void Serialize(Archive& ar);
    virtual ~CSettingsAxis() = default;

    // All thirteen fields, autoGraduation and both line types included; counts compare exactly.
    bool operator==(const CSettingsAxis& other) const = default;

    bool drawAxes = true;
    int32_t axesColour = 0; // 0x00BBGGRR
    int32_t axesLineType = 0; // stored only
    bool drawUnitVectors = true;
    bool drawAxisEnds = false;
    bool graduate = true;
    bool autoGraduation = true; // not stored in files
    double xGraduationCount = 1.0;
    double yGraduationCount = 1.0;
    bool drawGrid = true;
    int32_t gridColour = 4202512; // red 16, green 32, blue 64
    int32_t gridAlpha = 16; // low 8 bits: 0 transparent to 255 opaque
    int32_t gridLineType = 0; // stored only
};
