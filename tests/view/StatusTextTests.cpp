// The status pane's texts, on the new document's view (x -22 to 18, y -15 to 15 on 800 x 600).

#include <gtest/gtest.h>

#include "model/CFunctionsContext.h"
#include "view/PlotRenderer.h"
#include "view/StatusText.h"

namespace {

TEST(StatusText, TheCoordinatesUnderThePointerInAnyLocale)
{
    CFunctionsContext c;
    c.ApplyNewDocumentDefaults();
    PrepareSurface(c, 800, 600, 96);
    const struct {
        PixelPoint p;
        const char* text;
    } rows[] = {
        {{0, 0}, "Coordonnée x : -22, coordonnée y : 15"},
        {{440, 300}, "Coordonnée x : 0, coordonnée y : 0"},
        {{430, 310}, "Coordonnée x : -0.5, coordonnée y : -0.5"},
        {{800, 600}, "Coordonnée x : 18, coordonnée y : -15"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(PointerStatusText(c, row.p), row.text) << row.p.x << ", " << row.p.y;
    EXPECT_EQ(IdleStatusText(), "Prêt");
}

} // namespace
