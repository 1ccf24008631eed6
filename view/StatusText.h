#pragma once

// The texts of the status bar's first pane, in UTF-8: what the view shows there for the pointer's
// place and state. The window only displays them.

#include <string>

#include "view/MouseTools.h"

class CFunctionsContext;

// Nothing to tell: the pointer is elsewhere, or a menu closed.
std::string IdleStatusText();

// The world coordinates under the pixel p of the context's surface.
std::string PointerStatusText(const CFunctionsContext& context, PixelPoint p);
