#pragma once

// Curve colours typed as text, on the command line: "#RRGGBB", "#RGB" (each digit doubled, as in
// CSS) or one of the SVG colour names ("red", "steelblue"...), letters only and in any case.
// Nothing else: curves are opaque, so "transparent" and the forms with alpha are refused.

#include <cstdint>
#include <optional>
#include <string>

// The colour as the model holds it (0x00BBGGRR), or nullopt when the text is none of the forms.
std::optional<int32_t> CurveColourFromText(const std::string& text);
