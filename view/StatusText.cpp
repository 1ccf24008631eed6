#include "view/StatusText.h"

#include "model/CFunctionsContext.h"
#include "platform/CLocale.h"

std::string IdleStatusText()
{
    return "Prêt";
}

std::string PointerStatusText(const CFunctionsContext& context, PixelPoint p)
{
    return platform::CFormat("Coordonnée x : %g, coordonnée y : %g", context.PixelToWorldX(p.x),
        context.PixelToWorldY(p.y));
}
