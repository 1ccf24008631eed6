#pragma once

// The program's images, drawn as SVG and compiled in: toolbar icons, the program and document
// icons, and the cursors of the mouse tools.

#include <QCursor>
#include <QIcon>
#include <QString>

#include "view/MouseTools.h"

// An icon of res/icons by name ("new", "zoom-in"...), rendered for 100 % and 200 % scaling.
QIcon ProgramIcon(const QString& name);

// The 32 x 32 cursor of a tool, with its hot spot; the arrow for Tool::None.
QCursor ToolCursor(Tool tool);
